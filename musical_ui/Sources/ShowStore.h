#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brix {

// ShowStore: the shows this computer knows and which of them is current.
//
// Kept as "shows.json" in the product's user-data folder:
//   {"format": 1, "current": "<id>",
//    "shows": [{"id": "...", "name": "...", "customer": "...", "folder": "/abs/path",
//               "server": {"address": "http://host:port", "route": "none" | "request" | "portal",
//                          "credentials": {"show": "...", "token": "..."}}}]}
// A show's name, customer and server come from its folder's show.json (its optional "server" object,
// brix::networking::ReadServerSettings) whenever the show is added or chosen again, so the store
// follows the folder. The route "none" marks a show without a server (it works offline). The id is
// the folder's absolute, normal path: one record per folder. The file is written to a temporary file
// and renamed over the old one, so an interrupted write leaves the previous list.
//
// The bundled demo show is offered always (DemoFolder); it is copied into "shows/demo" of the
// user-data folder on first use. A store that has no file yet (the program's first start) makes the
// demo current, so a first start opens the demo. A store file that cannot be read is set aside as
// "shows.json.damaged" (the user's list is not overwritten unseen) and the store starts empty,
// without a current show.
//
// Not thread-safe; the Launcher and the store window use it on the GUI thread.
class ShowStore {
public:
    // Opens the store of the user-data folder. Throws fennic::IoError when the demo must be copied and
    // cannot be.
    explicit ShowStore(std::filesystem::path userDataFolder);

    const std::vector<networking::ShowRecord>& Shows() const { return shows_; }
    // The current show; none when no show is chosen or the current show's folder is gone.
    std::optional<networking::ShowRecord> Current() const;

    // Adds the show folder (or refreshes its record) and makes it current; returns its record. Throws
    // fennic::IoError naming the folder when it holds no show.json, and networking::NetworkError when
    // its "server" object is malformed; the store is unchanged then.
    networking::ShowRecord Choose(const std::filesystem::path& showFolder);
    // Copies the demo on first use and chooses it.
    networking::ShowRecord ChooseDemo();
    // Replaces the stored record of the same id (the download returns the record with names read
    // again) and writes the store; a record the store does not hold is ignored. Throws fennic::IoError
    // when the store cannot be written.
    void Update(const networking::ShowRecord& record);

    // The demo's folder in the user-data folder (it need not exist yet).
    std::filesystem::path DemoFolder() const;
    std::filesystem::path FilePath() const;

private:
    void Load();
    void Save() const;

    std::filesystem::path userDataFolder_;
    std::vector<networking::ShowRecord> shows_;
    std::string current_;
};

namespace qt {

// The environment variable that names the show folder to make current at start-up (scripts/run.sh
// sets it); empty or unset leaves the store's choice.
inline constexpr const char* kShowFolderVariable = "TARNWICK2_SHOW_FOLDER";

// The demo show bundled with the program, copied into "shows/demo" of the product's data folder the
// first time and used from there ever after (a copy the user changed is never replaced). The copy is
// made under a temporary name and renamed when complete, so an interrupted copy is never taken for
// the show. Returns the folder. Throws fennic::IoError when the copy cannot be made.
QString PrepareDemoShow(const QString& productDataFolder);

}  // namespace qt
}  // namespace brix
