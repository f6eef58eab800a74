#pragma once

#include <string>
#include <vector>

// The demo show's pictures: the score pages, packed as the show's score archive, and the album art.
// Drawn with QPainter, so a QGuiApplication must exist while these run.

// One printed page of the score: its number in the show and where it lies.
struct ScorePage {
    int number;
    std::string songNumber;
    std::string songName;
    int firstBar;
    int lastBar;
};

// A ustar archive holding one 600 x 800 PNG per page, named "page-NN.png" with the page number
// zero-padded to two digits or more, so that the names sort as the numbers do. The entries carry a
// fixed time and owner, so the same pages always give the same bytes.
std::string ScoreArchive(const std::string& showName, const std::vector<ScorePage>& pages);

// A 512 x 512 JPEG with the show's name and customer.
std::string AlbumArtwork(const std::string& showName, const std::string& customer);
