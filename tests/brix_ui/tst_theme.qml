import QtQuick
import QtTest
import com.fernwhistlestudios.brix_ui

TestCase {
    name: "BrixTheme"

    BrixTheme { id: theme }

    function test_derived_colours_follow_the_factor_rule_data() {
        return [
            { tag: "dim_text_color", actual: theme.dim_text_color, expected: "#7e7e7e" },
            { tag: "lighter_bg_color_popup", actual: theme.lighter_bg_color_popup, expected: "#2e2e2e" },
            { tag: "default_bg_unselected_color", actual: theme.default_bg_unselected_color, expected: "#191919" },
            { tag: "default_bg_hover_color", actual: theme.default_bg_hover_color, expected: "#2a2a2a" },
            { tag: "dark_background_color", actual: theme.dark_background_color, expected: "#1b1b1b" },
            { tag: "high_vis_popup_selected", actual: theme.high_vis_popup_selected, expected: "#7a7a7a" },
            { tag: "default_selected_color_intense", actual: theme.default_selected_color_intense, expected: "#0f4259" },
        ]
    }

    function test_derived_colours_follow_the_factor_rule(data) {
        var expected = Qt.color(data.expected)
        // The factor rule may differ from the listed values by one unit of a channel.
        fuzzyCompare(data.actual.r * 255, expected.r * 255, 1.01)
        fuzzyCompare(data.actual.g * 255, expected.g * 255, 1.01)
        fuzzyCompare(data.actual.b * 255, expected.b * 255, 1.01)
        compare(data.actual.a, 1)
    }
}
