#include "QmlTest.h"
#include "input_dialog_controller.h"

#include <QMetaObject>
#include <QSignalSpy>
#include <QWindow>

#include <optional>
#include <stdexcept>
#include <string>

namespace {

using brix::qt::InputDialogController;
using musical_test::QmlTest;

using InputDialogControllerTest = QmlTest;

TEST_F(InputDialogControllerTest, EachKindShowsItsTypeAndKindThreeIsTheLock)
{
    struct Case {
        unsigned int kind;
        const char* type;
    };
    for (const Case& c : {Case{0, "error"}, Case{1, "warning"}, Case{2, "info"}, Case{3, "lock"}, Case{9, "info"}}) {
        SCOPED_TRACE(c.kind);
        InputDialogController dialog("Enter the password.", "Admin", c.kind, Engine(), nullptr, nullptr, false);
        QObject* window = dialog.GetQmlObject();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->property("type").toString(), c.type);
        EXPECT_EQ(window->property("title").toString(), "Admin");
        EXPECT_EQ(window->property("text").toString(), "Enter the password.");
        EXPECT_TRUE(window->property("visible").toBool());
        EXPECT_FALSE(window->property("showConfirmation").toBool());
    }
}

TEST_F(InputDialogControllerTest, OkHandsTheFieldsTextToTheReply)
{
    std::optional<std::string> reply;
    InputDialogController dialog("Name of the marker?", "New Marker", 2, Engine(), nullptr,
                                 [&reply](std::string value) { reply = std::move(value); }, true);
    QObject* window = dialog.GetQmlObject();
    EXPECT_TRUE(window->property("showConfirmation").toBool());
    dialog.SetConfirmationPreamble(QStringLiteral("Markers are shared with the show server."));
    dialog.SetProperty("acceptButtonText", QStringLiteral("Add"));
    EXPECT_EQ(window->property("confirmationPreamble").toString(), "Markers are shared with the show server.");
    EXPECT_EQ(window->property("acceptButtonText").toString(), "Add");

    window->setProperty("value", QStringLiteral("Chorus \u00e9"));
    FindByName(window, QStringLiteral("confirmationBox"))->setProperty("checked", true);
    QMetaObject::invokeMethod(window, "accept");
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(*reply, "Chorus \xc3\xa9");
    EXPECT_FALSE(window->property("visible").toBool());
}

TEST_F(InputDialogControllerTest, CancelAndNegateDoNotReply)
{
    int replies = 0;
    InputDialogController dialog("Discard the edits?", "Unsaved Edits", 1, Engine(), nullptr,
                                 [&replies](std::string) { ++replies; }, false);
    QObject* window = dialog.GetQmlObject();
    QSignalSpy cancelled(window, SIGNAL(cancelled()));
    QMetaObject::invokeMethod(window, "cancel");
    QMetaObject::invokeMethod(window, "negate");
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_EQ(replies, 0);
}

TEST_F(InputDialogControllerTest, AcceptingWithoutAReplyOnlyClosesTheWindow)
{
    InputDialogController dialog("Continue?", "Question", 2, Engine(), nullptr, nullptr, false);
    QObject* window = dialog.GetQmlObject();
    window->setProperty("showInputField", false);
    QSignalSpy errors(&dialog, &InputDialogController::error);
    QMetaObject::invokeMethod(window, "accept");
    EXPECT_FALSE(window->property("visible").toBool());
    EXPECT_EQ(errors.size(), 0);
}

TEST_F(InputDialogControllerTest, AReplyThatThrowsIsReportedAsAnError)
{
    InputDialogController dialog("Jump to bar:", "Jump to Bar", 2, Engine(), nullptr,
                                 [](std::string) { throw std::invalid_argument("There is no bar 99."); }, false);
    QObject* window = dialog.GetQmlObject();
    QSignalSpy errors(&dialog, &InputDialogController::error);
    window->setProperty("value", QStringLiteral("99"));
    QMetaObject::invokeMethod(window, "accept");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(0).value<std::string>(), "There is no bar 99.");
    EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Jump to Bar");
}

TEST_F(InputDialogControllerTest, TheDialogStaysAboveTheWindowOfItsParent)
{
    auto host = CreateFromQml("import QtQuick\nWindow { Item { objectName: \"panel\" } }\n");
    QObject* panel = FindByName(host.get(), QStringLiteral("panel"));
    InputDialogController dialog("Name?", "Rename", 2, Engine(), panel, nullptr, false);
    auto* window = qobject_cast<QWindow*>(dialog.GetQmlObject());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->transientParent(), host.get());
}

TEST_F(InputDialogControllerTest, TheWindowIsDeletedWithTheController)
{
    QPointer<QObject> window;
    {
        InputDialogController dialog("Name?", "Rename", 2, Engine(), nullptr, nullptr, false);
        window = dialog.GetQmlObject();
    }
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

}  // namespace
