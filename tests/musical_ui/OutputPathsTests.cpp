#include "OutputPathsModel.h"
#include "QmlTest.h"
#include "output_paths_manager_controller.h"

#include <brix_core/Directories.h>
#include <sfx_virtual/InjectedOutputDevices.h>

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVariant>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using brix::qt::OutputPathsManagerController;
using brix::qt::OutputPathsModel;
using musical_test::QmlTest;
using Paths = std::vector<CL::OutputPath>;

std::vector<CL::OutputPath> SignalledPaths(const QSignalSpy& spy)
{
    std::vector<CL::OutputPath> paths;
    for (const QList<QVariant>& arguments : spy)
        paths.push_back(arguments.at(0).value<CL::OutputPath>());
    return paths;
}

// The model's rows, its signals and what each operation changes.
class OutputPathsModelTest : public QmlTest {
protected:
    OutputPathsModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};
    QSignalSpy added{&model, &OutputPathsModel::AddOutputPathSignal};
    QSignalSpy removed{&model, &OutputPathsModel::RemoveOutputPathSignal};
    QSignalSpy changed{&model, &QAbstractItemModel::dataChanged};
    QSignalSpy inserted{&model, &QAbstractItemModel::rowsInserted};

    const CL::OutputPath pit{"a", "Pit", "hw:A", "Speakers A"};
    const CL::OutputPath left{"b", "Stage Left", "", "(default)"};
};

TEST_F(OutputPathsModelTest, RowsShowEachFieldUnderItsRoleAndThroughTheInvokables)
{
    model.AddOutputPath(pit);
    EXPECT_EQ(model.roleNames(), (QHash<int, QByteArray>{{257, "path_name"}, {258, "path_id"},
                                                          {259, "path_device_name"}, {260, "path_device_id"}}));
    const QModelIndex row = model.index(0);
    EXPECT_EQ(model.data(row, 257).toString(), "Pit");
    EXPECT_EQ(model.data(row, 258).toString(), "a");
    EXPECT_EQ(model.data(row, 259).toString(), "Speakers A");
    EXPECT_EQ(model.data(row, 260).toString(), "hw:A");
    EXPECT_FALSE(model.data(row, Qt::DisplayRole).isValid());
    EXPECT_EQ(model.PathName(0), "Pit");
    EXPECT_EQ(model.PathId(0), "a");
    EXPECT_EQ(model.PathDeviceName(0), "Speakers A");
    EXPECT_EQ(model.PathDeviceId(0), "hw:A");
    for (const int outside : {-1, 1})
        EXPECT_EQ(model.PathName(outside), "") << outside;
}

TEST_F(OutputPathsModelTest, AddingAnnouncesNewPathsAndReplacesAnExistingIdSilently)
{
    model.AddOutputPath(pit);
    model.AddOutputPath(left);
    const CL::OutputPath renamed{"a", "Orchestra Pit", "hw:B", "Monitor B"};
    model.AddOutputPath(renamed);

    EXPECT_EQ(model.GetPaths(), (Paths{renamed, left}));
    EXPECT_EQ(SignalledPaths(added), (Paths{pit, left}));
    EXPECT_EQ(inserted.size(), 2);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 0);
}

TEST_F(OutputPathsModelTest, SetDataReplacesARowSignallingTheChangeAndAnnouncingIt)
{
    model.AddOutputPath(pit);
    model.AddOutputPath(left);
    added.clear();
    const CL::OutputPath rerouted{"b", "Stage Left", "hw:A", "Speakers A"};

    struct Case {
        const char* what;
        int row;
        QVariant value;
        bool accepted;
    };
    const Case cases[] = {
        {"a path for a row", 1, QVariant::fromValue(rerouted), true},
        {"a row below the first", -1, QVariant::fromValue(rerouted), false},
        {"a row past the last", 2, QVariant::fromValue(rerouted), false},
        {"a value that holds no path", 0, QVariant(QStringLiteral("Pit")), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        added.clear();
        changed.clear();
        const QModelIndex index = model.index(c.row);
        EXPECT_EQ(model.setData(index, c.value, Qt::EditRole), c.accepted);
        EXPECT_EQ(added.size(), c.accepted ? 1 : 0);
        EXPECT_EQ(changed.size(), c.accepted ? 1 : 0);
        if (c.accepted) {
            EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), c.row);
            EXPECT_EQ(SignalledPaths(added), Paths{rerouted});
        }
    }
    EXPECT_EQ(model.GetPaths(), (Paths{pit, rerouted}));
}

