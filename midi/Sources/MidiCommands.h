#pragma once

#include "LearnedCommand.h"
#include "MidiCommandTables.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class MidiMessageDispatcher;

namespace midi_commands {

// MidiCommands: the MIDI remote control. Each of the twelve commands of commandIds is taught one
// MIDI message (a note-on, a controller or a program change, by its status with channel and its first
// data byte) from the chosen MIDI input, the "source"; from then on that message fires the command,
// which posts its event on notify::callbackDispatcher. Learning progress and the source connection
// are reported on notify::guiDispatcher. The learned commands and the source survive between runs in
// the settings file (MidiCommandSettings): loaded by the constructor, saved by the destructor.
// No two commands share one message: teaching a message that another command has takes it from that
// command, which is reported cancelled.
//
// Owner: the player engine. The dispatcher is not owned and must outlive this object.
// Threads: the owner's thread for every public operation; the MIDI input thread answers learn requests
// (OnLearnedMidiCommandNoAssign) and runs the fired actions, which do not touch this object.
// Locks, in this order:
// - portMutex_ serializes the use of the dispatcher's input port (connect, start, disconnect, index
//   and connection queries). The input thread never takes it, so closing a port under it cannot wait
//   for a learn answer that itself waits for mutex_.
// - mutex_ (recursive) guards the learn queue, hasConductBeat_, sourceConnected_, keptSourceIndex_
//   and the learned commands. Events and GUI notices of binding, cancelling and connecting are sent
//   with it held: their listeners must not call back into this object from another thread and wait.
// - the dispatcher's own mutex, taken inside its binding calls.
// A learn answer still pending in the dispatcher when this object is destroyed does nothing.
class MidiCommands {
public:
    using Message = std::pair<unsigned char, unsigned char>;  // (status byte with channel, data byte)

    // Loads the settings file at settingsPath (UTF-8) and, when it names a source that can be
    // connected, connects it, which binds the loaded commands. A missing file is ignored; a short file
    // or one with another header is reported as a "WARNING: " line on the console and loads nothing.
    MidiCommands(MidiMessageDispatcher& dispatcher, const std::string& settingsPath);
    // Saves the settings file; a failure is only reported as "WARNING: Unable to save settings to "
    // and the path on the console.
    ~MidiCommands();
    MidiCommands(const MidiCommands&) = delete;
    MidiCommands& operator=(const MidiCommands&) = delete;

    // Makes the input device at sourceIndex the source, starts it and binds every learned command
    // again (each reported once more). Throws MidiPortError "Invalid MIDI source." for an index that
    // is no usable input (the previous source stays), and passes on the MidiPortError of a device that
    // cannot be opened (the previous source stays) or started (no source then). Any failure leaves
    // the object without a recorded source.
    void ConnectSourceByIndex(unsigned char sourceIndex);
    // The open input's index, or the last one opened, else 0.
    unsigned char GetConnectedSourceIndex();
    bool HasMidiSource();
    // True while command 0 ("Conduct Beat") is bound.
    bool GetHasConductBeat();
    std::map<unsigned char, LearnedCommand> GetLearnedCommands();
    // True while a learn request for the command is pending.
    bool IsMidiCommandLearning(unsigned char commandId);

    // Asks for the next note-on, controller or program change of the source to become the command's
    // message. Requests are answered in the order made, one message each; none can be withdrawn.
    void LearnMidiCommandNoAssign(unsigned char commandId);
    // The answer to the oldest learn request (MIDI input thread): binds the message to commandId.
    void OnLearnedMidiCommandNoAssign(unsigned char commandId, Message message);
    // Binds the command to (status | channel, data), replacing its earlier message and taking this one
    // from any other command. Throws std::out_of_range for an id without a command, changing nothing.
    void SetMidiCommand(unsigned char commandId, unsigned char status, unsigned char channel, unsigned char data);
    // Removes the command's binding and reports it cancelled, bound or not.
    void UnsetMidiCommand(unsigned char commandId);

private:
    // Reached by the dispatcher's pending learn answers; owner is cleared when this object goes.
    struct LearnTarget {
        std::mutex mutex;
        MidiCommands* owner;
    };

    void LoadFromFile();
    void SaveToFile();
    void ReconnectLearnedCommands();
    void RemoveDuplicateLearnedCommand(unsigned char commandId, unsigned char status, unsigned char channel,
                                       unsigned char data);
    void SendCommandCanceled(unsigned char commandId);
    void SendLearnedCommand(unsigned char commandId, const Message& message);

    std::mutex portMutex_;
    std::recursive_mutex mutex_;
    MidiMessageDispatcher& dispatcher_;
    std::deque<unsigned char> learnQueue_;
    bool hasConductBeat_ = false;
    bool sourceConnected_ = false;
    // The source read from the settings file while it could not be connected: saved again until the
    // user chooses a source, so a device missing for one run is not forgotten.
    std::optional<std::uint32_t> keptSourceIndex_;
    std::map<unsigned char, LearnedCommand> learnedCommands_;
    std::string settingsPath_;
    std::shared_ptr<LearnTarget> learnTarget_;
};

}  // namespace midi_commands
