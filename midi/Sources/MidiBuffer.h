#pragma once

#include <brix_core/SongData.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// MidiBuffer: the MIDI events of one MIDI clock of a song, on their way from the thread that prepares
// them (the queue thread, or the player while priming) to the clock path that sends them, with what
// the sender needs to know about that clock: its tick, its clock number within the click, whether it
// is the first buffer after priming or the song's last one, the all-notes-off and all-controllers-off
// requests, the program changes it holds and the time code at its start. The platform subclass holds
// the per-port event storage.
//
// Owner: MidiOutput (a ring of four buffers and three special ones), created once and reused after
// Reset().
// Locks: the buffer lock (recursive, GetMutex()) guards the fields and the storage; callers that build
// or send a buffer hold it across the whole step. The data lock guards only the has-data flag and
// pairs with the data condition for the hand-off between filler and sender; it is taken alone,
// inside the same buffer's buffer lock, or together with it (Reset), never in the reverse order.
// Time-code seconds, next time-code seconds, clocks per click and the plug-in id getters are unguarded:
// the filler writes them before it sets has data, the sender reads them after it saw has data.
class MidiBuffer {
public:
    using ProgramChanges = std::map<unsigned short, unsigned char>;
    using PluginIds = std::pair<unsigned int, std::vector<unsigned int>>;

    MidiBuffer(unsigned char portCount, const std::string& name);
    MidiBuffer(const MidiBuffer&) = delete;
    MidiBuffer& operator=(const MidiBuffer&) = delete;
    virtual ~MidiBuffer();

    // False when the port's storage is full.
    virtual bool AddEventToBuffer(unsigned char port, const brix_midi::VoiceEvent& event) = 0;
    virtual void DoneAddingEventsToBuffer() = 0;
    virtual bool GetBufferIsFull(unsigned char port) = 0;
    virtual void* GetPacketDataAtPortIndex(unsigned char port) = 0;
    virtual unsigned short GetPortEventCount(unsigned char port);
    virtual void Reset();
    virtual void ResetPortEventCounts();
    virtual void SetTickIndex(unsigned int tickIndex);

    std::recursive_mutex& GetMutex() { return bufferMutex_; }
    const std::string& GetName() const { return name_; }
    unsigned char GetPortCount();

    unsigned int GetTickIndex();
    int GetClockNumber();
    void SetClockNumber(int clockNumber);
    bool GetIsFirstBuffer();
    // Only ever sets the flag; Reset() clears it.
    void SetIsFirstBuffer();
    bool GetIsLastBuffer();
    // Setting the last-buffer flag also hands the buffer over (SetHasData(true)).
    void SetIsLastBuffer(bool isLast);

    // Sets has data and wakes one waiter of the data condition.
    void SetHasData(bool hasData);
    // Sender side: waits at most one second for data. Returns whether data arrived.
    bool WaitUntilReadyForOutput();
    // Filler side: waits until the sender has taken the data. Always returns true.
    bool WaitUntilNeedsData();

    // The requests are ignored on the first buffer after priming; each is reported once.
    void SetShouldSendAllNotesOff();
    void SetShouldSendAllCCsOff();
    bool GetShouldSendAllNotesOff();
    bool GetShouldSendAllCCsOff();

    // Posts the programs this buffer holds (key (port << 8) | channel) to the program listeners.
    void SendProgramChanges();

    void SetPluginIds(PluginIds&& pluginIds);
    bool GetHasPluginIds() const { return hasPluginIds_; }
    const PluginIds& GetOnDeckPluginIds() const { return onDeckPluginIds_; }

    void SetTimeCodeSeconds(double seconds) { timeCodeSeconds_ = seconds; }
    double GetTimeCodeSeconds() const { return timeCodeSeconds_; }
    void SetNextTimeCodeSeconds(double seconds) { nextTimeCodeSeconds_ = seconds; }
    double GetNextTimeCodeSeconds() const { return nextTimeCodeSeconds_; }
    void SetClocksPerClick(int clocksPerClick) { clocksPerClick_ = clocksPerClick; }
    // Seconds per MIDI clock at the given tempo: 1 / (clocks per click × bpm / 60).
    double GetClockTimeSeconds(double beatsPerMinute) const;

protected:
    // Records a program change event's program under (port << 8) | channel. The platform's
    // AddEventToBuffer calls it for every event it accepts.
    void FilterProgramChange(unsigned char port, const brix_midi::VoiceEvent& event);

private:
    std::recursive_mutex bufferMutex_;
    std::mutex dataMutex_;
    std::condition_variable dataCondition_;
    bool hasData_ = false;
    const unsigned char portCount_;
    unsigned int tickIndex_ = 0;
    bool isLastBuffer_ = false;
    bool isFirstBuffer_ = false;
    int clockNumber_ = 0;
    std::map<unsigned char, unsigned short> portEventCounts_;
    const std::string name_;
    bool hasPluginIds_ = false;
    PluginIds onDeckPluginIds_;
    ProgramChanges programChanges_;
    bool shouldSendAllNotesOff_ = false;
    bool shouldSendAllCCsOff_ = false;
    double timeCodeSeconds_ = 0.0;
    double nextTimeCodeSeconds_ = 0.0;
    int clocksPerClick_ = 24;
};

// Adds, on every port, for each channel 0 to 15: all notes off (CC 123) then reset all controllers
// (CC 121); then DoneAddingEventsToBuffer().
void AddAllNotesOff(MidiBuffer& buffer);
// Adds, on every port, for each channel 0 to 15: reset all controllers (CC 121); then
// DoneAddingEventsToBuffer().
void AddAllCCsOff(MidiBuffer& buffer);