TEST_F(OutputPathsModelTest, RemovingAnnouncesThePathWhileItsRowStillExists)
{
    model.AddOutputPath(pit);
    model.AddOutputPath(left);
    int rowsWhenAnnounced = -1;
    QObject::connect(&model, &OutputPathsModel::RemoveOutputPathSignal,
                     [&](const CL::OutputPath&) { rowsWhenAnnounced = model.rowCount(); });
    model.RemoveOutputPath(0);
    model.RemoveOutputPath(5);
    model.RemoveOutputPath(-1);

    EXPECT_EQ(SignalledPaths(removed), Paths{pit});
    EXPECT_EQ(rowsWhenAnnounced, 2);
    EXPECT_EQ(model.GetPaths(), Paths{left});
}

// The window's controller over a show folder of its own and two devices of this machine.
class OutputPathsManagerTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        directories.SetShowDirectory(show.path().toStdString());
    }
    void TearDown() override
    {
        directories.SetShowDirectory("");
        QmlTest::TearDown();
    }

    QString DeviceFilePath() const { return QDir(show.path()).filePath(QStringLiteral("outputpathdevices.json")); }
    void PutDeviceFile(const QByteArray& bytes) const
    {
        QFile file(DeviceFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    std::optional<QByteArray> DeviceFile() const
    {
        QFile file(DeviceFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }

    std::unique_ptr<OutputPathsManagerController> Open(const std::map<std::string, CL::OutputPath>& paths = {})
    {
        auto controller = std::make_unique<OutputPathsManagerController>(paths, Engine(), nullptr);
        EXPECT_NE(controller->GetQmlObject(), nullptr);
        return controller;
    }
    static QObject* Window(const OutputPathsManagerController& controller) { return controller.GetQmlObject(); }

    // The show's paths as the change log holds them (no devices).
    const std::map<std::string, CL::OutputPath> logPaths{
        {"p1", {"p1", "Pit", "", ""}},
        {"p2", {"p2", "Stage Left", "", ""}},
        {"p3", {"p3", "Monitor", "", ""}},
    };
    QTemporaryDir show;
    sfx_virtual::InjectedOutputDevices devices{{{"hw:A", "Speakers A"}, {"hw:B", "Monitor B"}}};
};

TEST_F(OutputPathsManagerTest, OpensWithTheDevicesOfTheFileThatCouldBeRead)
{
    struct Case {
        const char* what;
        std::optional<QByteArray> file;
        // Device id and device name of p1, p2, p3.
        std::vector<std::pair<std::string, std::string>> devices;
    };
    const std::pair<std::string, std::string> none{"", ""};
    const Case cases[] = {
        {"no file", std::nullopt, {none, none, none}},
        {"a file for some paths, one device no longer present",
         R"({"outputpaths":[{"id":"p1","hwid":"hw:B"},{"id":"p2","hwid":"hw:gone"}]})",
         {{"hw:B", "Monitor B"}, {"hw:gone", ""}, none}},
        {"the default device", R"({"outputpaths":[{"id":"p3","hwid":""}]})", {none, none, none}},
        {"an element without an id keeps the others",
         R"({"outputpaths":[{"id":"p1","hwid":"hw:A"},{"hwid":"hw:B"},{"id":"p3","hwid":"hw:B"}]})",
         {{"hw:A", "Speakers A"}, none, {"hw:B", "Monitor B"}}},
        {"a hwid of the wrong type keeps the others",
         R"({"outputpaths":[{"id":"p1","hwid":7},{"id":"p2","hwid":"hw:A"}]})",
         {none, {"hw:A", "Speakers A"}, none}},
        {"a byte-order mark", "\xEF\xBB\xBF{\"outputpaths\":[{\"id\":\"p2\",\"hwid\":\"hw:B\"}]}",
         {none, {"hw:B", "Monitor B"}, none}},
        {"a parse error", R"({"outputpaths":[{"id":"p1","hwid":"hw:A"})", {none, none, none}},
        {"no outputpaths member", R"({"paths":[{"id":"p1","hwid":"hw:A"}]})", {none, none, none}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(DeviceFilePath());
        if (c.file)
            PutDeviceFile(*c.file);
        auto controller = Open(logPaths);
        const Paths rows = controller->GetModel()->GetPaths();
        ASSERT_EQ(rows.size(), 3u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].GetName(), logPaths.at("p" + std::to_string(i + 1)).GetName());
            EXPECT_EQ(rows[i].GetDeviceId(), c.devices[i].first) << i;
            EXPECT_EQ(rows[i].GetDeviceName(), c.devices[i].second) << i;
        }
        EXPECT_EQ(Window(*controller)->property("currentIndex").toInt(), 0);
        EXPECT_EQ(DeviceFile(), c.file) << "opening never writes the file";
    }
}

TEST_F(OutputPathsManagerTest, TheWindowListsTheDefaultDeviceFirstThenEachDevice)
{
    auto controller = Open();
    const QVariantList list = Window(*controller)->property("deviceList").toList();
    ASSERT_EQ(list.size(), 3);
    const std::pair<const char*, const char*> expected[] = {{"(default)", ""}, {"Speakers A", "hw:A"},
                                                            {"Monitor B", "hw:B"}};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list[row].toMap().value("name").toString(), expected[row].first);
        EXPECT_EQ(list[row].toMap().value("id").toString(), expected[row].second);
    }
    EXPECT_EQ(Window(*controller)->property("currentIndex").toInt(), -1) << "no paths, no current row";
}

