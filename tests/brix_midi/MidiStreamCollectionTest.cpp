#include "GantrymereMidiStreamCollection.h"

#include <brix_core/Directories.h>
#include "MidiStreamCollection.h"
#include "StreamSongs.h"
#include "TarnwickMidiStream.h"
#include "TarnwickMidiStreamCollection.h"
#include "TestMidiBuffer.h"

#include <brix_core/BrixLog.h>
#include <brix_core/ShowFolder.h>

#include <fennic/ThreadNames.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace stream_songs;
using namespace std::chrono_literals;

// A bound for waits that would otherwise hang a broken build; never reached by a working one.
constexpr auto kHangGuard = 10s;

// Four songs "1", "2", "2A", "10", each with one track holding note 60 from the start.
brix_midi::ShowData SmallShow()
{
    brix_midi::ShowData show;
    for (const char* number : {"1", "2", "2A", "10"}) {
        show.AddSong(std::make_shared<brix_midi::SongData>(MakeSong({Track{0, {On(0, 0, 60)}}}, 4, number)));
    }
    brix_midi::Groups groups;
    groups.AddGroup("Instruments", {0});
    show.SetGroups(groups);
    return show;
}

// What the loader did, kept apart from the collection so it can be read after its destruction.
struct LoaderLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;
    std::vector<std::string> built;
    std::string threadName;
    bool gateOpen = false;

    void Started(const std::string& song)
    {
        std::lock_guard<std::mutex> guard(mutex);
        started.push_back(song);
        threadName = fennic::threadNames.GetNameOfCurrentThread();
        changed.notify_all();
    }
    bool WaitUntilStarted(const std::string& song)
    {
        std::unique_lock<std::mutex> held(mutex);
        return changed.wait_for(held, kHangGuard,
                                [&] { return std::find(started.begin(), started.end(), song) != started.end(); });
    }
    void OpenGate()
    {
        std::lock_guard<std::mutex> guard(mutex);
        gateOpen = true;
        changed.notify_all();
    }
    std::vector<std::string> Built()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return built;
    }
};

// Builds Tarnwick streams; building `gatedSong` waits until the gate opens, building `failingSong`
// throws. Its destructor asks the loader to stop before it opens the gate, so the song being built
// is the last one.
class ScriptedCollection : public MidiStreamCollection {
public:
    ScriptedCollection(const brix_midi::ShowData& show, LoaderLog& loaderLog, std::string gated, std::string failing)
        : MidiStreamCollection(show), log(loaderLog), gatedSong(std::move(gated)), failingSong(std::move(failing))
    {
        StartLoadStreamsThread();
    }
    ~ScriptedCollection() override
    {
        RequestStopLoading();
        log.OpenGate();
        JoinLoadStreamsThread();
    }

protected:
    MidiStream* CreateMidiStream(const brix_midi::SongData& song) override
    {
        const std::string& number = song.GetSongNumber();
        log.Started(number);
        if (number == failingSong) {
            throw std::runtime_error("cannot build song " + number);
        }
        std::unique_lock<std::mutex> held(log.mutex);
        if (number == gatedSong) {
            log.changed.wait(held, [&] { return log.gateOpen; });
        }
        log.built.push_back(number);
        return new TarnwickMidiStream(song);
    }

private:
    LoaderLog& log;
    std::string gatedSong;
    std::string failingSong;
};

std::future<std::string> GetStreamAsync(MidiStreamCollection& collection, const std::string& song)
{
    return std::async(std::launch::async, [&collection, song] {
        try {
            collection.GetStream(song);
            return std::string("stream");
        } catch (const std::out_of_range& e) {
            return std::string(e.what());
        }
    });
}

TEST(MidiStreamCollection, HandsOutASongAsSoonAsItsOwnStreamIsBuilt)
{
    const auto show = SmallShow();
    LoaderLog log;
    ScriptedCollection collection(show, log, "2", "");
    // The loader is held at song "2"; song "1" does not wait for it.
    MidiStream& first = collection.GetStream("1");
    EXPECT_EQ(&collection.GetCurrentStream(), &first);
    EXPECT_TRUE(log.WaitUntilStarted("2"));
    EXPECT_EQ(log.threadName, "run_load_streams");

    // Several callers wait for later songs; every one of them is answered.
    auto second = GetStreamAsync(collection, "2");
    auto third = GetStreamAsync(collection, "2A");
    auto last = GetStreamAsync(collection, "10");
    auto unknown = GetStreamAsync(collection, "99");
    log.OpenGate();
    for (auto* answer : {&second, &third, &last}) {
        ASSERT_EQ(answer->wait_for(kHangGuard), std::future_status::ready);
        EXPECT_EQ(answer->get(), "stream");
    }
    ASSERT_EQ(unknown.wait_for(kHangGuard), std::future_status::ready);
    EXPECT_EQ(unknown.get(), "invalid map<K, T> key");
}

