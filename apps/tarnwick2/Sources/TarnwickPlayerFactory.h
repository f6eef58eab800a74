#pragma once

#include <PlayerFactory.h>

namespace brix::qt {

// TarnwickPlayerFactory: the product Tarn|Wick: its names, version 2.7.0, logos and feature switches,
// its engine, a brix::Tarnwick2Interface over the show's MIDI player, and its mixer controller,
// MixerControllerTW.
class TarnwickPlayerFactory : public PlayerFactory {
public:
    TarnwickPlayerFactory();

    // The engine of the show in showDirectory, given the product's data folder (created when missing).
    // A failure of the engine's construction passes to the caller.
    std::unique_ptr<Interface> CreatePlayer(const QString& showDirectory,
                                            std::shared_ptr<PlayerOscCallback> oscCallback) override;

    // A MixerControllerTW on the view, with the arguments unchanged.
    std::unique_ptr<MixerController> CreateMixerController(QObject* mixerView, QQmlEngine* qmlEngine,
                                                           std::shared_ptr<Interface> engine,
                                                           std::shared_ptr<AppSettings> settings) override;
};

}  // namespace brix::qt
