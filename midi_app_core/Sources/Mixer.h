#pragma once

#include <istream>
#include <mutex>
#include <ostream>
#include <string>

class SettingsFileWriter;

// Mixer: the base of a show's mixer: its lock and its "mixersettings" file in the show directory.
//
// Owner: the derived mixer. Threads: any; the lock makes loading and saving safe against the
// derived mixer's own operations.
// Lock: mixerLock (recursive) guards the derived mixer's maps and the file; never held while the
// player is called.
class Mixer {
public:
    virtual ~Mixer() = default;
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    virtual void ResetToDefaultSettings() = 0;
    // Replaces the mix with the one read from the stream. Throws MixerInvalidFileError for a stream
    // that is not a valid mixer settings file, std::ios_base::failure when it ends too soon; the mix
    // is then left as it was.
    virtual void LoadFromStream(std::istream& in) = 0;
    // Writes the whole file (Write) to the stream.
    void WriteToStream(std::ostream& out);
    virtual void OnSongLoaded() = 0;

    // The show directory joined with "mixersettings".
    static std::string GetMixerFileName();
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
    Mixer() = default;

    // Appends the whole file's bytes.
    virtual void Write(SettingsFileWriter& writer) = 0;

    std::recursive_mutex mixerLock;
};