TEST(MidiStreamCollection, ALoaderFailureIsLoggedAndAnswersRequestsForUnbuiltSongs)
{
    ClearBrixLogRecords();
    const auto show = SmallShow();
    LoaderLog log;
    ScriptedCollection collection(show, log, "", "2");
    EXPECT_NO_THROW(collection.GetStream("1"));
    for (const char* missing : {"2", "2A", "10"}) {
        auto answer = GetStreamAsync(collection, missing);
        ASSERT_EQ(answer.wait_for(kHangGuard), std::future_status::ready) << missing;
        EXPECT_EQ(answer.get(), "invalid map<K, T> key") << missing;
    }
    const auto records = GetBrixLogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].message, "cannot build song 2");
    EXPECT_EQ(records[0].file, "midi_stream_collection");
    EXPECT_EQ(records[0].line, 152);
}

TEST(MidiStreamCollection, DestructionWhileLoadingFinishesTheSongBeingBuiltAndStops)
{
    const auto show = SmallShow();
    LoaderLog log;
    auto collection = std::make_unique<ScriptedCollection>(show, log, "2", "");
    ASSERT_TRUE(log.WaitUntilStarted("2"));
    collection.reset();
    EXPECT_EQ(log.Built(), (std::vector<std::string>{"1", "2"}));
}

TEST(MidiStreamCollection, MuteOperationsNeedACurrentStream)
{
    const auto show = SmallShow();
    TarnwickMidiStreamCollection collection(show);
    EXPECT_THROW(collection.MuteTrack(0), std::out_of_range);
    EXPECT_THROW(collection.UnmuteAll(), std::out_of_range);
    EXPECT_THROW(collection.GetCurrentStream(), std::out_of_range);
    EXPECT_THROW(collection.GetStream("99"), std::out_of_range);
    EXPECT_THROW(collection.MuteTrack(0), std::out_of_range);  // a failed GetStream leaves no current stream
}

TEST(MidiStreamCollection, ARefusedSongLeavesTheMutesActingOnTheSongHandedOutBefore)
{
    const auto show = SmallShow();
    TarnwickMidiStreamCollection collection(show);
    MidiStream& current = collection.GetStream("2");
    EXPECT_THROW(collection.GetStream("99"), std::out_of_range);
    EXPECT_EQ(&collection.GetCurrentStream(), &current);
    collection.MuteTrack(0);
}

// The events a stream sends at the start of its song.
std::vector<Sent> FirstFill(MidiStream& stream)
{
    VectorMidiBuffer buffer;
    stream.Seek(0);
    stream.EnqueueEvents(10, 0, buffer, false);
    return SentOf(buffer.added);
}

TEST(MidiStreamCollection, AStreamHandedOutAgainHasLostItsMutes)
{
    const auto show = SmallShow();
    TarnwickMidiStreamCollection collection(show);
    collection.GetStream("2");
    collection.MuteTrack(0);
    collection.MuteGroup(0);  // no mute groups in this variant
    EXPECT_TRUE(FirstFill(collection.GetCurrentStream()).empty());
    EXPECT_EQ(FirstFill(collection.GetStream("2")), (std::vector<Sent>{{0, 0x90, 60, 100}}));
}

TEST(GantrymereMidiStreamCollection, ShowWideMutesFollowEveryStreamHandedOut)
{
    const gm::GantrymereShowData show(SmallShow());
    GantrymereMidiStreamCollection collection(show);
    EXPECT_THROW(collection.MuteTrack(0), std::out_of_range);
    EXPECT_EQ(collection.GetMutedTracks(), (std::set<unsigned short>{0}));
    EXPECT_TRUE(FirstFill(collection.GetStream("1")).empty());
    EXPECT_TRUE(FirstFill(collection.GetStream("10")).empty());

    collection.UnmuteGroup(0);
    EXPECT_TRUE(collection.GetMutedTracks().empty());
    EXPECT_EQ(FirstFill(collection.GetStream("2A")), (std::vector<Sent>{{0, 0x90, 60, 100}}));
    collection.MuteGroup(0);
    EXPECT_TRUE(FirstFill(collection.GetCurrentStream()).empty());
}

TEST(TarnwickMidiStreamCollection, BuildsAStreamForEverySongOfTheDemoShow)
{
    const auto loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
    TarnwickMidiStreamCollection collection(loaded.show);
    for (const auto& [number, song] : loaded.show.GetSongs()) {
        const auto names = collection.GetStream(number).GetTrackNamesByTrackId();
        EXPECT_EQ(names.size(), song->GetVoiceData().size()) << number;
    }
}

TEST(TarnwickMidiStreamCollection, CanBeDestroyedAtAnyMomentOfLoading)
{
    const auto loaded = brix_midi::LoadShowFolder(BRIX_DEMO_SHOW_DIR);
    for (int round = 0; round < 20; ++round) {
        TarnwickMidiStreamCollection collection(loaded.show);
        if (round % 2 == 0) {
            collection.GetStream(loaded.show.GetSongs().begin()->first);
        }
    }
}

}  // namespace

namespace {
struct MuteSettingsPath : GantrymereMidiStreamCollection {
    using GantrymereMidiStreamCollection::GetMuteSettingsFileName;
};
}  // namespace

TEST(GantrymereMidiStreamCollection, TheMuteSettingsFileBelongsInTheShowDirectory)
{
    const std::string before = directories.GetShowDirectory();
    directories.SetShowDirectory("/shows/lanterns");
    EXPECT_EQ(MuteSettingsPath::GetMuteSettingsFileName(), "/shows/lanterns/muteSettings");
    directories.SetShowDirectory(before);
}
