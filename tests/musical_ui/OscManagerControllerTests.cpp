#include "FakeInterface.h"
#include "QLabNetworkPatchWriter.h"
#include "QmlTest.h"
#include "osc_manager_controller.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QVariant>

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using brix::osc::OscSettings;
using brix::qt::OscManagerController;
using musical_test::FakeInterface;
using musical_test::QmlTest;
using ::testing::Return;
using ::testing::StrictMock;

const CL::NetworkPathVectorT kShowNetworks = {
    {"Lighting desk", "NETWORK0", "10.0.0.5", 53000, false},
    {"Sound", "NETWORK1", "10.0.0.6", 9000, true},
    {"Video", "NETWORK2", "10.0.0.7", 7000, false},
};

struct Emission {
    OscSettings settings;
    CL::NetworkPathVectorT networks;
};

struct ErrorReport {
    std::string message;
    std::string title;
};

// The OSC Manager on a strict fake engine: any engine call a test did not expect fails it.
class OscManager : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        engine_ = std::make_shared<StrictMock<FakeInterface>>();
    }

    void TearDown() override
    {
        tester_.reset();
        controller_.reset();
        QmlTest::TearDown();
    }

    void Open(const OscSettings& settings, const CL::NetworkPathVectorT& networks, bool withEngine = true)
    {
        tester_.reset();
        controller_.reset();
        if (withEngine)
            EXPECT_CALL(*engine_, GetNetworks()).WillOnce(Return(networks));
        controller_ = std::make_unique<OscManagerController>(Engine(), settings,
                                                             withEngine ? engine_ : nullptr, nullptr);
        ASSERT_NE(Window(), nullptr);
        tester_ = std::make_unique<QAbstractItemModelTester>(controller_->GetModel(),
                                                             QAbstractItemModelTester::FailureReportingMode::Warning);
        QObject::connect(controller_.get(), &OscManagerController::oscSettingsUpdated, controller_.get(),
                         [this](OscSettings settings, CL::NetworkPathVectorT& networks) {
                             emissions_.push_back({settings, networks});
                         });
        QObject::connect(controller_.get(), &OscManagerController::error, controller_.get(),
                         [this](std::string message, std::string title) { errors_.push_back({message, title}); });
        controller_->SetVisible(true);
    }

    QObject* Window() const { return controller_->GetQmlObject(); }

    QObject* Find(const char* name) const
    {
        QObject* object = FindByName(Window(), QString::fromLatin1(name));
        EXPECT_NE(object, nullptr) << name;
        return object;
    }

    static void Click(QObject* button)
    {
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->property("enabled").toBool()) << button->objectName().toStdString();
        QMetaObject::invokeMethod(button, "clicked");
    }

    void Select(int row) { Find("networkList")->setProperty("currentIndex", row); }

    QStringList Ids() const
    {
        QStringList ids;
        for (int row = 0; row < controller_->GetModel()->rowCount(); ++row)
            ids << controller_->GetModel()->dataStr(row, "networkId").toString();
        return ids;
    }

    std::shared_ptr<StrictMock<FakeInterface>> engine_;
    std::unique_ptr<OscManagerController> controller_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
    std::vector<Emission> emissions_;
    std::vector<ErrorReport> errors_;
};

