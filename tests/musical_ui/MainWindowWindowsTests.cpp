// The windows the main window opens: the five manager windows and the ten edit tools, each from its
// menu entry or window signal, its OK reaching the engine; a second open replacing the first; the edit
// button choosing the tool by the event's kind; the click tool's notice; a tool deleted once its
// window closes.
#include "AppSettings.h"
#include "MainWindowFixture.h"
#include "changelog_manager_controller.h"
#include "edit_controller.h"
#include "midi_manager_controller.h"

#include <MidiEndPoint.h>
#include <OscSettings.h>

#include <brix_core/Directories.h>
#include <brix_core/EventObserver.h>
#include <sfx_virtual/InjectedOutputDevices.h>

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>

#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using brix::qt::MusicalMainController;
using musical_test::FakeEngineFactory;
using musical_test::FakeInterface;
using musical_test::MainWindowTest;
using musical_test::WaitFor;
using notify::EngineEvent;
using testing::_;
using testing::NiceMock;
using testing::Return;
using Song = musical_test::TimelineSong;

constexpr int kBar = static_cast<int>(Song::kBar);
constexpr int kBeat = static_cast<int>(Song::kBeat);

// An event of a code that no edit tool handles (a key change of the timeline).
class KeyEvent : public cmn::BrixEvent {
public:
    KeyEvent() : BrixEvent(codes::key, false, Song::kBar, Song::kBar, "k1") {}
};

// One window the main window opens: the name it is announced under, how the user opens it, what the
// opened window shows, how its OK is given (on the window) and what the engine must have got from it.
// An edit tool's window also has a closing signal.
struct WindowRow {
    const char* name;
    std::function<void()> open;
    std::function<void(QObject& controller)> shown;
    std::function<void(QObject& window)> ok;
    std::function<void(QObject& controller)> reached;
    const char* closing = nullptr;
};

