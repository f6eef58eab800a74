#pragma once

#include <brix_core/OutputPath.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace brix {

// What reading an output-path device file gave.
struct OutputPathDevices {
    // The device identifier of each output path id, from every element that could be read; a later
    // element with the same id replaces an earlier one.
    std::map<std::string, std::string> hwids;
    // The first failure met, for the log; empty when the whole file was read.
    std::string error;
    // True when the file as a whole could not be read (it could not be opened, it does not parse, or it
    // holds no "outputpaths" array), so it may hold pairs that hwids lacks. A missing file and an empty
    // one hold none. One bad element leaves this false: it has no pair to keep.
    bool unreadable = false;
};

// Reads the text of an output-path device file: UTF-8 JSON, a byte-order mark in front allowed, one
// object whose member "outputpaths" is an array of objects with the strings "id" and "hwid". Elements
// that break this are passed over and the others kept; error holds the first failure's text.
OutputPathDevices ParseOutputPathDevices(std::string_view text);

// The text of an output-path device file holding the pairs: compact (no spaces, no line breaks, no
// line end at the end), the elements in ascending byte order of id.
std::string FormatOutputPathDevices(const std::map<std::string, std::string>& hwids);

// OutputPathDeviceFile: the file "outputpathdevices.json" of a show folder, which keeps, per machine,
// the audio device that plays each output path of the show (the device identifier of the sound
// library; empty for the default device).
//
// Owner: the output paths window's controller, from show set-up on; it reads the file once, at
// construction, and writes it after each creation or change of a path.
// Threads: one at a time; not thread-safe.
//
// Reading never throws: whatever could be read is kept, and the failure is a text for the log. Writing
// replaces the file in one step (temporary file and rename). The object never overwrites a file that
// it could not read as a whole, since the paths it would write lack the devices that file may hold.
class OutputPathDeviceFile {
public:
    // Reads the file "outputpathdevices.json" in the show folder (UTF-8 path).
    explicit OutputPathDeviceFile(const std::string& showDirectory);

    // The file's path: the show folder joined with "outputpathdevices.json".
    const std::string& GetPath() const { return path_; }
    // The device identifier read for each path id.
    const std::map<std::string, std::string>& GetDevices() const { return read_.hwids; }
    // The first failure of the reading ("The Output path config file ... does not exist." when there is
    // no file); empty when the whole file was read.
    const std::string& GetReadError() const { return read_.error; }

    // Replaces the file with one element per path (its id and device id); a later path with the same id
    // replaces an earlier one. Throws fennic::IoError when the file is not written: it could not be
    // read at construction, or writing fails; the file on disk is then left as it was.
    void Write(const std::vector<CL::OutputPath>& paths);

private:
    std::string path_;
    OutputPathDevices read_;
};

}  // namespace brix
