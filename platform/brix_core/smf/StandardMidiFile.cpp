#include "brix_core/smf/StandardMidiFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace smf {

FormatError::FormatError(const std::string& message) : fennic::RuntimeError(message) {}

namespace {

constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::uint32_t kMinHeaderLength = 6;
constexpr std::uint8_t kMetaStatus = 0xFF;
constexpr std::uint8_t kSysExStatus = 0xF0;
constexpr std::uint8_t kSysExEscapeStatus = 0xF7;
constexpr std::uint8_t kEndOfTrack = 0x2F;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kDefaultReleaseVelocity = 0x40;

std::string Hex(unsigned value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += kDigits[(value >> shift) & 0xF];
    }
    return text;
}

std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

std::uint16_t ReadBigEndian16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

bool HasTag(const std::uint8_t* p, const char (&tag)[5])
{
    return std::memcmp(p, tag, 4) == 0;
}

// Number of data bytes that follow a channel voice status byte.
std::size_t DataBytesOf(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

[[noreturn]] void FailFile(const std::string& name, const std::string& fault)
{
    throw FormatError(name + ": " + fault);
}

// Reads the events of one track chunk. Every read checks the chunk's end first; a fault throws a
// FormatError naming the file, the chunk (counted from 1) and the byte offset in the file.
class TrackReader {
public:
    TrackReader(const std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end,
                const std::string& name, std::size_t chunkNumber)
        : bytes(bytes), pos(begin), end(end), name(name), chunkNumber(chunkNumber)
    {
    }

    Track Read()
    {
        Track track;
        std::uint64_t tick = 0;
        std::uint8_t runningStatus = 0;
        while (pos < end) {
            tick += ReadVariableLength();
            if (tick > std::numeric_limits<std::uint32_t>::max()) {
                Fail("tick overflow", pos);
            }
            const std::size_t eventStart = pos;
            const std::uint8_t first = Next("truncated event", eventStart);
            std::uint8_t status = first;
            bool firstIsData = false;
            if (first < 0x80) {
                if (runningStatus == 0) {
                    Fail("data byte " + Hex(first, 2) + " where a status byte is needed", eventStart);
                }
                status = runningStatus;
                firstIsData = true;
            }

            // Meta and system-exclusive events leave the running status in force.
            if (status == kMetaStatus) {
                Event event = ReadMeta(static_cast<std::uint32_t>(tick), eventStart);
                const bool endOfTrack = event.metaType == kEndOfTrack;
                track.events.push_back(std::move(event));
                if (endOfTrack) {
                    break;
                }
            } else if (status == kSysExStatus || status == kSysExEscapeStatus) {
                SkipSysEx(eventStart);
            } else if (status >= 0xF0) {
                Fail("unexpected status byte " + Hex(status, 2), eventStart);
            } else {
                runningStatus = status;
                track.events.push_back(ReadChannelMessage(static_cast<std::uint32_t>(tick), status,
                                                          firstIsData ? first : ReadData(eventStart),
                                                          eventStart));
            }
        }
        return track;
    }

private:
    [[noreturn]] void Fail(const std::string& fault, std::size_t at) const
    {
        FailFile(name, fault + " in track chunk " + std::to_string(chunkNumber) + " at byte " + std::to_string(at));
    }

    std::uint8_t Next(const char* truncatedFault, std::size_t faultAt)
    {
        if (pos >= end) {
            Fail(truncatedFault, faultAt);
        }
        return bytes[pos++];
    }

    std::uint8_t ReadData(std::size_t eventStart)
    {
        const std::size_t at = pos;
        const std::uint8_t value = Next("truncated event", eventStart);
        if (value >= 0x80) {
            Fail("status byte " + Hex(value, 2) + " where a data byte is needed", at);
        }
        return value;
    }

    // At most four bytes, seven bits each, the top bit set on all but the last.
    std::uint32_t ReadVariableLength()
    {
        const std::size_t start = pos;
        std::uint32_t value = 0;
        for (int count = 0; count < 4; ++count) {
            const std::uint8_t byte = Next("truncated variable-length quantity", start);
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        Fail("bad variable-length quantity (longer than 4 bytes)", start);
    }

    Event ReadChannelMessage(std::uint32_t tick, std::uint8_t status, std::uint8_t data1,
                             std::size_t eventStart)
    {
        Event event{tick, status, data1, 0, 0, {}};
        if (DataBytesOf(status) == 2) {
            event.data2 = ReadData(eventStart);
        }
        if ((status & 0xF0) == kNoteOn && event.data2 == 0) {
            event.status = static_cast<std::uint8_t>(kNoteOff | (status & 0x0F));
            event.data2 = kDefaultReleaseVelocity;
        }
        return event;
    }

    Event ReadMeta(std::uint32_t tick, std::size_t eventStart)
    {
        const std::uint8_t type = Next("truncated meta event", eventStart);
        const std::uint32_t length = ReadVariableLength();
        if (length > end - pos) {
            Fail("truncated meta event", eventStart);
        }
        Event event{tick, kMetaStatus, 0, 0, type, {}};
        event.metaData.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                              bytes.begin() + static_cast<std::ptrdiff_t>(pos + length));
        pos += length;
        return event;
    }

    void SkipSysEx(std::size_t eventStart)
    {
        const std::uint32_t length = ReadVariableLength();
        if (length > end - pos) {
            Fail("truncated system-exclusive event", eventStart);
        }
        pos += length;
    }

    const std::vector<std::uint8_t>& bytes;
    std::size_t pos;
    const std::size_t end;
    const std::string& name;
    const std::size_t chunkNumber;
};

} // namespace

