#include "FakeInterface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using musical_test::FakeInterface;
using testing::NiceMock;
using testing::Return;

// The controllers hold the engine as Interface; every call through it must reach the fake, never a
// player that controller tests do not have.
TEST(FakeInterface, EveryMemberOfTheEngineReachesTheFakeAndNoneAPlayer)
{
    auto fake = std::make_shared<NiceMock<FakeInterface>>();
    EXPECT_CALL(*fake, GetPlayer()).Times(0);
    EXPECT_CALL(*fake, Play()).Times(1);
    EXPECT_CALL(*fake, SeekToBar("12")).WillOnce(Return(true));
    EXPECT_CALL(*fake, GetCurrentSongNumber()).WillOnce(Return("2A"));
    std::shared_ptr<Interface> engine = fake;

    engine->Play();
    engine->Stop();
    engine->Continue();
    engine->Pause(true);
    engine->NextSong();
    engine->PrevSong();
    engine->FlowControlExit();
    engine->GetIsPlaying();
    engine->GetIsPaused();
    engine->GetIsFaded();
    engine->IsStopped();
    engine->Fade([] {}, 1.0f);
    engine->FadeTo([] {}, 1.0f, 0.5f);
    engine->CancelFade();
    engine->GetTickIndex();
    engine->Seek(480);
    engine->SeekToNextMeasure();
    engine->SeekToPreviousMeasure();
    engine->SeekRight();
    engine->SeekLeft();
    engine->LoadSongAtTime("1", 0);
    engine->LoadSong("1");
    engine->GetMinStartTickIndex();
    engine->GetChangelogFilename();
    engine->SetTempoScale(1.1);
    engine->SetTransposition(-2);
    engine->UpdateOnce();
    engine->SetOutputDeviceUid("hw:1");
    engine->GetOutputDeviceUid();
    engine->SetVolume(50.0);
    engine->SetVolume(50.0, brix_audio::VolumeType::User);
    engine->GetVolume();
    engine->GetVolume(brix_audio::VolumeType::User);
    engine->SetMidiSource(1);
    engine->GetShowDirectory();
    EXPECT_TRUE(engine->SeekToBar("12"));
    EXPECT_EQ(engine->GetCurrentSongNumber(), "2A");
}

TEST(FakeInterface, TheScoreArchiveIsTheBytesTheTestGives)
{
    FakeInterface fake;
    fake.SetScoreTar(std::string("ustar\0page", 10));
    std::string read((std::istreambuf_iterator<char>(fake.GetScoreTar())), std::istreambuf_iterator<char>());
    EXPECT_EQ(read, std::string("ustar\0page", 10));
    fake.SetScoreTar("second");
    read.assign(std::istreambuf_iterator<char>(fake.GetScoreTar()), std::istreambuf_iterator<char>());
    EXPECT_EQ(read, "second");
}

}  // namespace