// The main window on a fake engine that answers what the tools and managers ask and records what they
// send it; two audio devices on this machine; the show folder is the engine's, as the real engine
// makes it on loading the show.
class MainWindowWindowsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        directories.SetShowDirectory(ShowFolder().toStdString());
    }

    void TearDown() override
    {
        MainWindowTest::TearDown();
        directories.SetShowDirectory("");
    }

    // The audio manager's menu entry is on; the click tool's notice is off (its own test has it).
    static brix::PlayerFactory::Product Product()
    {
        auto product = FakeEngineFactory::DefaultProduct();
        product.showAudioManager = true;
        product.showClickToolNotice = true;
        return product;
    }

    // Creates the window, records what it announces from then on and loads song 1.
    void Open(const brix::PlayerFactory::Product& product = Product())
    {
        announced_.clear();
        calls_.clear();
        midiSource_ = -1;
        Create(product, [this](NiceMock<FakeInterface>& fake) { Serve(fake); });
        QObject::connect(controller_.get(), &MusicalMainController::controllerCreated, controller_.get(),
                         [this](const QString& name, QObject* controller) {
                             announced_.push_back({name, controller});
                         });
        LoadSong();
        calls_.clear();
    }

    // Sets the show up again, as a reload does: the windows of the set-up are made and announced anew
    // (the first set-up runs inside the constructor, before a test can listen).
    void Reload()
    {
        controller_->SetupShow();
        LoadSong();
    }

    void LoadSong()
    {
        notify::SendEngineEvent(EngineEvent::SongLoaded, 0, "1");
        ASSERT_TRUE(WaitFor([this] { return MarkerRows() == 3; })) << MarkerRows();
    }

    int MarkerRows() const
    {
        auto* model = qobject_cast<QAbstractItemModel*>(Window()->property("markerListModel").value<QObject*>());
        return model == nullptr ? -1 : model->rowCount();
    }

    void Serve(NiceMock<FakeInterface>& fake)
    {
        // The edit tools: the song's bars, positions by tick, the room after a beat, two destinations
        // and the click values of any range.
        ON_CALL(fake, GetBarsBeats(_, _)).WillByDefault([this](const std::string&, bool) {
            return factory_->song.barsBeats;
        });
        ON_CALL(fake, GetBarBeatByTick(_)).WillByDefault([this](unsigned int tick) { return PositionAt(tick); });
        ON_CALL(fake, GetBarBeatByTick(_, _, _)).WillByDefault([this](unsigned int tick, bool, bool) {
            return PositionAt(tick);
        });
        ON_CALL(fake, GetBarBeatLeftByTick(_)).WillByDefault([this](unsigned int tick) { return PositionAt(tick); });
        ON_CALL(fake, GetAvailableShiftAfterBarBeat(_, _)).WillByDefault(Return(Song::kBeat - 1));
        ON_CALL(fake, GetNetworks())
            .WillByDefault(Return(CL::NetworkPathVectorT{CL::NetworkPath("Lights", "N1", "127.0.0.1", 53000, false),
                                                         CL::NetworkPath("Sound", "N2", "127.0.0.1", 53001, true)}));
        ON_CALL(fake, GetClickValues(_, _)).WillByDefault(Return(std::vector<int>{2, 4, 8}));

        // Audio: the engine plays on the first device at a third of full volume.
        ON_CALL(fake, GetOutputDeviceUid()).WillByDefault(Return(std::string("hw:A")));
        ON_CALL(fake, GetVolume(brix_audio::VolumeType::User)).WillByDefault(Return(0.3));
        ON_CALL(fake, Stop()).WillByDefault([this] { calls_.emplace_back("Stop"); });
        ON_CALL(fake, SetOutputDeviceUid(_)).WillByDefault([this](const std::string& device) {
            calls_.push_back("SetOutputDeviceUid " + device);
        });
        ON_CALL(fake, SetVolume(_, _)).WillByDefault([this](double volume, brix_audio::VolumeType type) {
            calls_.push_back("SetVolume " + QString::number(volume, 'f', 3).toStdString() +
                             (type == brix_audio::VolumeType::User ? " user" : " other"));
        });

        // MIDI: two commands, two sources, none open.
        ON_CALL(fake, GetCommandNames())
            .WillByDefault(Return(std::map<std::uint8_t, std::string>{{2, "Play"}, {5, "Next Song"}}));
        ON_CALL(fake, GetAllowedCommandStatuses()).WillByDefault(Return(std::vector<int>{0x90, 0xB0}));
        ON_CALL(fake, GetMidiSources())
            .WillByDefault(Return(std::vector<MidiEndPoint>{{3, "Keyboard"}, {5, "Foot Pedal"}}));
        ON_CALL(fake, HasMidiSource()).WillByDefault([this] { return midiSource_ >= 0; });
        ON_CALL(fake, GetConnectedSourceIndex()).WillByDefault([this] {
            return static_cast<std::uint8_t>(midiSource_);
        });
        ON_CALL(fake, SetMidiSource(_)).WillByDefault([this](int index) {
            midiSource_ = index;
            calls_.push_back("SetMidiSource " + std::to_string(index));
        });

        // Output paths and change-log files.
        ON_CALL(fake, onAddOutputhPath(_)).WillByDefault([this](const CL::OutputPath& path) {
            calls_.push_back("add " + path.GetName() + " " + path.GetDeviceId());
        });
        ON_CALL(fake, onRemoveOutputhPath(_)).WillByDefault([this](const CL::OutputPath& path) {
            calls_.push_back("remove " + path.GetName());
        });
        ON_CALL(fake, SetChangelogFilename(_)).WillByDefault([this](const std::string& file) {
            calls_.push_back("SetChangelogFilename " + file);
        });
        ON_CALL(fake, LoadSong(_)).WillByDefault([this](const std::string& song) {
            calls_.push_back("LoadSong " + song);
        });
    }

    TL::BarsBeats PositionAt(std::uint32_t tick) const
    {
        TL::BarsBeats found = *factory_->song.barsBeats.begin();
        for (const TL::BarsBeats& record : factory_->song.barsBeats) {
            if (record.tick <= tick)
                found = record;
        }
        return found;
    }

    std::vector<QString> Names() const
    {
        std::vector<QString> names;
        for (const auto& [name, controller] : announced_)
            names.push_back(name);
        return names;
    }

    // The one controller announced under the name; the test fails unless there is exactly one.
    QObject* Only(const char* name) const
    {
        std::vector<QObject*> found;
        for (const auto& [announcedName, controller] : announced_) {
            if (announcedName == QLatin1String(name))
                found.push_back(controller);
        }
        EXPECT_EQ(found.size(), 1u) << name << " was announced " << found.size() << " times";
        return found.size() == 1 ? found.front() : nullptr;
    }

    static QObject* WindowOf(QObject* controller)
    {
        auto* qml = qobject_cast<brix::qt::QmlController*>(controller);
        return qml == nullptr ? nullptr : qml->GetQmlObject();
    }

    static bool Visible(QObject* controller)
    {
        QObject* window = WindowOf(controller);
        return window != nullptr && window->property("visible").toBool();
    }

    static QString Shown(QObject& tool, const char* picker)
    {
        QObject* combo = FindByName(WindowOf(&tool), QString::fromLatin1(picker));
        EXPECT_NE(combo, nullptr) << picker;
        return combo == nullptr ? QString() : combo->property("displayText").toString();
    }

    std::map<std::string, cmn::BrixEvent> Events() const { return factory_->editor->GetEventsByEventId(); }

    // An edit tool opened by `open` on the bar `bar`, whose window's `request` adds one event of `code`
    // over [start, end] to the change log that the engine is then given.
    WindowRow Tool(const char* name, std::function<void()> open, const char* bar,
                   std::function<void(QObject& window)> request, unsigned char code, int start, int end,
                   const char* closing)
    {
        return {name,
                std::move(open),
                [bar](QObject& tool) { EXPECT_EQ(Shown(tool, "inBarInput"), bar); },
                [this, request = std::move(request)](QObject& window) {
                    eventsBefore_ = Events();
                    loadsBefore_ = factory_->served.loads;
                    request(window);
                },
                [this, code, start, end](QObject&) {
                    std::vector<cmn::BrixEvent> added;
                    for (const auto& [id, event] : Events()) {
                        if (eventsBefore_.count(id) == 0)
                            added.push_back(event);
                    }
                    ASSERT_EQ(added.size(), 1u);
                    EXPECT_EQ(added[0].code(), code);
                    EXPECT_EQ(added[0].start(), static_cast<std::uint32_t>(start));
                    EXPECT_EQ(added[0].end(), static_cast<std::uint32_t>(end));
                    EXPECT_GT(factory_->served.loads, loadsBefore_) << "the engine was not given the edited log";
                    EXPECT_EQ(factory_->served.played, factory_->editor->GetChangeLog().GetSongLog("1"));
                },
                closing};
    }

    // Emits the main window's signal of a tool.
    std::function<void()> Press(const char* signal, int start) const
    {
        return [this, signal, start] { QMetaObject::invokeMethod(Window(), signal, Q_ARG(int, start)); };
    }
    std::function<void()> Press(const char* signal, int start, int end) const
    {
        return [this, signal, start, end] {
            QMetaObject::invokeMethod(Window(), signal, Q_ARG(int, start), Q_ARG(int, end));
        };
    }

    // A range tool's request of bar 10 beat 1 to bar 11 beat 2 with a count or value, as the window sends
    // it on OK.
    static std::function<void(QObject&)> RangeRequest(const char* signal, int value)
    {
        return [signal, value](QObject& window) {
            QMetaObject::invokeMethod(&window, signal, Q_ARG(QString, "10"), Q_ARG(int, 1), Q_ARG(QString, "11"),
                                      Q_ARG(int, 2), Q_ARG(int, value));
        };
    }
    static std::function<void(QObject&)> PlainRangeRequest(const char* signal)
    {
        return [signal](QObject& window) {
            QMetaObject::invokeMethod(&window, signal, Q_ARG(QVariant, "10"), Q_ARG(QVariant, 1),
                                      Q_ARG(QVariant, "11"), Q_ARG(QVariant, 2));
        };
    }

    QString LogFile(const char* name) const { return QDir(ShowFolder()).filePath(QString::fromLatin1(name)); }

    std::vector<WindowRow> Rows()
    {
        const auto menuEntry = [this](const char* signal) {
            return [this, signal] { QMetaObject::invokeMethod(Find(QStringLiteral("responsiveMenu")), signal); };
        };
        const int rangeStart = 9 * kBar;
        const int rangeEnd = 10 * kBar + kBeat;
        return {
            {"AudioManager", menuEntry("audioManagerClicked"),
             [](QObject& manager) {
                 QObject* window = WindowOf(&manager);
                 EXPECT_EQ(window->property("outputDeviceModel").toStringList(),
                           (QStringList{"(default)", "Speakers A", "Monitor B"}));
                 EXPECT_EQ(window->property("outputDeviceIndex").toInt(), 1);
             },
             [](QObject& window) {
                 window.setProperty("outputDeviceIndex", 2);
                 QObject* slider = FindByName(&window, QStringLiteral("volumeSlider"));
                 ASSERT_NE(slider, nullptr);
                 slider->setProperty("value", 0.7866278611);  // -6 dB
                 QMetaObject::invokeMethod(slider, "moved");
                 QMetaObject::invokeMethod(&window, "okay");
             },
             [this](QObject&) {
                 EXPECT_EQ(calls_,
                           (std::vector<std::string>{"Stop", "SetOutputDeviceUid hw:B", "SetVolume 0.501 user"}));
                 brix::AppSettings stored(brix::OpenGeneralSettings(DataFolder()));
                 stored.Load();
                 EXPECT_EQ(stored.GetDefaultOutputDeviceString(), "hw:B");
                 EXPECT_NEAR(stored.GetDefaultVolume(), std::pow(10.0, -6.0 / 20.0), 1e-6);
             }},
            {"MidiManager", menuEntry("midiCommandsClicked"),
             [this](QObject& manager) {
                 EXPECT_EQ(WindowOf(&manager)->property("sourceModel").toStringList(),
                           (QStringList{"Keyboard", "Foot Pedal"}));
                 EXPECT_EQ(calls_, std::vector<std::string>{"SetMidiSource 0"}) << "no source was open";
             },
             [](QObject& window) { QMetaObject::invokeMethod(&window, "sourceSelected", Q_ARG(int, 1)); },
             [this](QObject& manager) {
                 EXPECT_EQ(calls_, std::vector<std::string>{"SetMidiSource 1"});
                 EXPECT_EQ(WindowOf(&manager)->property("sourceIndex").toInt(), 1);
                 EXPECT_TRUE(WindowOf(&manager)->property("sourceStatus").toBool());
                 // The engine's learn result reaches the command's row through the main window.
                 emit controller_->MidiLearned(5, 0xB0, 3, 60);
                 auto* midi = qobject_cast<brix::qt::MidiManagerController*>(&manager);
                 ASSERT_NE(midi, nullptr);
                 ASSERT_EQ(midi->GetRows().size(), 2u);
                 const auto& row = *midi->GetRows()[1];
                 EXPECT_EQ(row.GetCommandId(), 5);
                 EXPECT_EQ(row.GetStatus(), 0xB0);
                 EXPECT_EQ(row.GetChannel(), 3);
                 EXPECT_EQ(row.GetNote(), 60);
                 EXPECT_TRUE(row.GetQmlObject()->property("learnedCommand").toBool());
                 EXPECT_EQ(midi->GetRows()[0]->GetStatus(), -1) << "another command's row stays";
             }},
            {"OscManager", menuEntry("oscManagerClicked"),
             [](QObject& manager) {
                 EXPECT_EQ(WindowOf(&manager)->property("oscListenPortString").toString(), "55037");
             },
             [](QObject& window) {
                 window.setProperty("oscListenPortString", "55100");
                 window.setProperty("oscEnabled", false);
                 QMetaObject::invokeMethod(&window, "createNetwork", Q_ARG(QString, "10.0.0.9"), Q_ARG(int, 9000),
                                           Q_ARG(QString, "tcp"), Q_ARG(QString, "Video"));
                 QMetaObject::invokeMethod(&window, "okay");
             },
             [this](QObject&) {
                 const QString file = QDir(DataFolder()).filePath(QStringLiteral("osc_settings.brix"));
                 ASSERT_TRUE(QFile::exists(file));
                 brix::osc::OscSettings stored;
                 stored.Read(file.toStdString());
                 EXPECT_EQ(stored, brix::osc::OscSettings(false, 55100));
                 const CL::NetworkPathVectorT& networks = factory_->editor->GetNetworks();
                 ASSERT_EQ(networks.size(), 3u);
                 EXPECT_EQ(networks[2].Name(), "Video");
                 EXPECT_EQ(networks[2].IpAddress(), "10.0.0.9");
                 EXPECT_EQ(networks[2].Port(), 9000);
                 EXPECT_TRUE(networks[2].IsTcp());
             }},
            {"OutputPathsManager",
             [this] {
                 Reload();
                 QMetaObject::invokeMethod(Window(), "outputPathsOpened");
             },
             {},
             [](QObject& window) {
                 QMetaObject::invokeMethod(&window, "createPathRequest", Q_ARG(QString, "Pit"), Q_ARG(QString, "hw:B"));
                 window.setProperty("currentIndex", 0);
                 QMetaObject::invokeMethod(&window, "deleteOutputPath");
             },
             [this](QObject&) { EXPECT_EQ(calls_, (std::vector<std::string>{"add Pit hw:B", "remove Pit"})); }},
            {"ChangelogManager",
             [this] {
                 for (const char* name : {"lanterns-1.3.logdata", "lanterns-1.2.logdata"}) {
                     QFile file(LogFile(name));
                     ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                     file.write("log");
                 }
                 QMetaObject::invokeMethod(Window(), "changelogManagerOpened");
             },
             [](QObject& manager) {
                 auto* versions = qobject_cast<brix::qt::ChangelogManagerController*>(&manager);
                 ASSERT_NE(versions, nullptr);
                 ASSERT_EQ(versions->LocalModel().rowCount(), 2);
                 EXPECT_EQ(versions->LocalModel().GetVersionText(0), "1.2");
                 EXPECT_EQ(versions->LocalModel().GetVersionText(1), "1.3");
             },
             [](QObject& window) { QMetaObject::invokeMethod(&window, "loadSelectedLocal", Q_ARG(int, 1)); },
             [this](QObject&) {
                 const std::string chosen = LogFile("lanterns-1.3.logdata").toStdString();
                 EXPECT_EQ(calls_, (std::vector<std::string>{"SetChangelogFilename " + chosen, "LoadSong 1"}));
             }},
            Tool("CaesuraTool", Press("caesuraButtonPressed", kBar / 2), "1",
                 [](QObject& window) {
                     QMetaObject::invokeMethod(&window, "createCaesuraRequest", Q_ARG(QVariant, "1"),
                                               Q_ARG(QVariant, 3), Q_ARG(double, 12.7));
                 },
                 codes::caesura, 2 * kBeat + 12, 2 * kBeat + 12, "caesuraToolClosing"),
            Tool("MarkerTool", Press("markerButtonPressed", 8 * kBar + kBeat), "9",
                 [](QObject& window) {
                     QMetaObject::invokeMethod(&window, "createMarkerRequest", Q_ARG(QString, "9"), Q_ARG(int, 2),
                                               Q_ARG(QString, "Bridge"));
                 },
                 codes::marker, 8 * kBar + kBeat, 8 * kBar + kBeat, "markerToolClosing"),
            Tool("OscTool", Press("oscButtonPressed", 3 * kBar), "4",
                 [](QObject& window) {
                     QMetaObject::invokeMethod(&window, "createRequest", Q_ARG(QString, "4"), Q_ARG(int, 1),
                                               Q_ARG(QString, "/brix/fadeout 5"), Q_ARG(QString, "N2"),
                                               Q_ARG(double, 3.9));
                 },
                 codes::osc, 3 * kBar + 3, 3 * kBar + 3, "toolClosing"),
            Tool("ClickTool", Press("clickButtonPressed", rangeStart, rangeEnd), "10",
                 RangeRequest("createClickRequest", 4), codes::click, rangeStart, rangeEnd, "clickToolClosing"),
            Tool("CutTool", Press("cutButtonPressed", rangeStart, rangeEnd), "10",
                 PlainRangeRequest("createCutRequest"), codes::cut, rangeStart, rangeEnd, "cutToolClosing"),
            Tool("RepeatTool", Press("repeatButtonPressed", rangeStart, rangeEnd), "10",
                 RangeRequest("createRepeatRequest", 3), codes::repeat, rangeStart, rangeEnd, "repeatToolClosing"),
            Tool("SkipTool", Press("skipButtonPressed", rangeStart, rangeEnd), "10",
                 PlainRangeRequest("createSkipRequest"), codes::fermata, rangeStart, rangeEnd, "skipToolClosing"),
            Tool("TempoTool", Press("tempoButtonPressed", rangeStart, rangeEnd), "10",
                 RangeRequest("createTempoRequest", 95), codes::tempoScale, rangeStart, rangeEnd, "tempoToolClosing"),
            Tool("TransposeTool", Press("transposeButtonPressed", rangeStart, rangeEnd), "10",
                 RangeRequest("createTransposeRequest", -3), codes::transpose, rangeStart, rangeEnd,
                 "transposeToolClosing"),
            Tool("VampTool", Press("vampButtonPressed", rangeStart, rangeEnd), "10",
                 RangeRequest("createVampRequest", 7), codes::vamp, rangeStart, rangeEnd, "vampToolClosing"),
        };
    }

    struct Announcement {
        QString name;
        QPointer<QObject> controller;
    };
    std::vector<Announcement> announced_;
    // What the fake engine was sent, in order.
    std::vector<std::string> calls_;
    int midiSource_ = -1;
    std::map<std::string, cmn::BrixEvent> eventsBefore_;
    int loadsBefore_ = 0;
    sfx_virtual::InjectedOutputDevices devices_{{{"hw:A", "Speakers A"}, {"hw:B", "Monitor B"}}};
};