File Parse(const std::vector<std::uint8_t>& bytes, const std::string& nameForErrors)
{
    const std::size_t size = bytes.size();
    const std::uint8_t* data = bytes.data();

    if (size < kChunkHeaderSize) {
        FailFile(nameForErrors, "header too short: the file has " + std::to_string(size) + " bytes");
    }
    if (!HasTag(data, "MThd")) {
        FailFile(nameForErrors, "wrong header tag, expected \"MThd\"");
    }
    const std::uint32_t headerLength = ReadBigEndian32(data + 4);
    if (headerLength < kMinHeaderLength) {
        FailFile(nameForErrors, "header too short: length " + std::to_string(headerLength) + ", expected at least 6");
    }
    if (headerLength > size - kChunkHeaderSize) {
        FailFile(nameForErrors, "truncated header chunk: length " + std::to_string(headerLength) + ", only " +
             std::to_string(size - kChunkHeaderSize) + " bytes left");
    }

    File file{ReadBigEndian16(data + 8), ReadBigEndian16(data + 12), {}};
    const std::uint16_t declaredTracks = ReadBigEndian16(data + 10);
    if (file.format == 2) {
        FailFile(nameForErrors, "format 2 (independent sequences) is not supported");
    }
    if (file.format > 2) {
        FailFile(nameForErrors, "unknown format " + std::to_string(file.format));
    }
    if (file.format == 0 && declaredTracks != 1) {
        FailFile(nameForErrors, "format 0 declares " + std::to_string(declaredTracks) + " tracks, expected 1");
    }
    if (file.division & 0x8000) {
        FailFile(nameForErrors, "division " + Hex(file.division, 4) +
                                    " is in SMPTE form, only ticks per quarter note are supported");
    }
    if (file.division == 0) {
        FailFile(nameForErrors, "division 0 ticks per quarter note");
    }

    std::size_t pos = kChunkHeaderSize + headerLength;
    while (pos < size) {
        if (size - pos < kChunkHeaderSize) {
            FailFile(nameForErrors, "truncated chunk header at byte " + std::to_string(pos));
        }
        const bool isTrack = HasTag(data + pos, "MTrk");
        const std::uint32_t length = ReadBigEndian32(data + pos + 4);
        const std::size_t body = pos + kChunkHeaderSize;
        if (length > size - body) {
            const std::string chunk =
                isTrack ? "truncated track chunk " + std::to_string(file.tracks.size() + 1) : "truncated chunk";
            FailFile(nameForErrors, chunk + " at byte " + std::to_string(pos) + ": length " + std::to_string(length) +
                                        ", only " + std::to_string(size - body) + " bytes left");
        }
        if (isTrack) {
            const std::size_t number = file.tracks.size() + 1;
            file.tracks.push_back(TrackReader(bytes, body, body + length, nameForErrors, number).Read());
        }
        pos = body + length;
    }

    if (file.tracks.size() != declaredTracks) {
        FailFile(nameForErrors, "track count mismatch: the header declares " + std::to_string(declaredTracks) +
                                    ", the file holds " + std::to_string(file.tracks.size()) + " track chunks");
    }
    return file;
}

File ReadFile(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!stream) {
        throw fennic::IoError("cannot open " + path + ": " + std::strerror(errno));
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, stream.get())) > 0) {
        bytes.insert(bytes.end(), block, block + count);
    }
    if (std::ferror(stream.get())) {
        throw fennic::IoError("cannot read " + path + ": " + std::strerror(errno));
    }
    return Parse(bytes, path);
}

} // namespace smf
