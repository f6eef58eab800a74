#pragma once

#include <PlayerFactory.h>

namespace brix::qt {

// TarnwickPlayerFactory: the product Tarn|Wick: its names, version 2.7.0, logos and feature switches,
// and its engine, a brix::Tarnwick2Interface over the show's MIDI player.
//
// It does not make a mixer controller of its own yet: CreateMixerController is the frame's, which
// makes none, so the main window has no mixer until the product's mixer controller exists.
class TarnwickPlayerFactory : public PlayerFactory {
public:
    TarnwickPlayerFactory();

    // The engine of the show in showDirectory, given the product's data folder (created when missing).
    // A failure of the engine's construction passes to the caller.
    std::unique_ptr<Interface> CreatePlayer(const QString& showDirectory,
                                            std::shared_ptr<PlayerOscCallback> oscCallback) override;
};

}  // namespace brix::qt
