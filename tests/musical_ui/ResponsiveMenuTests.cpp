#include "QmlTest.h"
#include "brix_menu_controller.h"

#include <QKeySequence>
#include <QMetaObject>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QVariant>

#include <map>
#include <memory>

namespace {

using brix::qt::ResponsiveMenuController;
using musical_test::QmlTest;

// The menu item in a main-window stand-in, wrapped by its controller.
class ResponsiveMenuTest : public QmlTest {
protected:
    void Create(bool showAudioManager = true, bool oscEnabled = true, bool showPerformanceEssentials = true)
    {
        host_ = CreateFromQml("import QtQuick\nimport \"qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml\"\n"
                              "Window { width: 800; height: 600; visible: true\n"
                              "  property alias menu: responsiveMenu\n"
                              "  ResponsiveMenu { id: responsiveMenu; x: 10; y: 10 } }\n");
        ASSERT_NE(host_, nullptr);
        menu_ = host_->property("menu").value<QObject*>();
        ASSERT_NE(menu_, nullptr);
        controller_ = std::make_unique<ResponsiveMenuController>(showAudioManager, QStringLiteral("Tarn|Wick"),
                                                                 Engine(), menu_, oscEnabled,
                                                                 showPerformanceEssentials);
        CollectActions(menu_);
    }

    void TearDown() override
    {
        controller_.reset();
        host_.reset();
        QmlTest::TearDown();
    }

    // The action of the entry with that text.
    QObject* Action(const QString& text) const
    {
        const auto found = actions_.find(text);
        EXPECT_NE(found, actions_.end()) << text.toStdString();
        return found == actions_.end() ? nullptr : found->second;
    }

    bool Enabled(const QString& text) const { return Action(text)->property("enabled").toBool(); }

    void Trigger(const QString& text) const { QMetaObject::invokeMethod(Action(text), "trigger"); }

    QQuickWindow* Window() const { return qobject_cast<QQuickWindow*>(host_.get()); }

    std::unique_ptr<QObject> host_;
    QObject* menu_ = nullptr;
    std::unique_ptr<ResponsiveMenuController> controller_;

private:
    void CollectActions(QObject* object)
    {
        if (object->inherits("QQuickAction"))
            actions_[object->property("text").toString()] = object;
        for (QObject* child : object->children())
            CollectActions(child);
    }

