#pragma once

#include "MIDIMessage.h"
#include "MidiInputInterface.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <queue>
#include <set>
#include <utility>
#include <vector>

class MscMessage;

// The status nibbles the dispatcher learns and binds: note-on, control change, program change.
extern const std::set<std::uint8_t> allowedStatuses;

// MidiMessageDispatcher: owns at most one open MIDI input and receives its short messages. Every message
// tells the GUI that input arrived. A note-on (velocity above 0), control change or program change either
// answers the oldest pending learn request or fires the function bound to its key (status with channel,
// first data byte); every other message is collected into the packet while a forwarding function is
// set, and the owner forwards the packet with PacketEnd().
//
// Owner: the learned remote-control commands (or the player engine above).
// Threads: ProcessMessage runs on the input device's callback thread; everything else on the owner's
// threads.
// Lock: mutex_ (not recursive) guards learn mode, both request queues, the bindings, the forwarding
// function and the packet. It is never held while a notice, a bound function or the forwarding
// function runs, so those may call back into the dispatcher. Callers' locks come before it.
// Stop guarantee: Disconnect, a replacing ConnectWithSourceIndex and the destructor close the input
// before they return; no message is delivered afterwards.
class MidiMessageDispatcher {
public:
    using Key = std::pair<unsigned char, unsigned char>;
    using Notice = std::function<void(Key)>;
    using ForwardingFunction = std::function<void(const std::vector<MIDIMessage>&)>;

    // The packet keeps at most this many messages; later ones are dropped until it is emptied.
    static constexpr std::size_t kMaxPacketMessages = 1024;

    MidiMessageDispatcher();
    ~MidiMessageDispatcher();
    MidiMessageDispatcher(const MidiMessageDispatcher&) = delete;
    MidiMessageDispatcher& operator=(const MidiMessageDispatcher&) = delete;

    // Opens the input device at index with this dispatcher as receiver, then closes the previous one.
    // A failure to open (MidiPortError) leaves the previous input in place.
    void ConnectWithSourceIndex(unsigned char index);
    void Start();
    void Disconnect();
    bool GetIsConnected();
    // The input's index; after Disconnect the closed input's index.
    unsigned char GetPortIndex();

    bool IsLearning();
    // Queues a learn request: the next accepted message's key is bound to bind (unless empty), then
    // given to notice. Requests are answered in the order made.
    void LearnMidiBinding(std::function<void()> bind, Notice notice);
    void LearnMidiBindingNoAssign(Notice notice);
    void SetMidiBinding(Key key, std::function<void()> action);
    void RemoveMidiBinding(Key key);

    // A non-empty function turns collecting on; an empty one turns it off (PacketEnd then throws).
    void SetForwardingFunction(ForwardingFunction forward);
    void PacketStart();
    // Forwards the packet and empties it; std::bad_function_call (packet kept) without a function.
    void PacketEnd();

    void MidiNotification();
    void ProcessMessage(const MIDIMessage& message);
    void ProcessMscMessage(const MscMessage& message);
    void DisplayCallbackMap(std::ostream& out);

private:
    std::mutex mutex_;
    bool learning_ = false;
    std::unique_ptr<MidiInputInterface> port_;
    std::queue<Notice> noticeQueue_;
    std::queue<std::function<void()>> bindQueue_;
    std::map<Key, std::function<void()>> bindings_;
    ForwardingFunction forward_;
    bool collecting_ = false;
    std::vector<MIDIMessage> packet_;
    std::uint8_t lastPortIndex_ = 0;
    bool hadPort_ = false;
};

// Orders (status, data) keys by the data byte first, then the status byte.
bool operator<(const std::pair<unsigned char, unsigned char>& a, const std::pair<unsigned char, unsigned char>& b);
