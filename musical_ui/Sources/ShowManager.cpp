#include "ShowManager.h"

#include <brix_core/Editor.h>

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QString>
#include <QUrl>

#include <algorithm>
#include <stdexcept>

namespace brix {

namespace {

constexpr const char* noticeUrl = "qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/MessageBox.qml";
constexpr const char* repairedLoopsText =
    "We have detected and automatically fixed some unusual change log edits. Please review the "
    "following changes to ensure that they work as you expect.";

}  // namespace

ShowManager::ShowManager(std::shared_ptr<Interface> engine)
{
    SetPlayer(std::move(engine));
}

ShowManager::~ShowManager() = default;

void ShowManager::SetPlayer(std::shared_ptr<Interface> engine)
{
    if (engine_)
        throw std::runtime_error("You must delete the previous player before instantiating a new one!");
    engine_ = std::move(engine);
    if (!engine_)
        return;

    songNamesBySongNumber_ = engine_->GetSongNamesBySongNumber();
    songList_.assign(songNamesBySongNumber_.begin(), songNamesBySongNumber_.end());
    ReadAttaccaStates();
    showDirectory_ = engine_->GetShowDirectory();
    editor_ = engine_->GetChangeLogEditor();
    ShowNotices({Notice::TempoScaleWarnings, Notice::EditedClickLog, Notice::RepairedLoops});
}

void ShowManager::ReleasePlayer()
{
    if (!engine_)
        return;
    try {
        engine_->Shutdown();
    } catch (...) {
        // The engine is let go of whatever its shutdown reports.
    }
    editor_ = nullptr;
    engine_.reset();
}

void ShowManager::SetChangelogFilename(std::string name)
{
    const auto engine = Engine();
    engine->SetChangelogFilename(name);
    engine->Pause(false);
    editor_ = engine->GetChangeLogEditor();
    ReadAttaccaStates();
    ShowNotices({Notice::EditedClickLog, Notice::TempoScaleWarnings, Notice::RepairedLoops});
}

CL::Editor* ShowManager::PauseAndGetEditor()
{
    Engine()->Pause(false);
    return editor_;
}

std::string ShowManager::GetCurrentSongNumber()
{
    return Engine()->GetCurrentSongNumber();
}

Interface::EventList ShowManager::GetChangeLogPanelEvents()
{
    return Engine()->GetChangeLogPanelEvents();
}

std::string ShowManager::GetLogVersion()
{
    return Engine()->GetLogVersion();
}

unsigned int ShowManager::GetSongLength(const std::string& songName)
{
    return Engine()->GetSongLength(songName);
}

unsigned int ShowManager::GetSongStartTickIndex(const std::string& songName)
{
    return Engine()->GetSongStartTickIndex(songName);
}

std::string ShowManager::GetBarString(unsigned int tick)
{
    const std::shared_ptr<Interface> engine = Engine();
    return engine->GetBarString(tick);
}

void ShowManager::SelectSongLogForEditing(const std::string& songName)
{
    if (!editor_)
        throw std::logic_error("ShowManager: no change-log editor while no show is loaded.");
    editor_->SelectSongLogForEditing(songName);
}

ShowManager::MarkersWithBarStrings ShowManager::GetMarkersWithBarStrings()
{
    const auto engine = Engine();
    MarkersWithBarStrings markers;
    for (const auto& marker : engine->GetMarkers())
        markers.emplace_back(*marker, engine->GetBarString(marker->start()));
    return markers;
}

std::vector<QQuickView*> ShowManager::GetOpenNotices() const
{
    std::vector<QQuickView*> open;
    for (const auto& notice : notices_)
        if (notice->isVisible())
            open.push_back(notice.get());
    return open;
}

std::shared_ptr<Interface> ShowManager::Engine() const
{
    if (!engine_)
        throw std::logic_error("ShowManager: no show is loaded.");
    return engine_;
}

void ShowManager::ReadAttaccaStates()
{
    // The engine settles each song's attacca state from the log as it answers.
    for (const auto& [songNumber, name] : songList_)
        engine_->GetAttacca(songNumber);
}

void ShowManager::ShowNotices(const std::vector<Notice>& order)
{
    std::erase_if(notices_, [](const auto& notice) { return !notice->isVisible(); });
    for (const Notice notice : order) {
        switch (notice) {
        case Notice::TempoScaleWarnings:
            if (auto warnings = engine_->GetTempoScaleWarnings(); !warnings.empty())
                ShowNotice(warnings);
            break;
        case Notice::EditedClickLog:
            if (auto log = engine_->GetModifiedClickEditLog(); !log.empty())
                ShowNotice(log);
            break;
        case Notice::RepairedLoops:
            if (engine_->GetInvertedLoopEventCount() > 0)
                ShowNotice(std::string(repairedLoopsText) + "\n\n" + engine_->GetInvertedLoopEventDescription());
            break;
        }
    }
}

void ShowManager::ShowNotice(const std::string& text)
{
    auto view = std::make_unique<QQuickView>();
    view->engine()->addImportPath(QStringLiteral("qrc:/qt/qml"));
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    view->setSource(QUrl(QString::fromLatin1(noticeUrl)));
    if (auto* root = view->rootObject()) {
        root->setProperty("text", QString::fromStdString(text));
        QObject::connect(root, SIGNAL(close()), view.get(), SLOT(close()));
    }
    view->show();
    notices_.push_back(std::move(view));
}

}  // namespace brix
