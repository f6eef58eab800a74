#include "TempoDifference.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/GuiDispatcher.h>
#include <brix_core/NotifyNames.h>

#include <cmath>

TempoDifference::TempoDifference()
{
    notify::callbackDispatcher.AddCallback(this, notify::names::reportTargetTempo,
                                           [this](void* data) { SetTargetBpm(*static_cast<double*>(data)); });
    notify::callbackDispatcher.AddCallback(this, notify::names::reportActualTempo,
                                           [this](void* data) { SetActualBpm(*static_cast<double*>(data)); });
}

TempoDifference::~TempoDifference()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

void TempoDifference::SetTargetBpm(double bpm)
{
    std::lock_guard lock(mutex);
    targetBpm = bpm;
    notify::guiDispatcher.SendStatusTargetTempo(static_cast<int>(std::round(bpm)));
    CalculateAndSendError();
}

void TempoDifference::SetActualBpm(double bpm)
{
    std::lock_guard lock(mutex);
    actualBpm = bpm;
    CalculateAndSendError();
    notify::guiDispatcher.SendStatusActualTempo(static_cast<int>(std::round(bpm)));
    CalculateAndSendError();
}

void TempoDifference::CalculateAndSendError()
{
    const double percent = (actualBpm - targetBpm) * 100.0 / targetBpm;
    if (targetBpm == 0.0 || !std::isfinite(percent)) {
        notify::guiDispatcher.SendStatusTempoDifference(0);
        return;
    }
    // Snapped to a billionth first, so that a half per cent that binary fractions miss by a hair
    // (119.4 against 120) still rounds away from zero.
    const double snapped = std::round(percent * 1e9) / 1e9;
    notify::guiDispatcher.SendStatusTempoDifference(static_cast<int>(std::round(snapped)));
}
