#pragma once

#include "MidiStream.h"

#include <brix_core/SongData.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// MidiStreamCollection: one MidiStream per song of a show, built on a loader thread of its own
// ("run_load_streams") from the moment a variant is constructed, and handed out by song number when a
// song is loaded, waiting for it while it is still being built. It also carries the mute operations
// the player applies to the song being played (the current stream: the one handed out last).
//
// Owner: the product library above the engine. It owns its streams; references handed out stay valid
// as long as the collection lives.
// Threads: the loader thread builds and adds streams; the engine's threads call GetStream and the mute
// operations. The streams themselves are not locked here (their callers serialise them).
// Lock: `lock` guards loaded, stopLoading, streams and currentSong, held only for short steps (a stream
// is built without it). streamAdded wakes every waiting GetStream after each added stream and when
// loading ends, however it ends.
//
// Variants start the loader last in their constructor and stop it first in their destructor
// (StopLoadStreamsThread), so the loader never calls CreateMidiStream on a half-built or half-destroyed
// object. After a stop the stream being built is still added; later songs are not built.
class MidiStreamCollection {
public:
    explicit MidiStreamCollection(const brix_midi::ShowData& show);
    MidiStreamCollection(const MidiStreamCollection&) = delete;
    MidiStreamCollection& operator=(const MidiStreamCollection&) = delete;
    // Stops and joins the loader if a variant has not (variants must: see above).
    virtual ~MidiStreamCollection();

    // The song's stream, waiting until it is built; it becomes the current stream, with its mute
    // settings and user programs reset. Throws std::out_of_range ("invalid map<K, T> key") for a
    // song whose stream was not built once loading has ended (a song the show does not have, or one
    // the loader failed on or was stopped before).
    virtual MidiStream& GetStream(const std::string& song);
    // Throws std::out_of_range ("invalid map<K, T> key") when there is no current stream.
    MidiStream& GetCurrentStream();

    virtual void MuteGroup(unsigned char group);
    virtual void UnmuteGroup(unsigned char group);
    // On the current stream; each throws as GetCurrentStream.
    virtual void MuteTrack(unsigned short trackId);
    virtual void UnmuteTrack(unsigned short trackId);
    virtual void UnmuteAll();
    void SetMutedTracks(const std::map<unsigned short, bool>& muted);

    // The loader's work: builds every song's stream in the show's song order. Only the loader thread
    // runs it. Loading counts as ended on every exit, also by an exception.
    void LoadStreams();

protected:
    virtual MidiStream* CreateMidiStream(const brix_midi::SongData& song) = 0;

    const brix_midi::ShowData& GetShow() const { return show; }

    void StartLoadStreamsThread();
    // Asks the loader to stop after the stream it is building, then joins it. Does nothing when
    // the loader is not running.
    void StopLoadStreamsThread();
    // The two steps of StopLoadStreamsThread, for a variant that must act between them.
    void RequestStopLoading();
    void JoinLoadStreamsThread();

private:
    // Entry of the loader thread.
    void RunLoadStreams_();
    // Sets loaded and wakes every waiter.
    void Loaded(bool isLoaded);
    // The stream under song; throws std::out_of_range when there is none. lock must be held.
    MidiStream& FindStream_(const std::string& song, const std::unique_lock<std::mutex>& held);

    std::mutex lock;
    const brix_midi::ShowData& show;
    bool loaded = false;
    bool stopLoading = false;
    std::condition_variable streamAdded;
    std::thread loaderThread;
    std::map<std::string, std::shared_ptr<MidiStream>> streams;
    std::string currentSong;
};
