// Opens each window of the program's dialogs on a real display (Xvfb in ctest) and saves a picture of
// it in the build folder, so a person can check that texts fit and every control can be reached.

#include "AppSettings.h"
#include "DemoShowWindow.h"
#include "FakeInterface.h"
#include "MixerControllerTW.h"
#include "QmlTest.h"
#include "WindowPicture.h"
#include "about_window_controller.h"
#include "brix_menu_controller.h"
#include "dialog_controller.h"
#include "input_dialog_controller.h"
#include "notice_dialogs.h"
#include "osc_manager_controller.h"
#include "ShowStore.h"
#include "show_downloader_controller.h"
#include "show_store_window_controller.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMetaObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using musical_test::QmlTest;

class WindowPictures : public QmlTest {
protected:
    // Waits for the window's first frame and saves it as <name>.png in the pictures folder.
    void Save(QObject* object, const QString& name)
    {
        musical_test::SaveWindowPicture(object, QStringLiteral(PICTURES_DIR), name);
    }
};

TEST_F(WindowPictures, MessageDialogs)
{
    brix::qt::DialogController error("The change log \"show-1.4.logdata\" could not be read: the file ends "
                                      "inside the record of song 3.",
                                      "Error Loading Change Log", 0, nullptr, Engine(), nullptr);
    Save(error.GetQmlObject(), QStringLiteral("dialog_error"));

    brix::qt::DialogController warning(
        "The audio output device \"USB Audio CODEC\" is no longer connected. Playback goes to the default "
        "device until you choose another one in the Audio Manager.",
        "Error Setting Audio", 1, nullptr, Engine(), nullptr, true, "ShowAudioWarning", false, true, false,
        "Acknowledge");
    Save(warning.GetQmlObject(), QStringLiteral("dialog_warning_larger_with_checkbox"));

    QTemporaryDir folder;
    auto settings = std::make_shared<brix::AppSettings>(brix::OpenGeneralSettings(folder.path()));
    auto rehearsal = brix::qt::ShowRehearsalNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings);
    Save(rehearsal->GetQmlObject(), QStringLiteral("notice_rehearsal"));
    auto performance =
        brix::qt::ShowPerformanceNotice(QStringLiteral("Tarn|Wick"), nullptr, Engine(), settings, false);
    Save(performance->GetQmlObject(), QStringLiteral("notice_performance"));
}

TEST_F(WindowPictures, InputDialogs)
{
    brix::qt::InputDialogController password("Enter the administrator password to edit the change log.",
                                             "Admin Access", 3, Engine(), nullptr, nullptr, false);
    password.SetProperty("value", QStringLiteral("secret"));
    Save(password.GetQmlObject(), QStringLiteral("input_lock"));

    brix::qt::InputDialogController unsaved("The change log has edits that are not saved.", "Unsaved Edits", 1,
                                            Engine(), nullptr, nullptr, true);
    unsaved.SetConfirmationPreamble(QStringLiteral("Closing without saving loses these edits."));
    unsaved.SetProperty("showInputField", false);
    unsaved.SetProperty("showNegateButton", true);
    unsaved.SetProperty("negateButtonText", QStringLiteral("Don't Save"));
    unsaved.SetProperty("acceptButtonText", QStringLiteral("Save"));
    Save(unsaved.GetQmlObject(), QStringLiteral("input_confirmation_three_buttons"));
}

TEST_F(WindowPictures, AboutAndAcknowledgements)
{
    auto host = CreateFromQml("import QtQuick\nimport com.fernwhistlestudios.brix_ui\n"
                              "Window { width: 800; height: 600; visible: true; color: \"#202020\"\n"
                              "  AboutWindow { objectName: \"about\" } }\n");
    QObject* about = FindByName(host.get(), QStringLiteral("about"));
    ASSERT_NE(about, nullptr);

    QTemporaryDir folder;
    const QString textPath = QDir(folder.path()).filePath(QStringLiteral("acknowledgements.txt"));
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 40; ++i)
        text.write(QStringLiteral("Component %1: a library the program uses, under its own licence.\n").arg(i).toUtf8());
    text.close();

    brix::qt::AboutWindowController controller(about, Engine(), QStringLiteral("2.7.0"),
                                               QStringLiteral("qrc:/images/test_icon.svg"), textPath,
                                               QStringLiteral("Rehearsal Edition"));
    QMetaObject::invokeMethod(about, "open");
    Save(host.get(), QStringLiteral("about"));

    controller.AcknowledgementsClicked();
    Save(controller.GetAcknowledgementsWindow()->GetQmlObject(), QStringLiteral("acknowledgements"));
}

