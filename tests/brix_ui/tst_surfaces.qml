import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

Item {
    id: root
    width: 400
    height: 300

    Component { id: waitIndicator; WaitIndicator {} }
    Component { id: progressBar; FlatProgressBar { width: 200 } }
    Component {
        id: bevelled
        Rectangle { width: 100; height: 40; color: "#404040"; property alias bevel: bevel; BasicBevel { id: bevel } }
    }

    TestCase {
        name: "WaitIndicator"
        when: windowShown

        function test_start_ignores_a_time_that_is_not_positive_data() {
            return [ { tag: "zero", time: 0 }, { tag: "negative", time: -2 } ]
        }
        function test_start_ignores_a_time_that_is_not_positive(data) {
            var indicator = createTemporaryObject(waitIndicator, root)
            indicator.start(data.time)
            verify(!indicator.visible)
            verify(!indicator.timer.running)
            compare(indicator.totalTime, 10.0)
        }

        function test_count_ends_hidden_with_a_full_pie() {
            var indicator = createTemporaryObject(waitIndicator, root)
            indicator.start(0.1)
            verify(indicator.visible)
            verify(indicator.timer.running)
            tryCompare(indicator, "visible", false, 5000)
            compare(indicator.progress, 1)
            compare(indicator.angle, 360)
            verify(!indicator.timer.running)
        }

        function test_start_while_running_restarts_the_count() {
            var indicator = createTemporaryObject(waitIndicator, root)
            indicator.start(30)
            indicator.startTime = Date.now() - 20000
            indicator.start(30)
            verify(Date.now() - indicator.startTime < 10000, "the count kept its old start time")
            verify(indicator.timer.running)
        }
    }

    TestCase {
        name: "FlatProgressBar"
        when: windowShown

        function test_tip_width_and_corners_data() {
            // 200 pixels wide, boxRadius 3: the tip is visualPosition × 64 wide once that exceeds 3.
            return [
                { tag: "empty", value: 0, tipWidth: 0, tipRadius: 3 },
                { tag: "just above the radius", value: 0.05, tipWidth: 3.2, tipRadius: 0 },
                { tag: "filled width within the radius", value: 0.01, tipWidth: 0, tipRadius: 3 },
                { tag: "middle", value: 0.5, tipWidth: 32, tipRadius: 0 },
                { tag: "unfilled width within the radius", value: 0.99, tipWidth: 63.36, tipRadius: 3 },
                { tag: "full", value: 1, tipWidth: 64, tipRadius: 3 },
            ]
        }
        function test_tip_width_and_corners(data) {
            var bar = createTemporaryObject(progressBar, root, { value: data.value })
            var tip = findChild(bar, "tip")
            fuzzyCompare(tip.width, data.tipWidth, 0.001)
            compare(tip.radius, data.tipRadius)
        }

        function test_value_change_restarts_the_sweep_within_the_tip() {
            var bar = createTemporaryObject(progressBar, root, { value: 0.5 })
            var stop = findChild(bar, "movingStop")
            bar.value = 0
            bar.value = 0.6
            verify(stop.position >= 0 && stop.position < 1)
            tryVerify(function () { return Math.abs(stop.position - (38.4 - 1) / 38.4) < 1e-6 }, 3000)
            var before = bar.lastUpdateTime
            bar.value = 0.7
            verify(bar.lastUpdateTime >= before)
        }

        function test_sweep_of_an_empty_bar_stays_finite() {
            var bar = createTemporaryObject(progressBar, root, { value: 0.3 })
            var stop = findChild(bar, "movingStop")
            bar.value = 0
            tryVerify(function () { return stop.position === 0 }, 3000)
        }
    }

    TestCase {
        name: "Bevels"
        when: windowShown

        function test_bevel_width_sets_only_the_bottom_line() {
            var face = createTemporaryObject(bevelled, root)
            face.bevel.bevel_width = 3
            compare(findChild(face.bevel, "bottomLine").height, 3)
            compare(findChild(face.bevel, "bottomLine").y, face.height)
            compare(findChild(face.bevel, "topLine").height, 1)
            compare(findChild(face.bevel, "leftLine").width, 1)
            compare(findChild(face.bevel, "rightLine").width, 1)
        }

        function test_line_colours_derive_from_the_face() {
            var face = createTemporaryObject(bevelled, root)
            compare(face.bevel.bevel_light_color, Qt.lighter(face.color, 1.3))
            compare(face.bevel.bevel_dark_color, Qt.lighter(face.color, 0.9))
        }
    }
}
