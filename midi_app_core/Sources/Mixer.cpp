#include "Mixer.h"

#include "MixerIoError.h"
#include "SettingsFileWriter.h"

#include <brix_core/Directories.h>
#include <fennic/Path.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

void Mixer::WriteToStream(std::ostream& out)
{
    SettingsFileWriter writer;
    Write(writer);
    out.write(writer.GetBytes().data(), static_cast<std::streamsize>(writer.GetBytes().size()));
}

std::string Mixer::GetMixerFileName()
{
    return fennic::path::Join(directories.GetShowDirectory(), "mixersettings");
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
    SettingsFileWriter writer;
    try {
        Write(writer);
    } catch (const std::length_error&) {
        throw MixerIoError("Error occurred while writing mixer settings to file.");
    }
    try {
        writer.Commit(GetMixerFileName());
    } catch (const fennic::IoError&) {
        throw MixerIoError("Unable to write to mixer settings file.");
    }
}
