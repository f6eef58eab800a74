#pragma once

#include "qml_controller.h"

#include <QString>

#include <memory>

class QQmlEngine;

namespace brix {
class AppSettings;
}

namespace brix::qt {

// MixerController: the base of a product's mixer controller, which the player factory makes for the
// main window's mixer view (PlayerFactory::CreateMixerController). It wraps the view item, which the
// main window owns, and offers the two operations the main window calls on it; here both do nothing,
// the product's controller gives them their effect.
// Owner: the main window controller, which replaces it on every song load. Thread: GUI thread only.
class MixerController : public QmlController {
    Q_OBJECT

public:
    // Wraps the mixer view (may be null: a main window without one); never deletes it.
    MixerController(QObject* mixerView, QQmlEngine* engine);

public slots:
    // The engine reports that the track now plays this program; the text is not used.
    virtual void SetTrackProgram(int trackId, int program, const QString& text);
    // The application settings the mixer reads and writes the click volume in (may be empty).
    virtual void SetAppSettings(std::shared_ptr<brix::AppSettings> settings);
};

}  // namespace brix::qt