    std::map<QString, QObject*> actions_;
};

const QStringList kAdminEntries{"View Past Logs...", "Export Event Log...", "Save Edits", "Share Edits", "Undo",
                                "Redo", "Delete", "Select All", "Not on Menu, Delete Key"};
const QStringList kAlwaysEntries{"Download Latest Log", "Quit Tarn|Wick", "Play/Pause", "Stop", "Advance",
                                 "Jump to Bar...", "Previous Marker", "Next Marker", "Previous Bar", "Next Bar",
                                 "Zoom In Timeline", "Zoom Out Timeline", "MIDI Manager...", "About Tarn|Wick...",
                                 "BRIX Support Center..."};

TEST_F(ResponsiveMenuTest, EditEntriesFollowAdminPermissionAndEditState)
{
    Create();
    struct Case {
        bool admin, canUndo, canRedo, canSave, canShare;
        std::map<QString, bool> expected;  // entries of kAdminEntries not named here are expected enabled
    };
    const Case cases[] = {
        {false, true, true, true, true,
         {{"View Past Logs...", false}, {"Export Event Log...", false}, {"Save Edits", false},
          {"Share Edits", false}, {"Undo", false}, {"Redo", false}, {"Delete", false}, {"Select All", false},
          {"Not on Menu, Delete Key", false}}},
        {true, true, false, true, false, {{"Redo", false}, {"Share Edits", false}}},
        {true, false, true, false, true, {{"Undo", false}, {"Save Edits", false}}},
        {true, true, true, true, true, {}},
    };
    for (const Case& c : cases) {
        controller_->SetAdminPermission(c.admin);
        controller_->UpdateUndoRedoState(c.canUndo, c.canRedo, c.canSave, c.canShare);
        for (const QString& entry : kAdminEntries) {
            const auto rule = c.expected.find(entry);
            EXPECT_EQ(Enabled(entry), rule == c.expected.end() || rule->second)
                << entry.toStdString() << " admin " << c.admin << " undo " << c.canUndo << " redo " << c.canRedo
                << " save " << c.canSave << " share " << c.canShare;
        }
        for (const QString& entry : kAlwaysEntries)
            EXPECT_TRUE(Enabled(entry)) << entry.toStdString() << " admin " << c.admin;
    }

    // The main window's own road to the permission reaches the menu too.
    QMetaObject::invokeMethod(menu_, "setAdminPermission", Q_ARG(QVariant, false));
    EXPECT_FALSE(Enabled("Save Edits"));
}

TEST_F(ResponsiveMenuTest, DeleteFollowsTheItemsDeleteState)
{
    Create();
    controller_->SetAdminPermission(true);
    menu_->setProperty("canDelete", false);
    EXPECT_FALSE(Enabled("Delete"));
    EXPECT_FALSE(Enabled("Not on Menu, Delete Key"));
}

TEST_F(ResponsiveMenuTest, ProductFlagsEnableTheOptionalWindows)
{
    for (const bool on : {false, true}) {
        Create(on, on, on);
        EXPECT_EQ(Enabled("Audio Manager..."), on);
        EXPECT_EQ(Enabled("OSC Manager..."), on);
        EXPECT_EQ(Enabled("Performance Essentials..."), on);
        TearDown();
        QmlTest::SetUp();
    }
}

TEST_F(ResponsiveMenuTest, EachEntryReachesItsControllerSignal)
{
    Create();
    controller_->SetAdminPermission(true);
    controller_->UpdateUndoRedoState(true, true, true, true);
    using C = ResponsiveMenuController;
    struct Case {
        const char* entry;
        void (C::*signal)();
    };
    const Case cases[] = {
        {"Download Latest Log", &C::getLatestChangelogClicked},
        {"Save Edits", &C::saveRequested},
        {"Share Edits", &C::shareRequested},
        {"Undo", &C::UndoRequested},
        {"Redo", &C::RedoRequested},
        {"Delete", &C::DeleteRequested},
        {"Not on Menu, Delete Key", &C::DeleteRequested},
        {"Select All", &C::selectAllRequested},
        {"Play/Pause", &C::PlayPauseRequested},
        {"Stop", &C::StopRequested},
        {"Advance", &C::ContinuePlayRequested},
        {"Previous Marker", &C::SeekPrevMarkerRequested},
        {"Next Marker", &C::SeekNextMarkerRequested},
        {"Previous Bar", &C::SeekPrevBarRequested},
        {"Next Bar", &C::SeekNextBarRequested},
        {"Zoom In Timeline", &C::ZoomInRequested},
        {"Zoom Out Timeline", &C::ZoomOutRequested},
        {"Audio Manager...", &C::audioManagerClicked},
        {"MIDI Manager...", &C::midiCommandsClicked},
        {"OSC Manager...", &C::oscManagerClicked},
        {"Performance Essentials...", &C::performanceEssentialsClicked},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(controller_.get(), c.signal);
        Trigger(c.entry);
        EXPECT_EQ(spy.count(), 1) << c.entry;
    }
}

TEST_F(ResponsiveMenuTest, EntriesForTheMainWindowLeaveAsItemSignals)
{
    Create();
    controller_->SetAdminPermission(true);
    struct Case {
        const char* entry;
        const char* signal;
    };
    const Case cases[] = {
        {"View Past Logs...", SIGNAL(changelogManagerOpened())},
        {"Jump to Bar...", SIGNAL(jumpToBarStart())},
        {"Download Latest Log", SIGNAL(getLatestLogClicked())},
        {"Selection Start to Center", SIGNAL(selectionStartToCenter())},
        {"Selection End to Center", SIGNAL(selectionEndToCenter())},
        {"Extend Selection to Start", SIGNAL(extendSelectionToStart())},
        {"Extend Selection to End", SIGNAL(extendSelectionToEnd())},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(menu_, c.signal);
        ASSERT_TRUE(spy.isValid()) << c.signal;
        Trigger(c.entry);
        EXPECT_EQ(spy.count(), 1) << c.entry;
    }
}

TEST_F(ResponsiveMenuTest, AboutOpensTheEmbeddedAboutPanel)
{
    Create();
    QObject* popup = FindByName(menu_->property("aboutWindow").value<QObject*>(), QStringLiteral("aboutPopup"));
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(popup->property("visible").toBool());
    Trigger("About Tarn|Wick...");
    EXPECT_TRUE(musical_test::WaitFor([popup] { return popup->property("visible").toBool(); }));
}

TEST_F(ResponsiveMenuTest, QuitClosesTheWindowThroughItsClosingRoad)
{
    Create();
    QSignalSpy closing(Window(), &QQuickWindow::closing);
    Trigger("Quit Tarn|Wick");
    EXPECT_EQ(closing.count(), 1);
}

TEST_F(ResponsiveMenuTest, ExportDialogProposesTheBaseNameAndReportsTheChosenFile)
{
    Create();
    controller_->SetAdminPermission(true);
    menu_->setProperty("baseExportName", QStringLiteral("Spring Tour"));
    QObject* dialog = FindByName(menu_, QStringLiteral("exportDialog"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->property("title").toString(), QStringLiteral("Export Event Log"));
    const QUrl proposed = dialog->property("selectedFile").toUrl();
    EXPECT_TRUE(proposed.toLocalFile().endsWith(QStringLiteral("/Spring Tour.pdf"))) << proposed.toString().toStdString();

    QSignalSpy exported(menu_, SIGNAL(exportChangelogClicked(QUrl)));
    Trigger("Export Event Log...");
    EXPECT_TRUE(musical_test::WaitFor([dialog] { return dialog->property("visible").toBool(); }));
    QMetaObject::invokeMethod(dialog, "accept");
    ASSERT_TRUE(musical_test::WaitFor([&exported] { return exported.count() == 1; }));
    EXPECT_EQ(exported.at(0).at(0).toUrl(), proposed);
}

TEST_F(ResponsiveMenuTest, ShortcutsAreOnesThisPlatformReads)
{
    Create();
    // "Cmd" is Control everywhere but macOS.
    const auto key = [](Qt::KeyboardModifiers modifiers, Qt::Key k) { return QKeySequence(QKeyCombination(modifiers, k)); };
    const std::map<QString, QKeySequence> expected{
        {"Save Edits", key(Qt::ControlModifier, Qt::Key_S)},
        {"Quit Tarn|Wick", key(Qt::ControlModifier, Qt::Key_Q)},
        {"Undo", key(Qt::ControlModifier, Qt::Key_Z)},
        {"Redo", key(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)},
        {"Delete", key(Qt::NoModifier, Qt::Key_Backspace)},
        {"Select All", key(Qt::ControlModifier, Qt::Key_A)},
        {"Play/Pause", key(Qt::NoModifier, Qt::Key_Space)},
        {"Stop", key(Qt::ShiftModifier, Qt::Key_Space)},
        {"Advance", key(Qt::NoModifier, Qt::Key_Right)},
        {"Jump to Bar...", key(Qt::ControlModifier, Qt::Key_B)},
        {"Previous Marker", key(Qt::NoModifier, Qt::Key_Comma)},
        {"Next Marker", key(Qt::NoModifier, Qt::Key_Period)},
        {"Previous Bar", key(Qt::ShiftModifier, Qt::Key_Comma)},
        {"Next Bar", key(Qt::ShiftModifier, Qt::Key_Period)},
        {"Zoom In Timeline", key(Qt::NoModifier, Qt::Key_Equal)},
        {"Zoom Out Timeline", key(Qt::NoModifier, Qt::Key_Minus)},
        {"Audio Manager...", key(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_G)},
        {"MIDI Manager...", key(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_M)},
        {"OSC Manager...", key(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_O)},
        {"Not on Menu, Delete Key", key(Qt::NoModifier, Qt::Key_Delete)},
        {"Selection Start to Center", key(Qt::NoModifier, Qt::Key_Q)},
        {"Selection End to Center", key(Qt::NoModifier, Qt::Key_W)},
        {"Extend Selection to Start", key(Qt::NoModifier, Qt::Key_BracketLeft)},
        {"Extend Selection to End", key(Qt::NoModifier, Qt::Key_BracketRight)},
    };
    for (const auto& [entry, sequence] : expected) {
        const QKeySequence shortcut(Action(entry)->property("shortcut").toString(), QKeySequence::PortableText);
        EXPECT_EQ(shortcut, sequence) << entry.toStdString() << ": "
                                      << Action(entry)->property("shortcut").toString().toStdString();
    }
}

TEST_F(ResponsiveMenuTest, ShortcutsWorkWhileTheMenuIsClosed)
{
    Create();
    Window()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
    QSignalSpy midi(controller_.get(), &ResponsiveMenuController::midiCommandsClicked);
    QSignalSpy play(controller_.get(), &ResponsiveMenuController::PlayPauseRequested);
    QSignalSpy undo(controller_.get(), &ResponsiveMenuController::UndoRequested);
    QTest::keyClick(Window(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(Window(), Qt::Key_Space);
    QTest::keyClick(Window(), Qt::Key_Z, Qt::ControlModifier);  // disabled: no admin permission
    EXPECT_EQ(midi.count(), 1);
    EXPECT_EQ(play.count(), 1);
    EXPECT_EQ(undo.count(), 0);
}

}  // namespace
