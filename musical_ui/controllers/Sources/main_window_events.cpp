#include "main_window_events.h"

#include <array>
#include <utility>

namespace brix::qt {

FlowControlBanner MakeFlowControlBanner(const QString& text, int value)
{
    static const std::array<std::pair<const char*, const char*>, 4> kColors{{
        {"skip", "#6e3493"},
        {"repeat", "#DAA520"},
        {"vamp", "#00BFFF"},
        {"caesura", "#DC143C"},
    }};

    FlowControlBanner banner;
    banner.label = text == QLatin1String("ClearPickupBeat") ? QString() : text;
    banner.value = banner.label.isEmpty() || value == 0 ? QVariant(QString()) : QVariant(value);
    banner.color = QStringLiteral("#333");
    const QString lower = banner.label.toLower();
    for (const auto& [word, color] : kColors) {
        if (lower.contains(QLatin1String(word))) {
            banner.color = QString::fromLatin1(color);
            break;
        }
    }
    return banner;
}

BarBeatText SplitBarBeat(const QString& text)
{
    return {text.left(4), text.right(2)};
}

LearnedMidiCommand UnpackLearnedMidiCommand(int value)
{
    return {(value >> 16) & 0xFF, (value >> 8) & 0xF0, (value >> 8) & 0x0F, value & 0xFF};
}

}  // namespace brix::qt
