import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui
import BrixUiTestModels

Item {
    id: root
    width: 400
    height: 400

    Component { id: modelComponent; ActiveAudioTestModel {} }
    Component { id: listComponent; ActiveAudioList { x: 10; y: 10; width: 300; height: 300 } }
    Component { id: delegateComponent; ActiveAudioDelegate { x: 10; y: 320; width: 300; height: 40 } }
    Component { id: signalSpy; SignalSpy {} }

    TestCase {
        name: "ActiveAudioList"
        when: windowShown

        // A list showing the given players; players default to one stopped, unpinned 120-second track.
        function createList(players) {
            var model = createTemporaryObject(modelComponent, root, {
                players: players || [{ id: 7, name: "Thunder", isPlaying: false, isPinned: false, progress: 0.25, duration: 120 }]
            })
            var list = createTemporaryObject(listComponent, root, { model: model })
            waitForRendering(list)
            return list
        }
        function row(list, index) {
            return findChild(list, "list").itemAtIndex(index || 0)
        }
        function spyOn(target, signalName) {
            return createTemporaryObject(signalSpy, root, { target: target, signalName: signalName })
        }

        function test_list_defaults() {
            var list = createTemporaryObject(listComponent, root, { x: 0, y: 0 })
            var bare = Qt.createQmlObject("import com.fernwhistlestudios.brix_ui; ActiveAudioList {}", root, "bare")
            compare([bare.width, bare.height], [200, 300])
            bare.destroy()
            verify(Qt.colorEqual(list.background.color, list.theme.default_bg_color))
            compare(findChild(list, "list").spacing, 5)
        }

        function test_format_time_data() {
            return [
                { tag: "zero", time: 0, text: "0:00" },
                { tag: "just under a minute", time: 59.99, text: "0:59" },
                { tag: "a minute", time: 60, text: "1:00" },
                { tag: "seconds below ten are padded", time: 185.7, text: "3:05" },
                { tag: "minutes are not wrapped", time: 3725, text: "62:05" },
            ]
        }
        function test_format_time(data) {
            compare(row(createList()).formatTime(data.time), data.text)
        }

        function test_texts_of_a_row_data() {
            return [
                { tag: "named, with length", player: { id: 1, isPlaying: false, isPinned: false, name: "Rain", progress: 0.5, duration: 120 }, name: "Rain", time: "1:00 / 2:00" },
                { tag: "empty name", player: { id: 1, isPlaying: false, isPinned: false, name: "", progress: 0, duration: 65 }, name: "Name not set", time: "0:00 / 1:05" },
                { tag: "no name role", player: { id: 1, isPlaying: false, isPinned: false, progress: 0, duration: 65 }, name: "Name not set", time: "0:00 / 1:05" },
                { tag: "no length", player: { id: 1, isPlaying: false, isPinned: false, name: "Wind", progress: 0.4, duration: 0 }, name: "Wind", time: "0:00 / 0:00" },
                { tag: "negative length", player: { id: 1, isPlaying: false, isPinned: false, name: "Wind", progress: 0.4, duration: -3 }, name: "Wind", time: "0:00 / 0:00" },
            ]
        }
        function test_texts_of_a_row(data) {
            var shown = row(createList([data.player]))
            compare(findChild(shown, "nameText").text, data.name)
            compare(findChild(shown, "timeText").text, data.time)
            compare(findChild(shown, "playedPortion").width, data.player.progress * findChild(shown, "middleArea").width)
        }

        // Clicks at a share of the middle area of a 120-second track; within a second of an end, the end.
        function test_seek_by_click_data() {
            return [
                { tag: "0.5 % (0.6 s) goes to the start", at: 0.005, progress: 0 },
                { tag: "99.5 % (119.4 s) goes to the end", at: 0.995, progress: 1 },
                { tag: "half way", at: 0.5, progress: 0.5 },
            ]
        }
        function test_seek_by_click(data) {
            var list = createList()
            var positions = spyOn(list, "setPosition")
            var area = findChild(row(list), "middleArea")
            mouseClick(area, data.at * area.width, area.height / 2)
            compare(list.model.valueAt(0, "progress"), data.progress)
            compare(positions.count, 1)
            compare(positions.signalArguments[0][0], 7)
            fuzzyCompare(positions.signalArguments[0][1], data.progress, 0.01)
        }

        function test_seek_is_off_without_a_length() {
            var list = createList([{ id: 3, name: "Wind", isPlaying: true, progress: 0.4, duration: 0 }])
            var positions = spyOn(list, "setPosition")
            var area = findChild(row(list), "middleArea")
            mouseClick(area, area.width / 2, area.height / 2)
            compare(positions.count, 0)
            compare(list.model.valueAt(0, "progress"), 0.4)
        }

        function test_seek_refused_by_the_model_sends_the_old_position() {
            var list = createList()
            list.model.refusesProgress = true
            var positions = spyOn(list, "setPosition")
            var area = findChild(row(list), "middleArea")
            mouseClick(area, area.width / 2, area.height / 2)
            compare(Array.from(positions.signalArguments[0]), [7, 0.25])
        }

        function test_play_button_asks_the_model_data() {
            return [
                { tag: "stopped row plays", isPlaying: false, calls: ["playTrack(7)"], symbol: true },
                { tag: "playing row stops, never urgently", isPlaying: true, calls: ["stopTrack(7, false)"], symbol: false },
            ]
        }
        function test_play_button_asks_the_model(data) {
            var list = createList([{ id: 7, name: "Thunder", isPlaying: data.isPlaying, isPinned: false, progress: 0, duration: 10 }])
            var button = findChild(row(list), "playButton")
            compare(button.playing, data.isPlaying)
            compare(button.buttonManagesState, false)
            mouseClick(button)
            compare(list.model.calls, data.calls)
            // The symbol follows the model's answer.
            compare(button.playing, data.symbol)
        }

        // A row on its own, over a model row that does not answer: it asks, and keeps its symbol.
        function test_symbol_changes_only_with_the_model() {
            var shown = createTemporaryObject(delegateComponent, root, {
                model: { id: 4, name: "Gong", isPlaying: false, isPinned: false, progress: 0, duration: 10 }
            })
            var requests = spyOn(shown, "playTrack")
            var button = findChild(shown, "playButton")
            mouseClick(button)
            compare(requests.signalArguments.map(args => Array.from(args)), [[4]])
            compare(button.playing, false)
        }

        function test_pin_button_toggles_the_model_and_the_overlay() {
            var list = createList()
            var pin = findChild(row(list), "pinArea")
            var overlay = findChild(row(list), "pinOverlay")
            verify(overlay.visible)
            mouseClick(pin)
            compare(list.model.valueAt(0, "isPinned"), true)
            verify(!overlay.visible)
            mouseClick(pin)
            compare(list.model.valueAt(0, "isPinned"), false)
            verify(overlay.visible)
        }

        // A row re-created for a pinned player (first shown, or scrolled back into view) shows it pinned.
        function test_pinned_row_shows_pinned_from_the_start() {
            var list = createList([{ id: 2, name: "Bells", isPlaying: false, isPinned: true, progress: 0, duration: 10 }])
            verify(!findChild(row(list), "pinOverlay").visible)
        }

        function test_hovering_the_pin_of_a_pinned_row_offers_unpinning() {
            var list = createList([{ id: 2, name: "Bells", isPlaying: false, isPinned: true, progress: 0, duration: 10 }])
            var pin = findChild(row(list), "pinArea")
            var icon = findChild(row(list), "pinIcon")
            mouseMove(pin, pin.width / 2, pin.height / 2)
            compare(icon.source.toString(), "qrc:/images/keep_off.svg")
            mouseClick(pin)
            compare(icon.source.toString(), "qrc:/images/keep.svg")
            compare(list.model.valueAt(0, "isPinned"), false)
            mouseMove(pin, pin.width / 2, pin.height / 2 + 1)
            compare(icon.source.toString(), "qrc:/images/keep.svg", "an unpinned row offers no unpinning")
            mouseMove(root, 390, 390)
            compare(icon.source.toString(), "qrc:/images/keep.svg")
        }
    }
}
