#include "MixerController.h"

#include "AppSettings.h"

namespace brix::qt {

MixerController::MixerController(QObject* mixerView, QQmlEngine* engine) : QmlController(mixerView, engine) {}

void MixerController::SetTrackProgram(int /*trackId*/, int /*program*/, const QString& /*text*/) {}

void MixerController::SetAppSettings(std::shared_ptr<brix::AppSettings> /*settings*/) {}

}  // namespace brix::qt