TEST_F(MainWindowWindowsTest, EachMenuEntryOrWindowSignalOpensItsWindowAndItsOkReachesTheEngine)
{
    const std::vector<WindowRow> rows = Rows();
    ASSERT_EQ(rows.size(), 15u);
    for (const WindowRow& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        row.open();
        QPointer<QObject> opened = Only(row.name);
        ASSERT_FALSE(opened.isNull());
        ASSERT_NE(WindowOf(opened), nullptr);
        EXPECT_TRUE(Visible(opened));
        if (row.shown)
            row.shown(*opened);

        calls_.clear();
        announced_.clear();
        row.ok(*WindowOf(opened));
        ASSERT_FALSE(opened.isNull());
        row.reached(*opened);
        EXPECT_EQ(Names(), std::vector<QString>{}) << "an error was shown";
        controller_.reset();
        // The OSC Manager is a dialog of the widget module.
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(MainWindowWindowsTest, ASecondOpenOfAKindReplacesTheFirst)
{
    for (const WindowRow& row : Rows()) {
        // The output paths' window is made once per show and only shown on request.
        if (row.name == std::string("OutputPathsManager"))
            continue;
        SCOPED_TRACE(row.name);
        Open();
        row.open();
        QPointer<QObject> first = Only(row.name);
        QPointer<QObject> firstWindow = WindowOf(first);
        ASSERT_FALSE(firstWindow.isNull());
        announced_.clear();
        row.open();
        QPointer<QObject> second = Only(row.name);
        musical_test::RunDeferredDeletes();
        EXPECT_TRUE(first.isNull());
        EXPECT_TRUE(firstWindow.isNull());
        ASSERT_FALSE(second.isNull());
        EXPECT_TRUE(Visible(second));
        controller_.reset();
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(MainWindowWindowsTest, TheEditButtonOpensTheToolOfTheEventsKindOnThatEvent)
{
    Open();
    Reload();
    auto* edit = qobject_cast<brix::qt::EditController*>(Only("Edit"));
    ASSERT_NE(edit, nullptr);
    struct Case {
        const char* eventId;
        const char* tool;
    };
    const Case cases[] = {
        {"N1", "CaesuraTool"}, {"L1", "ClickTool"},  {"B1", "CutTool"},   {"E3", "MarkerTool"},
        {"S1", "OscTool"},     {"A1", "RepeatTool"}, {"M1", "SkipTool"},  {"F1", "TempoTool"},
        {"C1", "TransposeTool"}, {"@1", "VampTool"},
    };
    // The tools keep the event they were opened on.
    std::deque<cmn::BrixEvent> events;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eventId);
        events.push_back(Events().at(c.eventId));
        announced_.clear();
        emit edit->EditButtonSignal(&events.back());
        EXPECT_EQ(Names(), std::vector<QString>{c.tool});
        QObject* window = WindowOf(Only(c.tool));
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->property("visible").toBool());
        EXPECT_TRUE(window->property("isEdit").toBool());
        EXPECT_EQ(window->property("eventId").toString(), c.eventId);
    }

    KeyEvent key;
    cmn::BrixEvent none;
    for (cmn::BrixEvent* event : {static_cast<cmn::BrixEvent*>(&key), &none, static_cast<cmn::BrixEvent*>(nullptr)}) {
        SCOPED_TRACE(event == nullptr ? -1 : event->code());
        announced_.clear();
        emit edit->EditButtonSignal(event);
        EXPECT_EQ(Names(), std::vector<QString>{});
    }
}

TEST_F(MainWindowWindowsTest, TheClickToolShowsItsNoticeUnlessTheProductHasTheNoticeSwitchOn)
{
    for (bool productSwitch : {false, true}) {
        SCOPED_TRACE(productSwitch);
        auto product = Product();
        product.showClickToolNotice = productSwitch;
        Open(product);
        Press("clickButtonPressed", 9 * kBar, 10 * kBar)();
        if (productSwitch) {
            EXPECT_EQ(Names(), std::vector<QString>{"ClickTool"});
        } else {
            ASSERT_EQ(Names(), (std::vector<QString>{"ClickTool", "Dialog"}));
            QObject* dialog = WindowOf(announced_[1].controller);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->property("title").toString(), "About Click in Tarn|Wick");
        }
        EXPECT_TRUE(Visible(Only("ClickTool")));
        controller_.reset();
        musical_test::TakeSizeHintWarnings();
    }
}

