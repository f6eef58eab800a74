#pragma once

#include <brix_player_core/Interface.h>

#include <brix_core/BrixEvent.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QQuickView;

namespace CL {
class Editor;
}

namespace brix {

// ShowManager: the one holder of the loaded show's engine. The controllers reach the engine, its
// change-log editor, song lengths and bar texts through it. Taking over an engine, and choosing
// another change-log file, shows the engine's notices about edits it repaired on load, each in a
// window of its own.
// Threads: the GUI thread only.
class ShowManager {
public:
    using SongList = std::vector<std::pair<std::string, std::string>>;
    using MarkersWithBarStrings = std::vector<std::pair<cmn::BrixEvent, std::string>>;

    explicit ShowManager(std::shared_ptr<Interface> engine);
    ~ShowManager();

    ShowManager(const ShowManager&) = delete;
    ShowManager& operator=(const ShowManager&) = delete;

    // Throws std::runtime_error while an engine is held.
    void SetPlayer(std::shared_ptr<Interface> engine);
    // Shuts the engine down (whatever its shutdown throws is swallowed) and lets go of it.
    void ReleasePlayer();

    // Loads another change-log file: pauses playback, takes the new editor and shows the notices of
    // the new log.
    void SetChangelogFilename(std::string name);

    std::shared_ptr<Interface> GetInterface() const { return engine_; }
    CL::Editor* GetEditor() const { return editor_; }
    CL::Editor* PauseAndGetEditor();
    std::string GetCurrentSongNumber();
    Interface::EventList GetChangeLogPanelEvents();
    std::string GetLogVersion();
    unsigned int GetSongLength(const std::string& songName);
    unsigned int GetSongStartTickIndex(const std::string& songName);
    // Holds its own reference to the engine for the call, so a release meanwhile cannot pull the
    // engine from under it.
    std::string GetBarString(unsigned int tick);
    void SelectSongLogForEditing(const std::string& songName);
    // The current song's markers in order, each with the bar text of its position.
    MarkersWithBarStrings GetMarkersWithBarStrings();

    const Interface::SongNames& GetSongNamesBySongNumber() const { return songNamesBySongNumber_; }
    const SongList& GetSongList() const { return songList_; }
    const std::filesystem::path& GetShowDirectory() const { return showDirectory_; }

    // The notice windows still open, oldest first (the manager owns them; closed ones are dropped when
    // the next notices open).
    std::vector<QQuickView*> GetOpenNotices() const;

private:
    enum class Notice { TempoScaleWarnings, EditedClickLog, RepairedLoops };

    std::shared_ptr<Interface> Engine() const;
    void ReadAttaccaStates();
    void ShowNotices(const std::vector<Notice>& order);
    void ShowNotice(const std::string& text);

    std::shared_ptr<Interface> engine_;
    Interface::SongNames songNamesBySongNumber_;
    SongList songList_;
    std::filesystem::path showDirectory_;
    CL::Editor* editor_ = nullptr;
    std::vector<std::unique_ptr<QQuickView>> notices_;
};

}  // namespace brix
