#pragma once

#include <QByteArray>
#include <QColor>

#include <string>
#include <utility>
#include <vector>

namespace musical_test {

// A score archive written in the test: a TAR of the given (path, content) entries, gzip-compressed or not.
std::string MakeScoreArchive(const std::vector<std::pair<std::string, QByteArray>>& entries, bool gzip);

// A PNG page of one colour with a dark frame, `width` x `height` pixels.
QByteArray MakePngPage(const QColor& color, int width = 60, int height = 84);

}  // namespace musical_test