TEST_F(OutputPathsManagerTest, NewPathsGetUniqueNamesTheirDeviceByIdAndAreWrittenSortedById)
{
    auto controller = Open();
    QSignalSpy added(controller.get(), &OutputPathsManagerController::AddOutputPathSignal);
    const std::pair<const char*, const char*> requests[] = {
        {"Pit", "hw:B"}, {"Pit", ""}, {"Stage Left", "hw:A"}, {"Pit", "hw:unknown"}};
    for (const auto& [name, device] : requests)
        controller->onPathCreationRequest(QString::fromUtf8(name), QString::fromUtf8(device));

    const Paths rows = controller->GetModel()->GetPaths();
    ASSERT_EQ(rows.size(), 4u);
    const std::tuple<const char*, const char*, const char*> expected[] = {
        {"Pit", "hw:B", "Monitor B"},
        {"Pit 2", "", "(default)"},
        {"Stage Left", "hw:A", "Speakers A"},
        {"Pit 3", "", "(default)"},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].GetName(), std::get<0>(expected[i])) << i;
        EXPECT_EQ(rows[i].GetDeviceId(), std::get<1>(expected[i])) << i;
        EXPECT_EQ(rows[i].GetDeviceName(), std::get<2>(expected[i])) << i;
        EXPECT_EQ(rows[i].GetId().size(), 36u) << "a UUID without braces: " << rows[i].GetId();
        EXPECT_EQ(rows[i].GetId().find_first_of("{}"), std::string::npos);
    }
    EXPECT_EQ(SignalledPaths(added), rows);

    std::map<std::string, std::string> sorted;
    for (const CL::OutputPath& path : rows)
        sorted[path.GetId()] = path.GetDeviceId();
    QByteArray expectedFile = "{\"outputpaths\":[";
    for (const auto& [id, hwid] : sorted)
        expectedFile += "{\"id\":\"" + QByteArray::fromStdString(id) + "\",\"hwid\":\"" + QByteArray::fromStdString(hwid) + "\"},";
    expectedFile.chop(1);
    expectedFile += "]}";
    EXPECT_EQ(DeviceFile(), expectedFile);

    // Opened again, the paths find their devices; the default device has no name then.
    std::map<std::string, CL::OutputPath> log;
    for (const CL::OutputPath& path : rows)
        log[path.GetId()] = CL::OutputPath(path.GetId(), path.GetName(), "", "");
    controller.reset();
    auto again = Open(log);
    for (const CL::OutputPath& path : again->GetModel()->GetPaths()) {
        const auto before = std::find_if(rows.begin(), rows.end(), [&](const auto& p) { return p.GetId() == path.GetId(); });
        EXPECT_EQ(path.GetDeviceId(), before->GetDeviceId());
        EXPECT_EQ(path.GetDeviceName(), before->GetDeviceId().empty() ? "" : before->GetDeviceName());
    }
}