TEST_F(WindowPictures, MainMenu)
{
    auto host = CreateFromQml("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                              "Window { width: 800; height: 600; visible: true; color: \"#202020\"\n"
                              "  property alias menu: responsiveMenu\n"
                              "  ResponsiveMenu { id: responsiveMenu; x: 10; y: 10 } }\n");
    auto* window = qobject_cast<QQuickWindow*>(host.get());
    ASSERT_NE(window, nullptr);
    QObject* item = host->property("menu").value<QObject*>();
    brix::qt::ResponsiveMenuController controller(true, QStringLiteral("Tarn|Wick"), Engine(), item, false, true);
    controller.SetAdminPermission(true);
    controller.UpdateUndoRedoState(true, false, true, false);
    QObject* menu = FindByName(item, QStringLiteral("mainMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000));

    // Each submenu opened from its entry in the main menu, as a click opens it.
    const QStringList submenus{"file", "edit", "player", "view", "tools", "help"};
    for (int index = 0; index < submenus.size(); ++index) {
        QMetaObject::invokeMethod(menu, "open");
        ASSERT_TRUE(musical_test::WaitFor([menu] { return menu->property("opened").toBool(); }));
        QQuickItem* entry = nullptr;
        QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, entry), Q_ARG(int, index));
        ASSERT_NE(entry, nullptr) << index;
        const QPointF centre = entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
        QObject* submenu = FindByName(item, submenus[index] + QStringLiteral("Menu"));
        ASSERT_NE(submenu, nullptr);
        ASSERT_TRUE(musical_test::WaitFor([submenu] { return submenu->property("opened").toBool(); }))
            << submenus[index].toStdString();
        Save(window, QStringLiteral("menu_") + submenus[index]);
        QMetaObject::invokeMethod(menu, "dismiss");
        ASSERT_TRUE(musical_test::WaitFor([submenu] { return !submenu->property("visible").toBool(); }));
    }
}

TEST_F(WindowPictures, OscManagerAndNetworkEditWindow)
{
    auto engine = std::make_shared<testing::NiceMock<musical_test::FakeInterface>>();
    ON_CALL(*engine, GetNetworks())
        .WillByDefault(testing::Return(CL::NetworkPathVectorT{
            {"Lighting Desk (Stage Left)", "NETWORK0", "192.168.100.25", 53000, false},
            {"Sound Console", "NETWORK1", "10.0.0.6", 9000, true},
            {"Projection Server With A Long Name", "NETWORK2", "10.0.0.7", 7000, false}}));
    brix::qt::OscManagerController controller(Engine(), brix::osc::OscSettings(true, 55037), engine, nullptr);
    controller.SetVisible(true);
    Save(controller.GetQmlObject(), QStringLiteral("osc_manager"));

    QObject* list = FindByName(controller.GetQmlObject(), QStringLiteral("networkList"));
    ASSERT_NE(list, nullptr);
    list->setProperty("currentIndex", 0);
    QMetaObject::invokeMethod(FindByName(controller.GetQmlObject(), QStringLiteral("editNetworkButton")), "clicked");
    Save(FindByName(controller.GetQmlObject(), QStringLiteral("networkEditWindow")),
         QStringLiteral("osc_network_edit"));
}

TEST_F(WindowPictures, ShowDownloadInProgressAndTheShowStore)
{
    brix::qt::ShowDownloaderController download(Engine(), nullptr);
    QObject* window = download.GetQmlObject();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(musical_test::WaitFor([window] { return window->property("visible").toBool(); }));
    download.ReportStatus("Downloading songs/02_harbour_lights_with_a_long_name.mid (2 of 3)...");
    emit download.totalProgressChanged(1572864.0, 3145728.0);
    Save(window, QStringLiteral("show_download_in_progress"));

    QTemporaryDir data;
    QTemporaryDir shows;
    ASSERT_TRUE(data.isValid() && shows.isValid());
    QDir().mkpath(QDir(shows.path()).filePath("harbour"));
    QFile show(QDir(shows.path()).filePath("harbour/show.json"));
    ASSERT_TRUE(show.open(QIODevice::WriteOnly));
    show.write(R"json({"format": 1, "name": "Harbour Lights (touring version)", "customer": "Quay Players"})json");
    show.close();
    auto store = std::make_shared<brix::ShowStore>(data.path().toStdString());
    store->Choose(QDir(shows.path()).filePath("harbour").toStdString());
    brix::qt::ShowStoreWindowController storeWindow(Engine(), store, "42");
    storeWindow.SetVisible(true);
    Save(storeWindow.GetQmlObject(), QStringLiteral("show_store"));
}

}  // namespace

