#include "score_view_controller.h"

#include <brix_player_core/Interface.h>

#include <QByteArray>
#include <QMetaObject>
#include <QRegularExpression>
#include <QVariant>
#include <QtGlobal>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <exception>
#include <iterator>

namespace brix::qt {

namespace {

const QString kPngDataUrlPrefix = QStringLiteral("data:image/png;base64,");

}  // namespace

int ScorePageNumber(const QString& fileName)
{
    static const QRegularExpression digitsBeforeExtension(QStringLiteral(R"((\d+)(?=\.\w+$))"));
    const QRegularExpressionMatch match = digitsBeforeExtension.match(fileName);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const int number = match.captured(1).toInt(&ok);
    return ok ? number : 0;
}

ScoreViewController::ScoreViewController(std::shared_ptr<Interface> engine, QObject* scoreView, QQmlEngine* qmlEngine)
    : QmlController(scoreView, qmlEngine), engine_(std::move(engine))
{
    connect(scoreView, SIGNAL(pageChanged(int)), this, SLOT(currentPageChanged_(int)));
}

ScoreViewController::~ScoreViewController()
{
    ReleaseArchive();
}

void ScoreViewController::ReleaseArchive()
{
    if (archive_ != nullptr) {
        archive_read_free(archive_);
        archive_ = nullptr;
    }
}

bool ScoreViewController::GenerateArchive()
{
    // The handle reads from the bytes: it goes before they do.
    ReleaseArchive();
    archiveBytes_.assign(std::istreambuf_iterator<char>(*scoreStream_), std::istreambuf_iterator<char>());

    archive_ = archive_read_new();
    if (archive_ == nullptr) {
        qWarning("Failed to open in-memory archive: out of memory");
        return false;
    }
    if (archive_read_support_format_tar(archive_) != ARCHIVE_OK) {
        qWarning("Failed to add TAR Support.");
        ReleaseArchive();
        return false;
    }
    // Filters whose external program is missing answer with a warning yet stay usable.
    if (archive_read_support_filter_all(archive_) < ARCHIVE_WARN) {
        qWarning("Failed to add ALL Support.");
        ReleaseArchive();
        return false;
    }
    if (archive_read_open_memory(archive_, archiveBytes_.data(), archiveBytes_.size()) != ARCHIVE_OK) {
        qWarning("Failed to open in-memory archive: %s", archive_error_string(archive_));
        ReleaseArchive();
        return false;
    }
    return true;
}

void ScoreViewController::ReadPages()
{
    archive_entry* entry = nullptr;
    while (archive_read_next_header(archive_, &entry) == ARCHIVE_OK) {
        const char* rawPath = archive_entry_pathname(entry);
        if (rawPath == nullptr)
            continue;
        const QString path = QString::fromUtf8(rawPath);
        const QString fileName = path.section(QLatin1Char('/'), -1);
        // Hidden files ("._3.png" beside its page) are no pages; a leading "./" folder is kept.
        if (!path.endsWith(QLatin1String(".png")) || fileName.startsWith(QLatin1Char('.')))
            continue;

        QByteArray image;
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        int status = ARCHIVE_OK;
        while ((status = archive_read_data_block(archive_, &block, &size, &offset)) == ARCHIVE_OK)
            image.append(static_cast<const char*>(block), static_cast<qsizetype>(size));
        // A page cut short would show as a broken image: the pages read so far stand.
        if (status != ARCHIVE_EOF)
            return;
        pages_.emplace_back(ScorePageNumber(fileName), kPngDataUrlPrefix + QString::fromLatin1(image.toBase64()));
    }
}

void ScoreViewController::LoadScore()
{
    scoreStream_ = &engine_->GetScoreTar();
    if (scoreStream_->peek() == std::istream::traits_type::eof())
        return;

    pages_.clear();
    imageList_.clear();
    if (GenerateArchive())
        ReadPages();
    std::stable_sort(pages_.begin(), pages_.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    for (const auto& page : pages_)
        imageList_.append(page.second);

    QObject* view = GetQmlObject();
    if (view == nullptr)
        return;
    view->setProperty("imageListModel", QVariant::fromValue(imageList_));
    QMetaObject::invokeMethod(view, "updateImages", Qt::QueuedConnection);
}

void ScoreViewController::SetCurrentPage(unsigned int page)
{
    if (QObject* view = GetQmlObject())
        view->setProperty("currentIndex", page == 0 ? 0 : static_cast<int>(page - 1));
}

void ScoreViewController::currentPageChanged_(int newIndex)
{
    try {
        const bool wasPlaying = engine_->GetIsPlaying();
        if (wasPlaying)
            engine_->Pause(false);
        const auto [song, tick] = engine_->LookupPage(newIndex);
        if (song != engine_->GetCurrentSongNumber())
            engine_->LoadSongAtTime(song, tick);
        else
            engine_->Seek(tick);
        if (wasPlaying)
            engine_->Play();
    } catch (const std::exception&) {
        // A page the show does not know, or an engine that refuses: the view stays where it is.
    }
}

}  // namespace brix::qt
