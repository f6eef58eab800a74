import QtQuick
import com.fernwhistlestudios.brix_ui

// A bare text panel shown in a view of its own; it has no buttons.
Item {
    id: root

    property alias text: message.text

    signal close()

    width: 500
    height: 500

    BrixTheme { id: theme }

    Column {
        anchors.fill: parent

        Text {
            id: message
            objectName: "message"
            width: parent.width
            verticalAlignment: Text.AlignTop
            wrapMode: Text.Wrap
            font: theme.default_font
            color: theme.default_text_color
        }
    }
}
