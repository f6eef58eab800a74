import QtQuick
import com.fernwhistlestudios.brix_ui
import QtQuick.Controls
import QtQuick.Layouts

// The sound-effect manager window: a list of source files and a list of sound-effect instances, both
// models of the host. Every action leaves as a signal; the host plays and stops effects, creates, edits
// and deletes instances, and reports with sfxFinished() an effect that ended on its own. The window
// keeps only the selection and `playing`, the instances it started and that were not stopped since.
Window {
    id: root

    property alias availableSoundEffectsModel: sourceList.model
    property alias soundEffectInstancesModel: instanceList.model
    property string selectedSfxEffectId: ""
    property string selectedSfxInstanceEventId: ""
    // Event ids in the order they were started. Always replaced by a new array, so bindings see each change.
    property var playing: []

    signal playSfx(string eventId)
    signal stopSfx(string eventId)
    signal resetSfxButton(string eventId)
    signal sfxFinished(string eventId)
    signal soundEffectSelected(var index)
    signal playStateUpdated()
    signal playStateUpdatedExternally(eventId: string)
    signal addSoundEffectInstanceClicked(string effectId)
    signal editSoundEffectInstanceClicked(string eventId)
    signal deleteSoundEffectInstanceClicked(string eventId)
    signal requestClose()

    function playingContains(eventId) {
        for (var i = 0; i < playing.length; ++i) {
            if (playing[i] === eventId)
                return true
        }
        return false
    }

    function addToPlaying(eventId) {
        playing = playing.concat([eventId])
        playStateUpdated()
    }

    function removeFromPlaying(eventId) {
        playing = playing.filter(id => id !== eventId)
        playStateUpdated()
    }

    function enableModificationButtons() {
        return selectedSfxInstanceEventId !== "" && playing.length === 0
    }

    // Creation needs a source to create from: an empty id is never sent.
    function enableCreationButton() {
        return playing.length === 0 && sourceList.count > 0 && selectedSfxEffectId !== ""
    }

    // Handled here rather than by the rows, which exist only while in view.
    onSfxFinished: eventId => removeFromPlaying(eventId)

    onClosing: requestClose()

    visible: true
    minimumWidth: 640
    width: 800
    minimumHeight: 480
    height: 600
    title: qsTr("SFX Manager")

    // What the buttons, keys, clicks and double-clicks do.
    QtObject {
        id: actions

        // An instance that is not ready is still being prepared by the host and cannot be edited. Only the
        // current row can be the selected one that is not ready: rows are selected by making them current.
        function enableEditButton() {
            var row = instanceList.currentItem
            var selectedRowNotReady = row !== null && row.eventId === root.selectedSfxInstanceEventId && !row.isReady
            return root.enableModificationButtons() && !selectedRowNotReady
        }

        // Asks the host to stop an instance and forgets it as playing.
        function stopInstance(eventId) {
            root.stopSfx(eventId)
            if (root.playingContains(eventId))
                root.removeFromPlaying(eventId)
        }

        function togglePlaying(eventId) {
            if (root.playingContains(eventId)) {
                actions.stopInstance(eventId)
            } else {
                root.playSfx(eventId)
                root.addToPlaying(eventId)
            }
        }

        // The three requests, from their buttons, the keyboard and double-clicks alike, each under its
        // button's rule.
        function requestCreate() {
            if (!root.enableCreationButton())
                return
            root.addSoundEffectInstanceClicked(root.selectedSfxEffectId)
            root.playStateUpdated()
        }

        function requestEdit() {
            if (!actions.enableEditButton())
                return
            var eventId = root.selectedSfxInstanceEventId
            actions.stopInstance(eventId)
            root.editSoundEffectInstanceClicked(eventId)
            root.playStateUpdated()
        }

        function requestDelete() {
            if (!root.enableModificationButtons())
                return
            var eventId = root.selectedSfxInstanceEventId
            actions.stopInstance(eventId)
            root.deleteSoundEffectInstanceClicked(eventId)
            root.selectedSfxInstanceEventId = ""
            root.playStateUpdated()
        }
    }

    BrixTheme { id: theme }

    Rectangle {
        anchors.fill: parent
        color: theme.dark_background_color
    }

    ColumnLayout {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        // The panels share the row's width 40 : 60 after the spacing.
        readonly property real panelsWidth: width - panels.spacing

        Keys.onEscapePressed: root.close()
        Keys.onReturnPressed: root.close()

        RowLayout {
            id: panels
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 10

            ColumnLayout {
                Layout.preferredWidth: content.panelsWidth * 0.4
                Layout.fillHeight: true
                Layout.alignment: Qt.AlignLeft
                spacing: 10

                Text {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 32
                    text: qsTr("SFX Source Files")
                    font.pixelSize: 16
                    color: theme.light_text_color
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                Rectangle {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: theme.default_bg_color

                    BasicBevel {}

                    ListView {
                        id: sourceList
                        objectName: "sourceList"
                        anchors.fill: parent
                        clip: true
                        activeFocusOnTab: true
                        boundsBehavior: Flickable.StopAtBounds

                        ScrollBar.vertical: CustomScrollBar { id: sourceScrollBar }

                        onCurrentItemChanged: {
                            root.selectedSfxEffectId = currentItem ? currentItem.sfxid : ""
                            root.soundEffectSelected(currentIndex)
                            root.selectedSfxInstanceEventId = ""
                            forceActiveFocus()
                            root.playStateUpdated()
                        }

                        Keys.onTabPressed: instanceList.forceActiveFocus()
                        Keys.onBacktabPressed: closeButton.forceActiveFocus()
                        Keys.onSpacePressed: actions.requestCreate()

                        delegate: Rectangle {
                            id: sourceRow

                            required property int index
                            required property string sfxid
                            required property string displayname

                            width: sourceList.width - sourceScrollBar.width
                            height: 40
                            color: ListView.isCurrentItem ? Qt.lighter(theme.default_bg_color, 1.3) : theme.default_bg_color

                            FocusHighlight {
                                visible: sourceRow.ListView.isCurrentItem && sourceList.activeFocus
                            }
                            Text {
                                id: sourceName
                                x: 10
                                width: sourceRow.width - 10
                                height: sourceRow.height
                                text: sourceRow.displayname
                                color: "white"
                                font: theme.default_font
                                elide: Text.ElideRight
                                verticalAlignment: Text.AlignVCenter
                            }
                            MouseArea {
                                id: sourceArea
                                anchors.fill: parent
                                hoverEnabled: true
                                onClicked: sourceList.currentIndex = sourceRow.index
                                onDoubleClicked: actions.requestCreate()
                            }
                            BrixToolTip {
                                text: sourceRow.displayname
                                delay: 1000
                                timeout: 5000
                                visible: sourceArea.containsMouse && sourceName.truncated
                            }
                        }
                    }
                    Rectangle {
                        anchors.fill: parent
                        color: "transparent"
                        border.width: 2
                        border.color: theme.default_selected_color_intense
                        opacity: 0.7
                        visible: sourceList.activeFocus
                    }
                }
            }

            ColumnLayout {
                id: instancePanel
                Layout.preferredWidth: content.panelsWidth * 0.6
                Layout.fillHeight: true
                Layout.alignment: Qt.AlignLeft
                spacing: 10

                Text {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 32
                    text: qsTr("Instances")
                    font.pixelSize: 16
                    color: theme.light_text_color
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                Rectangle {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    color: theme.default_bg_color

                    BasicBevel {}

                    ListView {
                        id: instanceList
                        objectName: "instanceList"
                        anchors.fill: parent
                        clip: true
                        activeFocusOnTab: true
                        keyNavigationEnabled: true
                        boundsBehavior: Flickable.StopAtBounds

                        ScrollBar.vertical: CustomScrollBar { id: instanceScrollBar }

                        // Follows the current row also when the host removes the row that was current.
                        onCurrentItemChanged: {
                            root.selectedSfxInstanceEventId = currentItem ? currentItem.eventId : ""
                            root.playStateUpdated()
                        }

                        Keys.onSpacePressed: actions.requestEdit()

                        delegate: Rectangle {
                            id: instanceRow

                            required property int index
                            required property string eventId
                            required property string summary
                            required property bool isReady

                            width: instanceList.width - instanceScrollBar.width
                            height: 40
                            color: ListView.isCurrentItem ? Qt.lighter(theme.default_bg_color, 1.3) : theme.default_bg_color

                            FocusHighlight {
                                visible: instanceRow.ListView.isCurrentItem && instanceList.activeFocus
                            }
                            RowLayout {
                                anchors.fill: parent
                                anchors.margins: 5
                                spacing: 5

                                Text {
                                    objectName: "eventIdText"
                                    Layout.maximumWidth: instanceRow.width * 0.3
                                    text: instanceRow.eventId
                                    color: "gray"
                                    font.pixelSize: 12
                                    elide: Text.ElideRight
                                }
                                Text {
                                    id: summaryText
                                    Layout.fillWidth: true
                                    text: instanceRow.summary
                                    color: "white"
                                    font: theme.default_font
                                    elide: Text.ElideRight
                                }
                                SfxPlayButton {
                                    id: playButton
                                    objectName: "playButton"
                                    Layout.preferredWidth: 24
                                    Layout.preferredHeight: 24
                                    playing: root.playingContains(instanceRow.eventId)
                                    buttonManagesState: false

                                    MouseArea {
                                        objectName: "playArea"
                                        anchors.fill: parent
                                        onClicked: actions.togglePlaying(instanceRow.eventId)
                                    }
                                }
                            }
                            MouseArea {
                                id: selectArea
                                objectName: "selectArea"
                                width: instanceRow.width * 0.75
                                height: instanceRow.height
                                hoverEnabled: true
                                onClicked: {
                                    if (instanceRow.eventId === root.selectedSfxInstanceEventId)
                                        return
                                    root.selectedSfxInstanceEventId = instanceRow.eventId
                                    instanceList.currentIndex = instanceRow.index
                                    instanceList.forceActiveFocus()
                                    root.playStateUpdated()
                                }
                                onDoubleClicked: {
                                    if (instanceRow.eventId === root.selectedSfxInstanceEventId)
                                        actions.requestEdit()
                                }
                            }
                            BrixToolTip {
                                text: instanceRow.summary
                                delay: 1000
                                timeout: 5000
                                visible: selectArea.containsMouse && summaryText.truncated
                            }
                            Rectangle {
                                objectName: "notReadyVeil"
                                anchors.fill: parent
                                z: 10
                                color: "#80000000"
                                visible: !instanceRow.isReady

                                MouseArea {
                                    anchors.fill: parent
                                    acceptedButtons: Qt.AllButtons
                                    hoverEnabled: true
                                }
                            }
                        }
                    }
                    Rectangle {
                        anchors.fill: parent
                        color: "transparent"
                        border.width: 2
                        border.color: theme.default_selected_color_intense
                        opacity: 0.7
                        visible: instanceList.activeFocus
                    }
                }
            }
        }

        RowLayout {
            Layout.preferredWidth: instancePanel.width
            Layout.preferredHeight: 50
            Layout.alignment: Qt.AlignRight
            spacing: 10

            FlatButton {
                objectName: "createButton"
                text: qsTr("Create")
                enabled: root.enableCreationButton()
                onClicked: actions.requestCreate()
            }
            FlatButton {
                objectName: "editButton"
                text: qsTr("Edit")
                enabled: actions.enableEditButton()
                onClicked: actions.requestEdit()
            }
            FlatButton {
                objectName: "deleteButton"
                text: qsTr("Delete")
                enabled: root.enableModificationButtons()
                onClicked: actions.requestDelete()
            }
            Item {
                Layout.fillWidth: true
            }
            FlatButton {
                id: closeButton
                objectName: "closeButton"
                text: qsTr("Close")
                isDefault: true
                onClicked: root.close()
            }
        }
    }
}