TEST_F(OutputPathsManagerTest, ChangingTheCurrentPathRenamesAndReroutesItAndRewritesTheFile)
{
    auto controller = Open(logPaths);
    QSignalSpy added(controller.get(), &OutputPathsManagerController::AddOutputPathSignal);
    QSignalSpy changed(controller->GetModel().get(), &QAbstractItemModel::dataChanged);
    Window(*controller)->setProperty("currentIndex", 1);
    controller->onPathChangeRequest(QStringLiteral("Pit"), QStringLiteral("hw:A"));

    const CL::OutputPath expected("p2", "Pit", "hw:A", "Speakers A");
    EXPECT_EQ(controller->GetModel()->GetPath(1), expected) << "the name is taken as it is";
    EXPECT_EQ(SignalledPaths(added), Paths{expected});
    ASSERT_GE(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(DeviceFile(),
              QByteArray(R"({"outputpaths":[{"id":"p1","hwid":""},{"id":"p2","hwid":"hw:A"},{"id":"p3","hwid":""}]})"));

    // Without a current row nothing changes.
    added.clear();
    for (const int row : {-1, 3}) {
        Window(*controller)->setProperty("currentIndex", row);
        controller->onPathChangeRequest(QStringLiteral("Nowhere"), QString());
        controller->onDeleteOutputPath();
    }
    EXPECT_EQ(added.size(), 0);
    EXPECT_EQ(controller->GetModel()->rowCount(), 3);
}

TEST_F(OutputPathsManagerTest, DeletingAnnouncesThePathAndLeavesTheFileUntilTheNextWrite)
{
    PutDeviceFile(R"({"outputpaths":[{"id":"p1","hwid":"hw:A"},{"id":"p2","hwid":"hw:B"}]})");
    auto controller = Open(logPaths);
    QSignalSpy removed(controller.get(), &OutputPathsManagerController::RemoveOutputPathSignal);
    Window(*controller)->setProperty("currentIndex", 0);
    controller->onDeleteOutputPath();

    EXPECT_EQ(SignalledPaths(removed), (Paths{{"p1", "Pit", "hw:A", "Speakers A"}}));
    EXPECT_EQ(DeviceFile(), QByteArray(R"({"outputpaths":[{"id":"p1","hwid":"hw:A"},{"id":"p2","hwid":"hw:B"}]})"));
    Window(*controller)->setProperty("currentIndex", 0);
    controller->onPathChangeRequest(QStringLiteral("Stage Right"), QStringLiteral("hw:B"));
    EXPECT_EQ(DeviceFile(),
              QByteArray(R"({"outputpaths":[{"id":"p2","hwid":"hw:B"},{"id":"p3","hwid":""}]})"));
}

TEST_F(OutputPathsManagerTest, AFileThatCouldNotBeReadIsNeverOverwrittenAndAFailedWriteIsShown)
{
    struct Case {
        const char* what;
        bool showIsAFile;
        QByteArray contents;
        const char* message;
    };
    const Case cases[] = {
        {"a parse error", false, "{\"outputpaths\":[", "is not overwritten, since it could not be read"},
        {"a show folder that is a file", true, "", "outputpathdevices.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(DeviceFilePath());
        QString folder = show.path();
        if (c.showIsAFile) {
            folder = QDir(show.path()).filePath(QStringLiteral("not a folder"));
            QFile file(folder);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        } else {
            PutDeviceFile(c.contents);
        }
        directories.SetShowDirectory(folder.toStdString());
        auto controller = Open(logPaths);
        QSignalSpy errors(controller.get(), &OutputPathsManagerController::error);
        QSignalSpy added(controller.get(), &OutputPathsManagerController::AddOutputPathSignal);
        controller->onPathCreationRequest(QStringLiteral("Pit"), QStringLiteral("hw:A"));

        EXPECT_EQ(added.size(), 1) << "the path is made all the same";
        ASSERT_EQ(errors.size(), 1);
        EXPECT_NE(errors.at(0).at(0).value<std::string>().find(c.message), std::string::npos)
            << errors.at(0).at(0).value<std::string>();
        EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Error Saving Output Path Devices");
        if (!c.showIsAFile) {
            EXPECT_EQ(DeviceFile(), c.contents);
        }
    }
}

// The window's buttons and tool, as the user works them.
TEST_F(OutputPathsManagerTest, TheWindowsToolCreatesAndEditsPathsThroughTheController)
{
    auto controller = Open(logPaths);
    QObject* window = Window(*controller);
    window->setProperty("visible", true);  // the tool shows only over a window that shows
    QObject* tool = FindByName(window, QStringLiteral("outputPathTool"));
    ASSERT_NE(tool, nullptr);
    QObject* nameInput = FindByName(tool, QStringLiteral("nameInput"));
    QObject* deviceBox = FindByName(tool, QStringLiteral("deviceBox"));
    ASSERT_NE(nameInput, nullptr);
    ASSERT_NE(deviceBox, nullptr);

    // New Path opens the tool empty on the default device; Edit opens it on the current path with its
    // device chosen by id. OK hands the typed name and the chosen device to the controller.
    struct Step {
        const char* button;
        const char* title;
        const char* shownName;
        int shownDevice;
        const char* typedName;
        int chosenDevice;
        const char* name;
        const char* deviceId;
    };
    const Step steps[] = {
        {"newPathButton", "Create Output Path", "", 0, "Pit", 2, "Pit 2", "hw:B"},
        {"editButton", "Edit Output Path", "Pit 2", 2, "Orchestra", 1, "Orchestra", "hw:A"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        QMetaObject::invokeMethod(FindByName(window, QString::fromUtf8(step.button)), "clicked");
        EXPECT_TRUE(window->property("showOutputPathTool").toBool());
        EXPECT_EQ(tool->property("title").toString(), step.title);
        EXPECT_EQ(nameInput->property("text").toString(), step.shownName);
        EXPECT_EQ(deviceBox->property("currentIndex").toInt(), step.shownDevice);
        nameInput->setProperty("text", QString::fromUtf8(step.typedName));
        deviceBox->setProperty("currentIndex", step.chosenDevice);
        QMetaObject::invokeMethod(tool, "accept");
        EXPECT_FALSE(window->property("showOutputPathTool").toBool());
        ASSERT_EQ(controller->GetModel()->rowCount(), 4);
        EXPECT_EQ(controller->GetModel()->GetPath(3).GetName(), step.name);
        EXPECT_EQ(controller->GetModel()->GetPath(3).GetDeviceId(), step.deviceId);
        window->setProperty("currentIndex", 3);
    }

    QMetaObject::invokeMethod(FindByName(window, QStringLiteral("deleteButton")), "clicked");
    EXPECT_EQ(controller->GetModel()->rowCount(), 3);
    EXPECT_TRUE(musical_test::WaitFor([window] { return window->property("currentIndex").toInt() == 2; }))
        << "the row before the deleted last one";

    QMetaObject::invokeMethod(FindByName(window, QStringLiteral("closeButton")), "clicked");
    EXPECT_FALSE(window->property("visible").toBool());
}

}  // namespace