TEST_F(MainWindowWindowsTest, ClosingAToolsWindowDeletesTheToolAndTheToolOpensAgain)
{
    int tools = 0;
    for (const WindowRow& row : Rows()) {
        if (row.closing == nullptr)
            continue;
        SCOPED_TRACE(row.name);
        Open();
        ++tools;
        row.open();
        QPointer<QObject> tool = Only(row.name);
        ASSERT_NE(WindowOf(tool), nullptr);
        QMetaObject::invokeMethod(WindowOf(tool), row.closing);
        EXPECT_FALSE(tool.isNull()) << "the tool went while its own signal ran";
        musical_test::RunDeferredDeletes();
        EXPECT_TRUE(tool.isNull());

        announced_.clear();
        row.open();
        QPointer<QObject> again = Only(row.name);
        ASSERT_FALSE(again.isNull());
        EXPECT_TRUE(Visible(again));
        row.ok(*WindowOf(again));
        row.reached(*again);
        controller_.reset();
    }
    EXPECT_EQ(tools, 10);
}

// The edit button hands the tool a row of the edit model's event list, which every edit reloads in
// place: a tool left open while another edit is made must still change its own event (here the row
// would come to hold the skip M1).
TEST_F(MainWindowWindowsTest, AToolOpenedOnAnEventStillChangesThatEventAfterTheListsReload)
{
    Open();
    const cmn::BrixEvent vamp = Events().at("@1");
    controller_->onBrixEditSelectedExternally(&vamp);
    controller_->onEditDoubleClicked();
    QObject* window = WindowOf(Only("VampTool"));
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->property("eventId").toString(), "@1");

    // While the tool is open, another event is deleted from the menu.
    const cmn::BrixEvent click = Events().at("L1");
    controller_->onBrixEditSelectedExternally(&click);
    QMetaObject::invokeMethod(Find(QStringLiteral("responsiveMenu")), "deleteSelected");
    ASSERT_EQ(Events().count("L1"), 0u);

    const auto before = Events();
    announced_.clear();
    QMetaObject::invokeMethod(window, "changeVampRequest", Q_ARG(QString, "4"), Q_ARG(int, 1), Q_ARG(QString, "5"),
                              Q_ARG(int, 1), Q_ARG(int, 3));
    const auto after = Events();
    for (const auto& [id, event] : before) {
        if (id != "@1") {
            EXPECT_EQ(after.at(id), event) << id << " changed";
        }
    }
    EXPECT_EQ(after.at("@1").int_value(), 3);
    EXPECT_EQ(Names(), std::vector<QString>{}) << "an error was shown";
}

}  // namespace
