#pragma once

#include "qml_controller.h"

#include <QString>
#include <QStringList>

#include <istream>
#include <memory>
#include <utility>
#include <vector>

class Interface;
class QQmlEngine;
struct archive;

namespace brix::qt {

// The page number of a score page's file name: the digits just before its extension ("score/page12.png"
// gives 12); 0 when there are none ("cover.png", "12a.png").
int ScorePageNumber(const QString& fileName);

// ScoreViewController: the score pages of the show in the main window's ScoreView item. It reads the
// engine's score archive (a TAR, optionally compressed) from memory, turns every PNG page into a data
// URL, orders the pages by their number and gives the list to the view. A page the view asks for moves
// playback there: to that page's song and tick.
// The score stream belongs to the engine: the controller only reads it. The archive handle reads from
// the archive bytes, so it is released before the bytes are replaced and in the destructor.
// Owner: the main window controller. Thread: GUI thread only.
class ScoreViewController : public QmlController {
    Q_OBJECT

public:
    ScoreViewController(std::shared_ptr<Interface> engine, QObject* scoreView, QQmlEngine* qmlEngine);
    ~ScoreViewController() override;

    // Reads the score stream and publishes its pages to the view (replacing any earlier ones). A stream
    // with nothing to read leaves the view as it is; an archive libarchive cannot open gives a warning
    // and no pages.
    void LoadScore();
    // Reads the score stream whole into the archive bytes and opens them; false, after a warning on
    // Qt's message log, when libarchive refuses (the handle is then released).
    bool GenerateArchive();
    // Shows page `page` (1-based).
    void SetCurrentPage(unsigned int page);

    // The pages' data URLs in page order, as the view has them.
    const QStringList& GetImageList() const { return imageList_; }

private slots:
    // The view asks for page `newIndex` (1-based): playback moves to it.
    void currentPageChanged_(int newIndex);

private:
    void ReleaseArchive();
    void ReadPages();

    std::shared_ptr<Interface> engine_;
    // Owned by the engine, which outlives this controller.
    std::istream* scoreStream_ = nullptr;
    std::vector<std::pair<int, QString>> pages_;
    std::vector<char> archiveBytes_;
    QStringList imageList_;
    archive* archive_ = nullptr;
};

}  // namespace brix::qt
