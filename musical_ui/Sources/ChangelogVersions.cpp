#include "ChangelogVersions.h"

#include <brix_core/LogDataFile.h>

#include <chrono>
#include <limits>
#include <map>
#include <stdexcept>
#include <utility>

namespace brix::changelog {

namespace {

constexpr std::uint16_t kLastMinor = 255;
constexpr std::uint16_t kLastMajor = std::numeric_limits<std::uint16_t>::max();

std::int64_t WriteSeconds(const std::filesystem::path& path)
{
    const auto time = std::chrono::file_clock::to_sys(std::filesystem::last_write_time(path));
    return std::chrono::floor<std::chrono::seconds>(time).time_since_epoch().count();
}

bool IsLogDataFile(const std::filesystem::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    return entry.is_regular_file() && name.size() > CL::kLogDataExtension.size() &&
           name.ends_with(CL::kLogDataExtension);
}

}  // namespace

std::vector<LocalVersion> ListLocalVersions(const std::filesystem::path& folder, std::ostream& warnings)
{
    std::vector<LocalVersion> versions;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!IsLogDataFile(entry))
            continue;
        const std::optional<cmn::BRIXVersion> version = CL::LogDataFileVersion(entry.path());
        if (!version) {
            warnings << "Skipping the change-log file " << entry.path().filename().string()
                     << ": its name gives no version." << std::endl;
            continue;
        }
        versions.push_back({entry.path(), *version, WriteSeconds(entry.path())});
    }
    return versions;
}

std::optional<LocalVersion> LatestLocalVersion(const std::vector<LocalVersion>& versions)
{
    const LocalVersion* latest = nullptr;
    for (const LocalVersion& candidate : versions) {
        if (latest == nullptr || candidate.version > latest->version ||
            (candidate.version == latest->version && candidate.path.filename() < latest->path.filename()))
            latest = &candidate;
    }
    return latest == nullptr ? std::nullopt : std::optional<LocalVersion>(*latest);
}

cmn::BRIXVersion NextLocalVersion(const cmn::BRIXVersion& latest)
{
    if (latest.GetMinor() < kLastMinor)
        return {latest.GetMajor(), static_cast<std::uint16_t>(latest.GetMinor() + 1)};
    if (latest.GetMajor() == kLastMajor)
        throw std::overflow_error("No change-log version is left after " + latest.GetAsString() + ".");
    return {static_cast<std::uint16_t>(latest.GetMajor() + 1), 0};
}

std::uint16_t NextSharedMajor(const std::vector<cmn::BRIXVersion>& serverVersions)
{
    std::uint16_t greatest = 0;
    for (const cmn::BRIXVersion& version : serverVersions)
        greatest = std::max(greatest, version.GetMajor());
    if (greatest == kLastMajor)
        throw std::overflow_error("The show server already stores the last change-log version.");
    return static_cast<std::uint16_t>(greatest + 1);
}

std::vector<std::filesystem::path> PruneLocalVersions(const std::filesystem::path& folder, std::ostream& warnings)
{
    // (show key, version) -> its copies.
    std::map<std::pair<std::string, cmn::BRIXVersion>, std::vector<LocalVersion>> copies;
    for (LocalVersion& file : ListLocalVersions(folder, warnings)) {
        const std::string stem = file.path.stem().string();
        const std::size_t dash = stem.rfind('-');
        if (dash != std::string::npos)
            copies[{stem.substr(0, dash), file.version}].push_back(std::move(file));
    }
    std::vector<std::filesystem::path> deleted;
    for (const auto& [key, files] : copies) {
        std::int64_t newest = std::numeric_limits<std::int64_t>::min();
        for (const LocalVersion& file : files)
            newest = std::max(newest, file.modified);
        for (const LocalVersion& file : files) {
            if (file.modified < newest) {
                std::filesystem::remove(file.path);
                deleted.push_back(file.path);
            }
        }
    }
    return deleted;
}

}  // namespace brix::changelog
