#include "Mixer.h"

#include "MixerIoError.h"
#include "SettingsFileWriter.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/NotifyNames.h>
#include <fennic/Path.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

Mixer::Mixer(std::string showDirectory) : showDirectory_(std::move(showDirectory))
{
    notify::callbackDispatcher.AddCallback(this, notify::names::songLoaded, [this](void*) {
        if (acceptsSongLoaded_.load()) {
            OnSongLoaded();
        }
    });
}

Mixer::~Mixer()
{
    notify::callbackDispatcher.RemoveCallbacksForTarget(this);
}

std::string Mixer::GetMixerFileName() const
{
    return fennic::path::Join(showDirectory_, "mixersettings");
}

void Mixer::LoadFromFile()
{
    const std::string path = GetMixerFileName();
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!in.is_open()) {
        throw MixerIoError("Unable to read from mixer settings file.");
    }
    in.exceptions(std::ios::badbit | std::ios::failbit | std::ios::eofbit);
    try {
        LoadFromStream(in);
    } catch (const std::ios_base::failure&) {
        throw MixerIoError("Error occurred while reading mixer settings from file.");
    }
}

void Mixer::SaveToFile()
{
    std::ostringstream encoded;
    try {
        WriteToStream(encoded);
    } catch (const std::length_error&) {
        throw MixerIoError("Error occurred while writing mixer settings to file.");
    }
    SettingsFileWriter writer;
    writer.WriteBytes(encoded.str());
    try {
        writer.Commit(GetMixerFileName());
    } catch (const fennic::IoError&) {
        throw MixerIoError("Unable to write to mixer settings file.");
    }
}
