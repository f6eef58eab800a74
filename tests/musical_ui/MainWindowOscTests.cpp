#include "CueReceiver.h"
#include "MainWindowFixture.h"

#include <OscDatagram.h>
#include <OscSettings.h>

#include <brix_player_core/PlayerOscCallback.h>

#include <QColor>
#include <QDir>
#include <QUdpSocket>

#include <string>
#include <thread>
#include <vector>

namespace {

using musical_test::FakeEngineFactory;
using musical_test::FakeInterface;
using musical_test::MainWindowTest;
using musical_test::WaitFor;
using testing::_;
using testing::NiceMock;
using testing::Return;

// The main window with OSC switched on in the product and in the settings file, on a free port; its
// engine is a fake whose lighting desk is a UDP receiver of the test, on song `song_`.
class MainWindowOscTest : public MainWindowTest {
protected:
    void CreateWithOsc(bool productOsc = true, bool settingsOsc = true)
    {
        listenPort_ = osc_test::FreeUdpPort();
        brix::osc::OscSettings(settingsOsc, listenPort_)
            .Write(QDir(DataFolder()).filePath("osc_settings.brix").toStdString());
        auto product = FakeEngineFactory::DefaultProduct();
        product.oscEnable = productOsc;
        Create(product, [this](NiceMock<FakeInterface>& fake) {
            ON_CALL(fake, GetNetwork(_))
                .WillByDefault(Return(CL::NetworkPath("Lighting desk", "lights", "127.0.0.1", desk_.Port(), false)));
            ON_CALL(fake, GetIsPlaying()).WillByDefault([this] { return playing_.load(); });
            ON_CALL(fake, GetCurrentSongNumber()).WillByDefault([this] { return song_; });
            ON_CALL(fake, GetSongNamesBySongNumber())
                .WillByDefault(Return(Interface::SongNames{{"1", "Overture"}, {"2", "Harbour Lights"}, {"3", "Finale"}}));
            ON_CALL(fake, Play()).WillByDefault([this] { playing_ = true; });
            ON_CALL(fake, Stop()).WillByDefault([this] { playing_ = false; });
        });
    }

    // As the engine does from its thread when a cue falls due while nothing plays.
    void EngineQueues(const std::string& message)
    {
        auto sender = factory_->oscCallbacks.back();
        const std::size_t before = controller_->GetQueuedOscCueCount();
        std::thread engineThread([&] { sender->EnqueueEvent(CL::Osc(0, "S1", {message, "lights"}), 0); });
        engineThread.join();
        ASSERT_TRUE(WaitFor([&] { return controller_->GetQueuedOscCueCount() == before + 1; }));
    }

    // The cues the desk received, as their datagrams, once a cue sent now (while playing) has come.
    std::vector<QByteArray> ReceivedBeforeAMarkerCue()
    {
        playing_ = true;
        factory_->oscCallbacks.back()->EnqueueEvent(CL::Osc(0, "S9", {"/marker", "lights"}), 0);
        const QByteArray marker = brix::osc::BuildOscDatagram("/marker");
        EXPECT_TRUE(WaitFor([&] {
            desk_.WaitForCount(0, 0);
            for (const auto& cue : desk_.Cues())
                if (cue.datagram == marker)
                    return true;
            return false;
        }));
        EXPECT_TRUE(desk_.Sentinel());
        std::vector<QByteArray> cues;
        const auto received = desk_.Cues();
        for (std::size_t i = consumed_; i < received.size(); ++i)
            if (received[i].datagram != marker)
                cues.push_back(received[i].datagram);
        consumed_ = received.size();
        return cues;
    }

    void SendCommand(const QString& text)
    {
        QUdpSocket socket;
        socket.writeDatagram(brix::osc::BuildOscDatagram(text), QHostAddress::LocalHost, listenPort_);
    }