TEST_F(OscManager, WindowShowsTheSettingsAndTheShowsDestinations)
{
    struct Case {
        OscSettings settings;
        const char* port;
    };
    const Case cases[] = {{{true, 55037}, "55037"}, {{false, 9000}, "9000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        Open(c.settings, kShowNetworks);
        EXPECT_EQ(Window()->property("title").toString(), "OSC Manager");
        EXPECT_EQ(Window()->property("width").toInt(), 550);
        EXPECT_EQ(Window()->property("oscListenPortString").toString(), c.port);
        EXPECT_EQ(Find("listenPortField")->property("text").toString(), c.port);
        EXPECT_EQ(Window()->property("oscEnabled").toBool(), c.settings.GetOscEnabled());
        EXPECT_EQ(Find("oscEnabledBox")->property("checked").toBool(), c.settings.GetOscEnabled());
        EXPECT_EQ(Find("networkList")->property("count").toInt(), 3);
        EXPECT_EQ(controller_->GetModel()->dataStr(1, "second").toString(), "10.0.0.6:9000, TCP");
        EXPECT_TRUE(emissions_.empty());
    }
}

TEST_F(OscManager, OkEmitsTheTypedSettingsAndEveryDestinationOnceThenHides)
{
    struct Case {
        const char* portText;
        bool enabled;
        OscSettings expected;
    };
    const Case cases[] = {
        {"55037", true, {true, 55037}},
        {"9000", false, {false, 9000}},
        {"port", true, {true, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portText);
        emissions_.clear();
        Open({true, 55037}, kShowNetworks);
        Find("listenPortField")->setProperty("text", QString::fromLatin1(c.portText));
        Find("oscEnabledBox")->setProperty("checked", c.enabled);
        Click(Find("managerOkButton"));
        ASSERT_EQ(emissions_.size(), 1U);
        EXPECT_EQ(emissions_[0].settings, c.expected);
        // Unchanged, the TCP destination included.
        EXPECT_EQ(emissions_[0].networks, kShowNetworks);
        EXPECT_FALSE(Window()->property("visible").toBool());
    }
}

TEST_F(OscManager, NewDestinationsGetFreshIdsAndNeverADeletedOnes)
{
    Open({}, kShowNetworks);
    // Two in a row: NETWORK<n> and NETWORK<n+1>, n the row count before the first.
    QMetaObject::invokeMethod(Window(), "createNetwork", Q_ARG(QString, "192.168.0.9"), Q_ARG(int, 8000),
                              Q_ARG(QString, "udp"), Q_ARG(QString, "Projector"));
    QMetaObject::invokeMethod(Window(), "createNetwork", Q_ARG(QString, "192.168.0.10"), Q_ARG(int, 8001),
                              Q_ARG(QString, "udp"), Q_ARG(QString, "Fog"));
    EXPECT_EQ(Ids(), (QStringList{"NETWORK0", "NETWORK1", "NETWORK2", "NETWORK3", "NETWORK4"}));

    // The last one deleted: its id is not given again, though the row count is back to 4.
    Select(4);
    Click(Find("deleteNetworkButton"));
    EXPECT_EQ(Ids(), (QStringList{"NETWORK0", "NETWORK1", "NETWORK2", "NETWORK3"}));
    QMetaObject::invokeMethod(Window(), "createNetwork", Q_ARG(QString, "192.168.0.11"), Q_ARG(int, 8002),
                              Q_ARG(QString, "udp"), Q_ARG(QString, "Haze"));
    EXPECT_EQ(Ids().last(), "NETWORK5");

    Click(Find("managerOkButton"));
    ASSERT_EQ(emissions_.size(), 1U);
    const CL::NetworkPathVectorT& sent = emissions_[0].networks;
    ASSERT_EQ(sent.size(), 5U);
    EXPECT_EQ(sent[3], CL::NetworkPath("Projector", "NETWORK3", "192.168.0.9", 8000, false));
    EXPECT_EQ(sent[4], CL::NetworkPath("Haze", "NETWORK5", "192.168.0.11", 8002, false));
}

TEST_F(OscManager, TheEditWindowCreatesAndChangesDestinations)
{
    Open({}, kShowNetworks);
    auto* edit = qobject_cast<QQuickWindow*>(Find("networkEditWindow"));
    ASSERT_NE(edit, nullptr);
    const auto field = [edit](const char* name) {
        QObject* object = FindByName(edit, QString::fromLatin1(name));
        EXPECT_NE(object, nullptr) << name;
        return object;
    };

    Click(Find("newNetworkButton"));
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->title(), "Create Network Destination");
    EXPECT_EQ(field("nameField")->property("text").toString(), "New Network Destination");
    EXPECT_EQ(field("ipField")->property("text").toString(), "127.0.0.1");
    EXPECT_EQ(field("portField")->property("text").toString(), "8000");
    field("nameField")->setProperty("text", QStringLiteral("Projector"));
    field("portField")->setProperty("text", QStringLiteral("8100"));
    Click(field("okButton"));
    EXPECT_FALSE(edit->isVisible());
    ASSERT_EQ(controller_->GetModel()->rowCount(), 4);
    EXPECT_EQ(controller_->GetModel()->dataStr(3, "first").toString(), "Projector");
    EXPECT_EQ(controller_->GetModel()->dataStr(3, "second").toString(), "127.0.0.1:8100, UDP");
    EXPECT_EQ(controller_->GetModel()->dataStr(3, "networkId").toString(), "NETWORK3");

    // Edit fills the window from the selected row and changes that row only, keeping its id and mode.
    Select(1);
    Click(Find("editNetworkButton"));
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->title(), "Edit Network Destination");
    EXPECT_EQ(field("nameField")->property("text").toString(), "Sound");
    EXPECT_EQ(field("ipField")->property("text").toString(), "10.0.0.6");
    EXPECT_EQ(field("portField")->property("text").toString(), "9000");
    QSignalSpy changed(controller_->GetModel(), &QAbstractItemModel::dataChanged);
    field("ipField")->setProperty("text", QStringLiteral("10.0.0.60"));
    field("portField")->setProperty("text", QStringLiteral("9100"));
    Click(field("okButton"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(controller_->GetModel()->dataStr(1, "second").toString(), "10.0.0.60:9100, TCP");
    EXPECT_EQ(controller_->GetModel()->dataStr(1, "networkId").toString(), "NETWORK1");

    // Cancel sends nothing.
    Click(Find("editNetworkButton"));
    field("nameField")->setProperty("text", QStringLiteral("Dropped"));
    Click(field("cancelButton"));
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(controller_->GetModel()->dataStr(1, "name").toString(), "Sound");
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(OscManager, CancelDropsTheEditsAndNeverReachesTheEngine)
{
    Open({}, kShowNetworks);
    Select(0);
    Click(Find("deleteNetworkButton"));
    EXPECT_EQ(controller_->GetModel()->rowCount(), 2);
    Click(Find("managerCancelButton"));
    EXPECT_FALSE(Window()->property("visible").toBool());
    EXPECT_TRUE(emissions_.empty());

    // Opened again, the window shows the engine's list as it was.
    Open({}, kShowNetworks);
    EXPECT_EQ(Ids(), (QStringList{"NETWORK0", "NETWORK1", "NETWORK2"}));
}

TEST_F(OscManager, EditAndDeleteNeedASelection)
{
    Open({}, {});
    EXPECT_FALSE(Find("editNetworkButton")->property("enabled").toBool());
    EXPECT_FALSE(Find("deleteNetworkButton")->property("enabled").toBool());
    QMetaObject::invokeMethod(Window(), "createNetwork", Q_ARG(QString, "127.0.0.1"), Q_ARG(int, 8000),
                              Q_ARG(QString, "udp"), Q_ARG(QString, "Desk"));
    Select(0);
    EXPECT_TRUE(Find("editNetworkButton")->property("enabled").toBool());
    EXPECT_TRUE(Find("deleteNetworkButton")->property("enabled").toBool());
}

TEST_F(OscManager, ReturnConfirmsAndEscapeClosesEachWindow)
{
    Open({}, kShowNetworks);
    auto* manager = qobject_cast<QQuickWindow*>(Window());
    auto* edit = qobject_cast<QQuickWindow*>(Find("networkEditWindow"));
    ASSERT_NE(manager, nullptr);
    ASSERT_NE(edit, nullptr);
    const auto press = [](QQuickWindow* window, Qt::Key key) {
        window->requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, key);
    };

    Click(Find("newNetworkButton"));
    press(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(controller_->GetModel()->rowCount(), 4);
    Click(Find("newNetworkButton"));
    press(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(controller_->GetModel()->rowCount(), 4);

    press(manager, Qt::Key_Return);
    EXPECT_EQ(emissions_.size(), 1U);
    controller_->SetVisible(true);
    press(manager, Qt::Key_Escape);
    EXPECT_FALSE(manager->isVisible());
    EXPECT_EQ(emissions_.size(), 1U);
}

QString FolderUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(); }

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST_F(OscManager, ExportWritesThePatchForTheListeningPortAndReplacesAnEarlierOne)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = QDir(folder.path()).filePath(QString::fromStdString(brix::QLabNetworkPatchWriter::FileName()));
    Open({true, 9000}, {});
    EXPECT_CALL(*engine_, GetSongNamesBySongNumber())
        .WillOnce(Return(Interface::SongNames{{"4", "Overture"}}))
        .WillOnce(Return(Interface::SongNames{{"2", "Prologue"}, {"4", "Overture"}}));

    for (const char* songNumber : {"4", "2"}) {
        SCOPED_TRACE(songNumber);
        QMetaObject::invokeMethod(Window(), "exportQLab", Q_ARG(QString, FolderUrl(folder.path())));
        EXPECT_TRUE(errors_.empty());
        EXPECT_EQ(FilesIn(folder.path()), QStringList{QString::fromStdString(brix::QLabNetworkPatchWriter::FileName())});
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        EXPECT_EQ(root.value("network").toArray().at(0).toObject().value("defaultPort").toInt(), 9000);
        const QJsonObject play =
            root.value("conditions").toArray().at(0).toObject().value("conditions").toArray().at(0).toObject();
        EXPECT_EQ(play.value("parameters").toArray().at(0).toObject().value("defaultValue").toString(), songNumber);
    }
}

TEST_F(OscManager, FailedExportsAreReportedAndLeaveNoFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile plainFile(QDir(folder.path()).filePath("notafolder"));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();

    struct Case {
        const char* name;
        bool withEngine;
        QString folderUrl;
        std::string messageStart;
    };
    const Case cases[] = {
        {"no engine", false, FolderUrl(folder.path()), "QLab File Writer has no data to write."},
        {"missing folder", true, FolderUrl(folder.path() + "/missing/deeper"), "Cannot write "},
        {"a file, not a folder", true, FolderUrl(plainFile.fileName()), "Cannot write "},
        {"not a local folder", true, QStringLiteral("https://example.invalid/shows"), "\"https://"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors_.clear();
        Open({}, {}, c.withEngine);
        if (c.withEngine)
            EXPECT_CALL(*engine_, GetSongNamesBySongNumber()).WillRepeatedly(Return(Interface::SongNames{}));
        QMetaObject::invokeMethod(Window(), "exportQLab", Q_ARG(QString, c.folderUrl));
        ASSERT_EQ(errors_.size(), 1U);
        EXPECT_EQ(errors_[0].message.rfind(c.messageStart, 0), 0U) << errors_[0].message;
        EXPECT_EQ(errors_[0].title, "QLab Export Failed");
        EXPECT_EQ(FilesIn(folder.path()), QStringList{"notafolder"});
    }
}

}  // namespace
