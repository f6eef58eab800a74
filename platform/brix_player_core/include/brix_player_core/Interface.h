#pragma once

#include <brix_player_core/PlayerOutputInterface.h>

#include <fennic/NumericStringCompare.h>

#include <istream>
#include <map>
#include <mutex>
#include <string>

class Player;

// Interface: the player engine of one loaded show as the program and the remote controls reach it.
// It is built for a show folder and a change-log file name, forwards the volumes and the output
// device to its player, and keeps the chosen MIDI input source. A derived interface supplies the
// player, the score archive, the song names, the current start tick and whether the chosen source
// gives conductor beats; further members are added as the program needs them.
// Threads: any; the MIDI source is guarded by the interface's own mutex.
class Interface {
public:
    Interface(const std::string& showDirectory, const std::string& changeLogFilename);
    virtual ~Interface();

    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;

    const std::string& GetShowDirectory() const { return showDirectory_; }
    const std::string& GetChangelogFilename() const { return changeLogFilename_; }

    virtual std::istream& GetScoreTar() = 0;
    virtual void SetOutputDeviceUid(const std::string& uid);
    virtual std::string GetOutputDeviceUid();
    virtual void SetVolume(double percent);
    virtual void SetVolume(double percent, brix_audio::VolumeType type);
    virtual double GetVolume();
    virtual double GetVolume(brix_audio::VolumeType type);
    virtual std::map<std::string, std::string, fennic::NumericStringCompare> GetSongNamesBySongNumber() = 0;
    virtual unsigned int GetCurrentStartTickIndex() = 0;
    // Chooses the MIDI input source by its index (-1: none); an index below -1 throws
    // std::out_of_range.
    virtual void SetMidiSource(int source);
    int GetMidiSource() const;
    virtual bool GetHasConductBeat() = 0;
    virtual Player& GetPlayer() = 0;

private:
    const std::string showDirectory_;
    const std::string changeLogFilename_;
    mutable std::mutex mutex_;
    int midiSource_ = -1;
};
