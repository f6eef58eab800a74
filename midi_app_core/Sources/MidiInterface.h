#pragma once

#include <brix_player_core/Interface.h>

#include <istream>
#include <memory>
#include <sstream>
#include <string>

class MidiPlayer;

// MidiInterface: the MIDI layer of the player engine's interface. It owns the stream of the show's
// score archive (the bytes of the file "score.tar" of the show folder, read by LoadShowData; an
// empty stream when the show has none), and keeps the player's conductor-beat flag in step with the
// chosen MIDI input source.
// Owner: the product library's interface, which derives from it and supplies the player; its
// destructor calls RemoveCallbacks() first, before anything the callbacks reach (the player) goes.
// Threads: any; a learned MIDI command is reported on the MIDI input's thread. LoadShowData and
// GetScoreTar on the GUI thread.
class MidiInterface : public Interface {
public:
    static constexpr const char* kScoreArchiveFileName = "score.tar";

    MidiInterface(const std::string& showDirectory, const std::string& second);
    ~MidiInterface() override;

    // The score archive's stream, read from its start; still owned by the interface, the same object
    // for the interface's life.
    std::istream& GetScoreTar() override;
    // Reads the show folder's data this layer keeps, the score archive, into the score stream (which
    // stays the same object and is put back to its start). The constructor calls it; call it again
    // after the show folder's files were replaced.
    virtual void LoadShowData();
    // Also tells the player at once whether the new source gives conductor beats.
    void SetMidiSource(int source) override;
    void AllNotesOff();
    void SetHighSpeed();
    virtual MidiPlayer& GetMidiPlayer() = 0;

protected:
    // Ends every callback this interface registered on notify::callbackDispatcher (the learned-command
    // one and a derived interface's); when it returns none is running and none runs again.
    // Idempotent.
    void RemoveCallbacks();

private:
    std::unique_ptr<std::istringstream> scoreTar;
};
