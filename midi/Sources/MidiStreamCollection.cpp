#include "MidiStreamCollection.h"

#include <brix_core/BrixLog.h>

#include <fennic/ThreadNames.h>

#include <exception>
#include <stdexcept>
#include <utility>

namespace {

const char* const kMissingKey = "invalid map<K, T> key";
const char* const kLogSource = "midi_stream_collection";
constexpr int kLogLine = 152;

}  // namespace

MidiStreamCollection::MidiStreamCollection(const brix_midi::ShowData& showData) : show(showData) {}

MidiStreamCollection::~MidiStreamCollection()
{
    StopLoadStreamsThread();
}

void MidiStreamCollection::StartLoadStreamsThread()
{
    loaderThread = std::thread(&MidiStreamCollection::RunLoadStreams_, this);
}

void MidiStreamCollection::StopLoadStreamsThread()
{
    RequestStopLoading();
    JoinLoadStreamsThread();
}

void MidiStreamCollection::RequestStopLoading()
{
    std::lock_guard<std::mutex> guard(lock);
    stopLoading = true;
}

void MidiStreamCollection::JoinLoadStreamsThread()
{
    if (loaderThread.joinable()) {
        loaderThread.join();
    }
}

void MidiStreamCollection::RunLoadStreams_()
{
    fennic::threadNames.SetNameOfCurrentThread("run_load_streams");
    try {
        LoadStreams();
    } catch (...) {
        BrixLogCurrentException(kLogSource, kLogLine);
    }
}

void MidiStreamCollection::LoadStreams()
{
    // Marks loading ended however the loop ends, so no GetStream waits for a stream never built.
    struct EndOfLoading {
        MidiStreamCollection& collection;
        ~EndOfLoading() { collection.Loaded(true); }
    } endOfLoading{*this};

    for (const auto& [number, songData] : show.GetSongs()) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (stopLoading) {
                break;
            }
        }
        std::shared_ptr<MidiStream> stream(CreateMidiStream(*songData));
        {
            std::lock_guard<std::mutex> guard(lock);
            streams.emplace(number, std::move(stream));
        }
        streamAdded.notify_all();
    }
}

void MidiStreamCollection::Loaded(bool isLoaded)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        loaded = isLoaded;
    }
    streamAdded.notify_all();
}

MidiStream& MidiStreamCollection::FindStream_(const std::string& song, const std::unique_lock<std::mutex>&)
{
    const auto found = streams.find(song);
    if (found == streams.end()) {
        throw std::out_of_range(kMissingKey);
    }
    return *found->second;
}

MidiStream& MidiStreamCollection::GetStream(const std::string& song)
{
    MidiStream* stream = nullptr;
    {
        std::unique_lock<std::mutex> held(lock);
        streamAdded.wait(held, [&] { return loaded || streams.contains(song); });
        stream = &FindStream_(song, held);
        // Only a stream handed out becomes the current one: a refused song leaves the mutes acting
        // on the song that is still loaded.
        currentSong = song;
    }
    stream->ResetProgramChanges();
    stream->ResetMuteSettings();
    return *stream;
}

MidiStream& MidiStreamCollection::GetCurrentStream()
{
    std::unique_lock<std::mutex> held(lock);
    return FindStream_(currentSong, held);
}

void MidiStreamCollection::MuteGroup(unsigned char) {}

void MidiStreamCollection::UnmuteGroup(unsigned char) {}

void MidiStreamCollection::MuteTrack(unsigned short trackId)
{
    GetCurrentStream().MuteTrack(trackId);
}

void MidiStreamCollection::UnmuteTrack(unsigned short trackId)
{
    GetCurrentStream().UnmuteTrack(trackId);
}

void MidiStreamCollection::UnmuteAll()
{
    GetCurrentStream().UnmuteAll();
}

void MidiStreamCollection::SetMutedTracks(const std::map<unsigned short, bool>& muted)
{
    GetCurrentStream().SetMutedTracks(muted);
}
