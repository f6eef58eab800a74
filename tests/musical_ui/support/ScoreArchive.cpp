#include "ScoreArchive.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <archive.h>
#include <archive_entry.h>

#include <stdexcept>

namespace musical_test {

std::string MakeScoreArchive(const std::vector<std::pair<std::string, QByteArray>>& entries, bool gzip)
{
    std::string bytes(1 << 22, '\0');
    size_t used = 0;
    archive* writer = archive_write_new();
    archive_write_set_format_ustar(writer);
    if (gzip)
        archive_write_add_filter_gzip(writer);
    if (archive_write_open_memory(writer, bytes.data(), bytes.size(), &used) != ARCHIVE_OK)
        throw std::runtime_error(archive_error_string(writer));
    for (const auto& [path, content] : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, path.c_str());
        archive_entry_set_size(entry, content.size());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_write_header(writer, entry);
        archive_write_data(writer, content.constData(), static_cast<size_t>(content.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    bytes.resize(used);
    return bytes;
}

QByteArray MakePngPage(const QColor& color, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(1, 1, width - 3, height - 3);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

}  // namespace musical_test
