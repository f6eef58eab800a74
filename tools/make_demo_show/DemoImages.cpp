#include "DemoImages.h"

#include <archive.h>
#include <archive_entry.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kPageWidth = 600;
constexpr int kPageHeight = 800;
constexpr int kArtworkSize = 512;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QFont Font(int pixelSize, bool bold)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

std::string Encode(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality)) {
        throw std::runtime_error(std::string("cannot encode an image as ") + format);
    }
    return bytes.toStdString();
}

// A page of the score: the show and song at the top, a few empty staves, the page number large in the
// middle and the bars it holds at the foot.
QImage DrawPage(const std::string& showName, const ScorePage& page)
{
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    painter.setPen(QColor(90, 90, 90));
    painter.setFont(Font(16, false));
    painter.drawText(QRect(0, 24, kPageWidth, 24), Qt::AlignHCenter, Text(showName));
    painter.setPen(Qt::black);
    painter.setFont(Font(30, true));
    painter.drawText(QRect(0, 56, kPageWidth, 40), Qt::AlignHCenter,
                     Text(page.songNumber + "  " + page.songName));

    painter.setPen(QPen(QColor(170, 170, 170), 1));
    for (const int staffTop : {130, 190, 610, 670}) {
        for (int line = 0; line < 5; ++line) {
            painter.drawLine(50, staffTop + line * 8, kPageWidth - 50, staffTop + line * 8);
        }
    }

    painter.setPen(Qt::black);
    painter.setFont(Font(260, true));
    painter.drawText(QRect(0, 250, kPageWidth, 320), Qt::AlignCenter, QString::number(page.number));

    painter.setFont(Font(20, false));
    const std::string bars = page.firstBar == page.lastBar
                                 ? "bar " + std::to_string(page.firstBar)
                                 : "bars " + std::to_string(page.firstBar) + "-" + std::to_string(page.lastBar);
    painter.drawText(QRect(0, kPageHeight - 60, kPageWidth, 30), Qt::AlignHCenter,
                     Text("Page " + std::to_string(page.number) + ", " + bars));
    return image;
}

std::string PageFileName(int number, int digits)
{
    std::string text = std::to_string(number);
    text.insert(0, static_cast<std::size_t>(std::max(0, digits - static_cast<int>(text.size()))), '0');
    return "page-" + text + ".png";
}

using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;
using EntryPtr = std::unique_ptr<archive_entry, void (*)(archive_entry*)>;

void Check(archive* tar, int result)
{
    if (result != ARCHIVE_OK) {
        throw std::runtime_error(std::string("cannot write the score archive: ") + archive_error_string(tar));
    }
}

la_ssize_t AppendToString(archive*, void* target, const void* data, size_t size)
{
    static_cast<std::string*>(target)->append(static_cast<const char*>(data), size);
    return static_cast<la_ssize_t>(size);
}

} // namespace

std::string ScoreArchive(const std::string& showName, const std::vector<ScorePage>& pages)
{
    int highest = 0;
    for (const ScorePage& page : pages) {
        highest = std::max(highest, page.number);
    }
    const int digits = std::max(2, static_cast<int>(std::to_string(highest).size()));

    std::string bytes;
    const ArchivePtr tar(archive_write_new(), archive_write_free);
    Check(tar.get(), archive_write_set_format_ustar(tar.get()));
    Check(tar.get(), archive_write_open(tar.get(), &bytes, nullptr, AppendToString, nullptr));
    for (const ScorePage& page : pages) {
        const std::string png = Encode(DrawPage(showName, page), "PNG", -1);
        const EntryPtr entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(entry.get(), PageFileName(page.number, digits).c_str());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(png.size()));
        archive_entry_set_mtime(entry.get(), 0, 0);
        Check(tar.get(), archive_write_header(tar.get(), entry.get()));
        if (archive_write_data(tar.get(), png.data(), png.size()) != static_cast<la_ssize_t>(png.size())) {
            Check(tar.get(), ARCHIVE_FATAL);
        }
    }
    Check(tar.get(), archive_write_close(tar.get()));
    return bytes;
}

std::string AlbumArtwork(const std::string& showName, const std::string& customer)
{
    QImage image(kArtworkSize, kArtworkSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // A night harbour: dark water below a dusky sky, and one lantern.
    QLinearGradient sky(0, 0, 0, kArtworkSize);
    sky.setColorAt(0.0, QColor(18, 24, 58));
    sky.setColorAt(0.6, QColor(52, 44, 96));
    sky.setColorAt(1.0, QColor(10, 30, 48));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 196, 80, 70));
    painter.drawEllipse(QPoint(kArtworkSize / 2, 150), 90, 90);
    painter.setBrush(QColor(255, 214, 120));
    painter.drawEllipse(QPoint(kArtworkSize / 2, 150), 36, 36);

    painter.setPen(QColor(250, 240, 220));
    painter.setFont(Font(46, true));
    painter.drawText(QRect(24, 260, kArtworkSize - 48, 150), Qt::AlignCenter | Qt::TextWordWrap, Text(showName));
    painter.setPen(QColor(200, 200, 220));
    painter.setFont(Font(20, false));
    painter.drawText(QRect(0, kArtworkSize - 70, kArtworkSize, 30), Qt::AlignHCenter, Text(customer));
    painter.end();
    return Encode(image, "JPEG", 90);
}
