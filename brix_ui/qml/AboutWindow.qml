import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts

// The About panel: a modal popup centred over `rootWindow` with the logo, version, copyright and the
// Acknowledgments, License Agreement and Close buttons. Lives as long as the menu that holds it and is
// opened again and again with open().
Item {
    id: root

    property var rootWindow: parent
    property string version: qsTr("See Installation File for Version Info")
    property string versionIdentifier: ""
    property string architecture: ""
    property alias logoSource: logo.source
    property string linkUrl: "https://www.fernwhistlestudios.com/license-agreement"
    property string copyRight: qsTr("Copyright \u00a9 Fernwhistle Studios. All rights reserved.")
    property bool showAcknowledgments: true
    property string acknowledgments: ""
    property var fontColor: "#D3D3D3"
    property var textColor: "#C3C3C3"
    property var buttonColor: Qt.lighter(theme.default_bg_color, 1.3)
    property var buttonHoverColor: Qt.lighter(theme.default_bg_color, 1.5)
    property var buttonPressedColor: Qt.lighter(theme.default_bg_color, 1.4)
    property var innerBorderColor: Qt.lighter(theme.default_bg_color, 1.25)
    property var outerBorderColor: Qt.lighter(theme.default_bg_color, 1.5)

    signal acknowledgementsClicked()

    function open() {
        popup.open()
    }

    anchors.fill: parent

    BrixTheme { id: theme }

    Popup {
        id: popup
        objectName: "aboutPopup"

        readonly property Item over: root.rootWindow ? root.rootWindow : root

        modal: true
        width: 525
        height: column.implicitHeight + 60
        margins: 30
        padding: 30
        x: (over.width - width) * 0.5
        y: (over.height - height) * 0.5
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

        onOpened: contentItem.forceActiveFocus()

        Overlay.modal: Rectangle {
            color: "#88000000"
        }

        background: Rectangle {
            color: theme.default_bg_color
            radius: 25
            border.width: 1
            border.color: root.outerBorderColor

            Rectangle {
                anchors.fill: parent
                anchors.margins: 1
                color: "transparent"
                radius: 25
                border.width: 1
                border.color: root.innerBorderColor
            }
        }

        contentItem: Item {
            ColumnLayout {
                id: column
                anchors.fill: parent
                spacing: 15

                Item {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 125

                    Image {
                        id: logo
                        objectName: "logo"
                        anchors.fill: parent
                        smooth: true
                        mipmap: true
                        fillMode: Image.PreserveAspectFit
                    }
                }
                ColumnLayout {
                    spacing: 2
                    Layout.alignment: Qt.AlignHCenter

                    Text {
                        objectName: "versionLine"
                        Layout.alignment: Qt.AlignHCenter
                        text: qsTr("Version ") + root.version
                              + (root.architecture !== "" ? qsTr(" for ") + root.architecture : "")
                        font.pixelSize: 16
                        color: root.textColor
                    }
                    Text {
                        objectName: "versionIdentifier"
                        Layout.alignment: Qt.AlignHCenter
                        text: root.versionIdentifier
                        font.pixelSize: 16
                        font.italic: true
                        color: root.textColor
                    }
                }
                Text {
                    objectName: "copyRight"
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    text: root.copyRight
                    font.pixelSize: 12
                    wrapMode: Text.WordWrap
                    color: root.textColor
                }
                RowLayout {
                    id: buttons
                    Layout.alignment: Qt.AlignHCenter
                    Layout.bottomMargin: buttons.implicitHeight / 4
                    spacing: 15

                    FlatButton {
                        objectName: "acknowledgmentsButton"
                        text: "Acknowledgments"
                        onClicked: root.acknowledgementsClicked()
                    }
                    FlatButton {
                        objectName: "licenseButton"
                        text: "License Agreement"
                        onClicked: Qt.openUrlExternally(root.linkUrl)
                    }
                    FlatButton {
                        objectName: "closeButton"
                        text: "Close"
                        onClicked: popup.close()
                    }
                }
            }
        }
    }
}
