#pragma once

#include <QObject>

namespace brix::qt {

// MixerController: the base of a product's mixer controller, which the player factory makes for the
// main window's mixer view (PlayerFactory::CreateMixerController). The frame makes none, so this
// base has nothing of its own yet; the window controller base it stands on and the operations the
// main window calls on it come with the mixer.
class MixerController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

}  // namespace brix::qt