// The main window on the demo show: stopped after loading, playing the overture, and held at its caesura.
namespace {

class MainWindowPictures : public WindowPictures {};

TEST_F(MainWindowPictures, StoppedPlayingAndAtACaesura)
{
    musical_test::DemoShowWindow show(Engine());
    ASSERT_TRUE(musical_test::WaitFor([&] { return show.Property("songTitle") == "Overture"; }));
    Save(show.Window(), QStringLiteral("main_window_stopped"));

    show.controller->Play_();
    ASSERT_TRUE(musical_test::WaitFor([&] { return show.Property("beat") == "03"; }, std::chrono::seconds(10)));
    Save(show.Window(), QStringLiteral("main_window_playing"));

    show.controller->JumpToBar_(QStringLiteral("11"));
    ASSERT_TRUE(musical_test::WaitFor([&] { return show.Property("flowControlLabel") == "Caesura"; },
                                      std::chrono::seconds(10)));
    ASSERT_TRUE(musical_test::WaitFor([&] { return !show.Engine().GetIsPlaying(); }, std::chrono::seconds(10)));
    // Held at the caesura, the banner still says so.
    ASSERT_TRUE(musical_test::WaitFor([&] { return show.Property("flowControlLabel") == "Caesura"; }));
    Save(show.Window(), QStringLiteral("main_window_caesura"));
}

// The overture with the mixer in the edit panel under the timeline, then the score mode on its first
// page, as an operator sees them.
TEST_F(MainWindowPictures, TimelineWithTheMixerAndTheScore)
{
    musical_test::DemoShowWindow show(Engine(), false, {},
                                      [](QObject* view, QQmlEngine* qml, std::shared_ptr<Interface> engine,
                                         std::shared_ptr<brix::AppSettings> settings) {
                                          return std::make_unique<brix::qt::MixerControllerTW>(
                                              view, qml, std::move(engine), std::move(settings));
                                      });
    ASSERT_TRUE(musical_test::WaitFor([&] { return show.Property("songTitle") == "Overture"; }));
    QObject* mixerView = FindByName(show.Window(), QStringLiteral("mixerView"));
    ASSERT_NE(mixerView, nullptr);
    ASSERT_TRUE(musical_test::WaitFor([&] { return mixerView->property("visible").isValid(); }));
    FindByName(show.Window(), QStringLiteral("markerTabs"))->setProperty("currentIndex", 1);
    Save(show.Window(), QStringLiteral("main_window_timeline_and_mixer"));

    QObject* score = FindByName(show.Window(), QStringLiteral("scoreView"));
    ASSERT_NE(score, nullptr);
    EXPECT_GT(score->property("imageListModel").toStringList().size(), 0);
    FindByName(show.Window(), QStringLiteral("modeTabs"))->setProperty("currentIndex", 1);
    ASSERT_TRUE(musical_test::WaitFor([&] { return !score->property("currentImage1").toString().isEmpty(); }));
    Save(show.Window(), QStringLiteral("main_window_score"));
    // The scene graph reports the pages' mipmap filtering when it is set before a page's texture has
    // its pixels (the view loads pages asynchronously); the pages show as they should.
    QStringList warnings = musical_test::TakeQtWarnings();
    warnings.removeIf([](const QString& warning) { return warning.contains("Mipmap settings changed"); });
    for (const QString& warning : warnings)
        ADD_FAILURE() << "Qt warning: " << warning.toStdString();
}

}  // namespace
