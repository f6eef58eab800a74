import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls

// Form row: a caption above a framed, scrolling list of file names (a list of strings).
Item {
    id: root

    property alias text: caption.text
    property alias model: list.model
    property alias value: list.model
    property alias theme: theme
    property int spacing: 5
    property int fontSize: 16

    implicitHeight: caption.implicitHeight + spacing + frame.implicitHeight
    implicitWidth: caption.implicitWidth + frame.implicitWidth

    BrixTheme { id: theme }

    Text {
        id: caption
        objectName: "caption"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        font.pixelSize: root.fontSize
        color: theme.default_text_color
    }
    Rectangle {
        id: frame
        anchors.top: caption.bottom
        anchors.topMargin: root.spacing
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        color: theme.light_background_color
        border.width: 2
        border.color: theme.light_border_color
        radius: 2

        ListView {
            id: list
            objectName: "fileList"
            anchors.fill: parent
            anchors.margins: 2
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: CustomScrollBar {
                policy: ScrollBar.AsNeeded
                visible: size < 1.0
            }
            delegate: Text {
                required property string modelData
                width: ListView.view.width
                padding: 5
                text: modelData
                font.pixelSize: 14
                color: theme.default_text_color
                elide: Text.ElideMiddle
            }
        }
    }
}