    osc_test::CueReceiver desk_;
    // The desk's cues looked at already.
    std::size_t consumed_ = 0;
    unsigned short listenPort_ = 0;
    std::atomic<bool> playing_{false};
    std::string song_ = "3";
};

TEST_F(MainWindowOscTest, QueuedCuesGoOutWhenTheirSongStartsPlaying)
{
    struct Case {
        const char* name;
        std::string queuedOn;
        std::string playedOn;
        bool sent;
    };
    const Case cases[] = {
        {"same song", "3", "3", true},
        {"another song", "3", "2", false},
        {"no song, played from the first", "", "1", true},
        {"no song, played from another", "", "2", false},
    };
    for (const Case& c : cases) {
        CreateWithOsc();
        song_ = c.queuedOn;
        EngineQueues("/cue/go");
        song_ = c.playedOn;
        controller_->Play_();
        EXPECT_EQ(controller_->GetQueuedOscCueCount(), 0u) << c.name;
        if (c.sent) {
            // Sent cues wait on pool threads: the one queued is waited for itself.
            EXPECT_TRUE(WaitFor([&] {
                desk_.WaitForCount(0, 0);  // reads what has come
                return desk_.Cues().size() > consumed_;
            })) << c.name;
            EXPECT_EQ(desk_.Cues().back().datagram, brix::osc::BuildOscDatagram("/cue/go")) << c.name;
            consumed_ = desk_.Cues().size();
        } else {
            // A dropped cue is never handed to the sender, so a later cue that arrives shows it is gone.
            EXPECT_TRUE(ReceivedBeforeAMarkerCue().empty()) << c.name;
        }
        controller_.reset();
    }
}

TEST_F(MainWindowOscTest, ACueSentWhilePlayingLightsTheOscLampGoldThenACommandGreen)
{
    CreateWithOsc();
    QObject* lamp = Find("oscLamp");
    ASSERT_NE(lamp, nullptr);
    EXPECT_TRUE(ReceivedBeforeAMarkerCue().empty());
    EXPECT_TRUE(WaitFor([&] { return lamp->property("color").value<QColor>() == QColor("#FFD700"); }));
    SendCommand("/brix/nextbar");
    EXPECT_TRUE(WaitFor([&] { return lamp->property("color").value<QColor>() == QColor("lawngreen"); }));
}

TEST_F(MainWindowOscTest, SteppingSongsBarsOrMarkersClearsTheQueue)
{
    CreateWithOsc();
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"next song", [this] { controller_->NextSong_(); }},
        {"previous song", [this] { controller_->PrevSong_(); }},
        {"jump to bar", [this] { controller_->JumpToBar_("4"); }},
        {"menu next bar", [this] { QMetaObject::invokeMethod(Find("responsiveMenu"), "nextBar"); }},
        {"OSC next marker", [this] { SendCommand("/brix/nextmarker"); }},
    };
    for (const auto& [name, step] : steps) {
        EngineQueues("/cue/go");
        step();
        EXPECT_TRUE(WaitFor([&] { return controller_->GetQueuedOscCueCount() == 0; })) << name;
    }
    controller_->Play_();
    EXPECT_TRUE(ReceivedBeforeAMarkerCue().empty());
}

TEST_F(MainWindowOscTest, OscCommandsReachTheTransportThroughTheServer)
{
    CreateWithOsc();
    EXPECT_TRUE(WaitFor([&] { return Find("responsiveMenu")->property("oscEnabled").toBool(); }));
    bool nextBar = false;
    ON_CALL(Fake(), SeekToNextMeasure()).WillByDefault([&] { nextBar = true; });
    SendCommand("/brix/nextbar");
    EXPECT_TRUE(WaitFor([&] { return nextBar; }));
    SendCommand("/brix/stop");
    playing_ = true;
    EXPECT_TRUE(WaitFor([&] { return !playing_; }));
}

TEST_F(MainWindowOscTest, WithOscOffInTheProductNothingListensAndNoSenderExists)
{
    bool listening = false;
    CreateWithOsc(false);
    ON_CALL(Fake(), SetOscControlDefaultPort(_)).WillByDefault([&](unsigned short) { listening = true; });
    controller_->SetupShow();
    EXPECT_FALSE(listening);
    EXPECT_EQ(factory_->oscCallbacks.back(), nullptr);
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress::Any, listenPort_)) << "nothing holds the OSC port";
}

TEST_F(MainWindowOscTest, TheServerOpensOnlyOnTheConfiguredPort)
{
    QUdpSocket squatter;
    if (!squatter.bind(QHostAddress::Any, brix::osc::OscSettings::kDefaultListenPort, QAbstractSocket::DontShareAddress))
        GTEST_SKIP() << "the default OSC port is in use on this machine";
    CreateWithOsc();
    for (QObject* child : Window()->findChildren<QObject*>())
        EXPECT_NE(child->property("title").toString(), "OSC Server Error") << child->property("text").toString().toStdString();
    bool nextBar = false;
    ON_CALL(Fake(), SeekToNextMeasure()).WillByDefault([&] { nextBar = true; });
    SendCommand("/brix/nextbar");
    EXPECT_TRUE(WaitFor([&] { return nextBar; }));
}

TEST_F(MainWindowOscTest, APortThatIsTakenShowsTheOscServerError)
{
    QUdpSocket squatter;
    CreateWithOsc(true, false);
    ASSERT_TRUE(squatter.bind(QHostAddress::Any, listenPort_, QAbstractSocket::DontShareAddress));
    brix::osc::OscSettings(true, listenPort_).Write(QDir(DataFolder()).filePath("osc_settings.brix").toStdString());
    controller_.reset();
    auto product = FakeEngineFactory::DefaultProduct();
    product.oscEnable = true;
    Create(product);
    QObject* dialog = nullptr;
    for (QObject* child : Window()->findChildren<QObject*>())
        if (child->property("title").toString() == "OSC Server Error")
            dialog = child;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->property("text").toString().contains(QString::number(listenPort_)));
}

}  // namespace
