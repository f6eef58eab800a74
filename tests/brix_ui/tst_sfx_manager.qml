import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 400
    height: 300

    ListModel {
        id: sources
        ListElement { sfxid: "s1"; displayname: "Thunder.wav" }
        ListElement { sfxid: "s2"; displayname: "Rain.wav" }
    }
    ListModel { id: noSources }
    ListModel { id: instances }

    Component { id: managerComponent; SfxManagerTool {} }
    Component { id: playButtonComponent; SfxPlayButton { width: 40; height: 40 } }
    Component { id: signalSpy; SignalSpy {} }

    // The signals of the manager, in the order they came, as "name(arguments)".
    readonly property var managerSignals: ["playSfx", "stopSfx", "soundEffectSelected", "playStateUpdated", "addSoundEffectInstanceClicked",
                                           "editSoundEffectInstanceClicked", "deleteSoundEffectInstanceClicked", "requestClose"]

    // Instances e1, e2... with the given readiness; count rows.
    function fillInstances(count, notReady) {
        instances.clear()
        for (var i = 1; i <= count; ++i)
            instances.append({ eventId: "e" + i, summary: "Instance " + i + " at -6 dB", isReady: i !== notReady })
    }

    TestCase {
        name: "SfxManagerTool"
        when: windowShown

        property var log: []

        function createManager(sourceModel, instanceCount, notReady) {
            fillInstances(instanceCount === undefined ? 3 : instanceCount, notReady)
            var manager = createTemporaryObject(managerComponent, root,
                                                { availableSoundEffectsModel: sourceModel || sources, soundEffectInstancesModel: instances })
            manager.requestActivate()
            tryCompare(manager, "active", true)
            waitForRendering(manager.contentItem)
            log = []
            managerSignals.forEach(name => manager[name].connect(function () {
                log.push(name + "(" + Array.prototype.slice.call(arguments).join(", ") + ")")
            }))
            return manager
        }

        function child(manager, name) {
            return findChild(manager.contentItem, name)
        }
        function instanceRow(manager, index) {
            return child(manager, "instanceList").itemAtIndex(index)
        }
        function clickInstance(manager, index) {
            mouseClick(findChild(instanceRow(manager, index), "selectArea"))
        }
        function clickPlay(manager, index) {
            mouseClick(findChild(instanceRow(manager, index), "playArea"))
        }
        // Enabled state of Create, Edit and Delete.
        function buttonStates(manager) {
            return ["createButton", "editButton", "deleteButton"].map(name => child(manager, name).enabled)
        }

        function test_window_defaults() {
            var manager = createManager()
            compare([manager.visible, manager.title, manager.width, manager.height, manager.minimumWidth, manager.minimumHeight],
                    [true, "SFX Manager", 800, 600, 640, 480])
            compare(manager.playing, [])
        }

        function test_requests_carry_the_selection_data() {
            return [
                { tag: "Create button", select: "source", act: "createButton",
                  log: ["addSoundEffectInstanceClicked(s2)", "playStateUpdated()"] },
                { tag: "Space in the source list", select: "source", act: "space",
                  log: ["addSoundEffectInstanceClicked(s2)", "playStateUpdated()"] },
                { tag: "Edit button", select: "instance", act: "editButton",
                  log: ["stopSfx(e2)", "editSoundEffectInstanceClicked(e2)", "playStateUpdated()"] },
                { tag: "Space in the instance list", select: "instance", act: "space",
                  log: ["stopSfx(e2)", "editSoundEffectInstanceClicked(e2)", "playStateUpdated()"] },
                { tag: "double-click on the selected instance", select: "instance", act: "doubleClick",
                  log: ["stopSfx(e2)", "editSoundEffectInstanceClicked(e2)", "playStateUpdated()"] },
                { tag: "Delete button", select: "instance", act: "deleteButton",
                  log: ["stopSfx(e2)", "deleteSoundEffectInstanceClicked(e2)", "playStateUpdated()"] },
            ]
        }
        function test_requests_carry_the_selection(data) {
            var manager = createManager()
            var sourceList = child(manager, "sourceList")
            if (data.select === "source") {
                mouseClick(sourceList.itemAtIndex(1))
                compare(manager.selectedSfxEffectId, "s2")
            } else {
                clickInstance(manager, 1)
                compare(manager.selectedSfxInstanceEventId, "e2")
            }
            log = []
            if (data.act === "space")
                keyClick(Qt.Key_Space)
            else if (data.act === "doubleClick")
                mouseDoubleClickSequence(findChild(instanceRow(manager, 1), "selectArea"))
            else
                mouseClick(child(manager, data.act))
            compare(log, data.log)
            compare(manager.selectedSfxInstanceEventId, data.act === "deleteButton" ? "" : (data.select === "instance" ? "e2" : ""))
        }

        function test_choosing_a_source_clears_the_instance_selection() {
            var manager = createManager()
            clickInstance(manager, 0)
            compare(buttonStates(manager), [true, true, true])
            log = []
            mouseClick(child(manager, "sourceList").itemAtIndex(1))
            compare(log, ["soundEffectSelected(1)", "playStateUpdated()"])
            compare([manager.selectedSfxEffectId, manager.selectedSfxInstanceEventId], ["s2", ""])
            compare(buttonStates(manager), [true, false, false])
            verify(child(manager, "sourceList").activeFocus)
        }

        function test_instance_clicks_select_once() {
            var manager = createManager()
            clickInstance(manager, 0)
            log = []
            clickInstance(manager, 0)
            compare(log, [], "a click on the selected row")
            clickInstance(manager, 2)
            compare(log, ["playStateUpdated()", "playStateUpdated()"], "a click on another row")
            compare(manager.selectedSfxInstanceEventId, "e3")
            compare(child(manager, "instanceList").currentIndex, 2)
            verify(child(manager, "instanceList").activeFocus)
        }

        // The first click of a double-click selects the row, so the double-click edits the row it hit.
        function test_double_click_edits_its_row_only_while_nothing_plays() {
            var manager = createManager()
            clickInstance(manager, 0)
            log = []
            mouseDoubleClickSequence(findChild(instanceRow(manager, 1), "selectArea"))
            compare(log, ["playStateUpdated()", "playStateUpdated()",
                          "stopSfx(e2)", "editSoundEffectInstanceClicked(e2)", "playStateUpdated()"])
            clickPlay(manager, 2)
            log = []
            mouseDoubleClickSequence(findChild(instanceRow(manager, 1), "selectArea"))
            compare(log, [], "while an instance plays")
        }

        function test_play_and_stop_follow_playing() {
            var manager = createManager()
            clickInstance(manager, 0)
            log = []
            clickPlay(manager, 0)
            clickPlay(manager, 2)
            compare(log, ["playSfx(e1)", "playStateUpdated()", "playSfx(e3)", "playStateUpdated()"])
            compare(manager.playing, ["e1", "e3"])
            compare([0, 1, 2].map(i => findChild(instanceRow(manager, i), "playButton").playing), [true, false, true])
            compare(buttonStates(manager), [false, false, false])

            manager.sfxFinished("e1")
            compare(manager.playing, ["e3"])
            compare(buttonStates(manager), [false, false, false], "e3 still plays")

            log = []
            clickPlay(manager, 2)
            compare(log, ["stopSfx(e3)", "playStateUpdated()"])
            compare(manager.playing, [])
            compare([0, 2].map(i => findChild(instanceRow(manager, i), "playButton").playing), [false, false])
            compare(buttonStates(manager), [true, true, true])
        }

        function test_playing_notifies_each_change() {
            var manager = createManager()
            var changed = createTemporaryObject(signalSpy, root, { target: manager, signalName: "playingChanged" })
            manager.addToPlaying("e1")
            manager.addToPlaying("e1")
            compare(manager.playing, ["e1", "e1"])
            compare(manager.playingContains("e1"), true)
            manager.removeFromPlaying("e1")
            compare(manager.playing, [])
            compare(changed.count, 3)
        }

        // The host reports the end of an effect whose row has no delegate: scrolled far out of view, or
        // removed from the model. The window must forget it, or Create, Edit and Delete stay disabled.
        function test_finished_effect_without_a_row_is_forgotten_data() {
            return [
                { tag: "row scrolled out of view", how: "scroll" },
                { tag: "row removed by the host", how: "remove" },
            ]
        }
        function test_finished_effect_without_a_row_is_forgotten(data) {
            var manager = createManager(sources, 60)
            var list = child(manager, "instanceList")
            clickInstance(manager, 1)
            clickPlay(manager, 0)
            if (data.how === "scroll") {
                list.positionViewAtEnd()
                tryVerify(() => list.itemAtIndex(0) === null)
            } else {
                instances.remove(0)
            }
            compare(buttonStates(manager), [false, false, false])
            manager.sfxFinished("e1")
            compare(manager.playing, [])
            compare(buttonStates(manager), [true, true, true])
        }

        function test_requests_are_gated_like_their_buttons_data() {
            return [
                { tag: "Create by Space without sources", sources: "none", focus: "sourceList", key: Qt.Key_Space },
                { tag: "Create by Space while an instance plays", sources: "some", play: true, focus: "sourceList", key: Qt.Key_Space },
                { tag: "Edit by Space of a row that is not ready", sources: "some", notReady: 2, focus: "instanceList", key: Qt.Key_Space },
                { tag: "Edit by Space while an instance plays", sources: "some", play: true, focus: "instanceList", key: Qt.Key_Space },
            ]
        }
        function test_requests_are_gated_like_their_buttons(data) {
            var manager = createManager(data.sources === "none" ? noSources : sources, 3, data.notReady)
            var list = child(manager, data.focus)
            clickInstance(manager, 0)
            if (data.play)
                clickPlay(manager, 2)
            list.forceActiveFocus()
            if (data.notReady) {
                // The keyboard can still make the veiled row current.
                keyClick(Qt.Key_Down)
                compare(manager.selectedSfxInstanceEventId, "e" + data.notReady)
            }
            log = []
            keyClick(data.key)
            compare(log.filter(entry => !entry.startsWith("playStateUpdated")), [])
            if (data.notReady)
                compare(buttonStates(manager), [true, false, true])
        }

        function test_create_button_needs_sources_and_silence() {
            var manager = createManager(noSources)
            compare(manager.selectedSfxEffectId, "")
            compare(buttonStates(manager)[0], false)
            manager.availableSoundEffectsModel = sources
            compare(manager.selectedSfxEffectId, "s1")
            compare(buttonStates(manager)[0], true)
        }

        function test_row_that_is_not_ready_swallows_clicks() {
            var manager = createManager(sources, 3, 2)
            clickInstance(manager, 0)
            var veil = findChild(instanceRow(manager, 1), "notReadyVeil")
            verify(veil.visible)
            verify(Qt.colorEqual(veil.color, "#80000000"))
            log = []
            clickInstance(manager, 1)
            clickPlay(manager, 1)
            compare(log, [])
            compare(manager.selectedSfxInstanceEventId, "e1")
            instances.setProperty(1, "isReady", true)
            verify(!veil.visible)
        }

        function test_tab_keys_of_the_source_list() {
            var manager = createManager()
            var sourceList = child(manager, "sourceList")
            sourceList.forceActiveFocus()
            keyClick(Qt.Key_Tab)
            verify(child(manager, "instanceList").activeFocus)
            sourceList.forceActiveFocus()
            keyClick(Qt.Key_Backtab)
            verify(child(manager, "closeButton").activeFocus)
        }

        function test_every_way_of_closing_emits_request_close_once_data() {
            return [
                { tag: "title bar", how: "close" },
                { tag: "Close button", how: "button" },
                { tag: "Escape", how: Qt.Key_Escape },
                { tag: "Return", how: Qt.Key_Return },
            ]
        }
        function test_every_way_of_closing_emits_request_close_once(data) {
            var manager = createManager()
            clickPlay(manager, 0)
            child(manager, "sourceList").forceActiveFocus()
            log = []
            if (data.how === "close")
                manager.close()
            else if (data.how === "button")
                mouseClick(child(manager, "closeButton"))
            else
                keyClick(data.how)
            compare(log, ["requestClose()"])
            compare(manager.visible, false)
            compare(manager.playing, ["e1"])
        }
    }

    TestCase {
        name: "SfxPlayButton"
        when: windowShown

        function test_click_changes_state_only_when_the_button_manages_it_data() {
            return [
                { tag: "managed", manages: true, playing: true },
                { tag: "not managed", manages: false, playing: false },
            ]
        }
        function test_click_changes_state_only_when_the_button_manages_it(data) {
            var button = createTemporaryObject(playButtonComponent, root, { buttonManagesState: data.manages })
            button.handleClick(true)
            compare(button.playing, data.playing)
        }

        function test_symbol_follows_playing_data() {
            return [
                { tag: "play symbol", playing: false, colour: "green" },
                { tag: "stop symbol", playing: true, colour: "red" },
            ]
        }
        function test_symbol_follows_playing(data) {
            var button = createTemporaryObject(playButtonComponent, root, { playing: !data.playing })
            waitForRendering(button)
            button.playing = data.playing
            waitForRendering(button)
            var image = grabImage(button)
            // (18, 20) lies in both symbols; (28, 12) only in the stop square, so it shows whether the
            // previous symbol was cleared.
            verify(Qt.colorEqual(image.pixel(18, 20), data.colour), "inside: " + image.pixel(18, 20))
            verify(Qt.colorEqual(image.pixel(28, 12), "red") === data.playing, "corner of the square: " + image.pixel(28, 12))
        }
    }
}
