#pragma once

#include <atomic>
#include <istream>
#include <mutex>
#include <ostream>
#include <string>

// Mixer: the base of a show's mixer: its lock, its "mixersettings" file in the folder of the show it
// belongs to (given at construction, so a mixer saves into its own show's folder whichever show the
// process opened since), and the songLoaded notice that makes the derived mixer send the loaded
// song's mix.
//
// Owner: the derived mixer. Threads: any; the lock makes loading and saving safe against the
// derived mixer's own operations. songLoaded arrives on the thread that loaded the song.
// Lock: mixerLock (recursive) guards the derived mixer's maps and the file; never held while the
// player is called.
// The songLoaded callback is registered by the constructor, but reaches OnSongLoaded only once the
// derived mixer called AcceptSongLoaded_() at the end of its constructor (before, OnSongLoaded is
// not yet the derived one); the derived destructor removes its callbacks (RemoveCallbacksForTarget,
// which waits for one being delivered) before anything of it is destroyed.
class Mixer {
public:
    virtual ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    virtual void ResetToDefaultSettings() = 0;
    // Replaces the mix with the one read from the stream. Throws MixerInvalidFileError for a stream
    // that is not a valid mixer settings file, std::ios_base::failure when it ends too soon; the mix
    // is then left as it was.
    virtual void LoadFromStream(std::istream& in) = 0;
    // Writes the whole file to the stream. Throws std::length_error for a string of 256 bytes or more.
    virtual void WriteToStream(std::ostream& out) = 0;
    virtual void OnSongLoaded() = 0;

    // The mixer's show folder joined with "mixersettings".
    std::string GetMixerFileName() const;
    // Loads the file. Throws MixerIoError "Unable to read from mixer settings file." when it cannot be
    // opened, "Error occurred while reading mixer settings from file." when it ends too soon, and
    // MixerInvalidFileError for a file that is not a valid one.
    void LoadFromFile();
    // Writes the file to a temporary file that replaces it only when complete, so a failed or
    // interrupted save leaves the previous file whole. Throws MixerIoError "Unable to write to mixer
    // settings file." when the file cannot be written, "Error occurred while writing mixer settings to
    // file." when the mix cannot be encoded (a string of 256 bytes or more).
    void SaveToFile();

protected:
    explicit Mixer(std::string showDirectory);

    // From now on songLoaded notices call OnSongLoaded.
    void AcceptSongLoaded_() { acceptsSongLoaded_.store(true); }

    std::recursive_mutex mixerLock;

private:
    const std::string showDirectory_;
    std::atomic<bool> acceptsSongLoaded_{false};
};
