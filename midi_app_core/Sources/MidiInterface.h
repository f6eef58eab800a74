#pragma once

#include <brix_player_core/Interface.h>

#include <istream>
#include <memory>
#include <string>

class MidiPlayer;

// MidiInterface: the MIDI layer of the player engine's interface. It owns the stream of the show's
// score archive (the file "score.tar" of the show folder; an empty stream when the show has none),
// and keeps the player's conductor-beat flag in step with the chosen MIDI input source.
// Owner: the product library's interface, which derives from it and supplies the player; its
// destructor calls RemoveLearnedCommandCallback() first, before anything the callback reaches (the
// player) goes.
// Threads: any; a learned MIDI command is reported on the MIDI input's thread.
class MidiInterface : public Interface {
public:
    static constexpr const char* kScoreArchiveFileName = "score.tar";

    MidiInterface(const std::string& showDirectory, const std::string& second);
    ~MidiInterface() override;

    // The score archive's stream, read from its start; still owned by the interface.
    std::istream& GetScoreTar() override;
    // Also tells the player at once whether the new source gives conductor beats.
    void SetMidiSource(int source) override;
    void AllNotesOff();
    void SetHighSpeed();
    virtual MidiPlayer& GetMidiPlayer() = 0;

protected:
    // Ends the learned-command callback; when it returns the callback is not running and never runs
    // again. Idempotent.
    void RemoveLearnedCommandCallback();

private:
    std::unique_ptr<std::istream> scoreTar;
};
