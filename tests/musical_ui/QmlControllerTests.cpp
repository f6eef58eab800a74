#include "QmlTest.h"
#include "qml_controller.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>

#include <stdexcept>

namespace {

using brix::qt::QmlController;
using musical_test::QmlTest;

const QUrl kMessageBoxUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/MessageBox.qml"));
const QUrl kDialogUrl(QStringLiteral("qrc:/qt/qml/com/fernwhistlestudios/brix_ui/qml/FlatDialogWindow.qml"));

// A controller whose slot fails the way a slot that reaches the engine can.
class FailingController : public QmlController {
    Q_OBJECT

public:
    using QmlController::QmlController;

public slots:
    void Fail()
    {
        Guarded("Edit Failed", [] { throw std::runtime_error("The bar does not exist."); });
    }
    void FailUnknown()
    {
        Guarded("Edit Failed", [] { throw 42; });
    }
};

using QmlControllerTest = QmlTest;

TEST_F(QmlControllerTest, CreatesItsWindowWithTheInitialPropertiesAndDeletesItWhenDestroyed)
{
    QPointer<QObject> window;
    {
        QmlController controller(Engine(), kDialogUrl, nullptr, true,
                                 {{QStringLiteral("title"), QStringLiteral("Saved")},
                                  {QStringLiteral("text"), QStringLiteral("Version 1.2 was written.")}});
        window = controller.GetQmlObject();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->property("title").toString(), "Saved");
        EXPECT_EQ(window->property("text").toString(), "Version 1.2 was written.");
        EXPECT_FALSE(window->property("visible").toBool());
        controller.SetVisible(true);
        EXPECT_TRUE(window->property("visible").toBool());
        EXPECT_EQ(controller.GetEngine(), Engine());
    }
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(QmlControllerTest, AWindowNotOwnedOutlivesItsController)
{
    std::unique_ptr<QObject> kept;
    {
        QmlController controller(Engine(), kDialogUrl, nullptr, false);
        kept.reset(controller.GetQmlObject());
    }
    musical_test::RunDeferredDeletes();
    QPointer<QObject> window = kept.get();
    EXPECT_FALSE(window.isNull());
}

TEST_F(QmlControllerTest, AnItemGetsItsParentAsParentItemAndAWindowItsParentsWindowAsTransientParent)
{
    auto host = CreateFromQml("import QtQuick\nWindow { width: 200; height: 100; Item { objectName: \"slot\" } }\n");
    auto* hostWindow = qobject_cast<QQuickWindow*>(host.get());
    ASSERT_NE(hostWindow, nullptr);
    QObject* slot = FindByName(host.get(), QStringLiteral("slot"));
    ASSERT_NE(slot, nullptr);

    QmlController item(Engine(), kMessageBoxUrl, slot, true);
    auto* messageBox = qobject_cast<QQuickItem*>(item.GetQmlObject());
    ASSERT_NE(messageBox, nullptr);
    EXPECT_EQ(messageBox->parentItem(), slot);
    EXPECT_EQ(messageBox->parent(), slot);

    QmlController dialog(Engine(), kDialogUrl, slot, true);
    auto* dialogWindow = qobject_cast<QWindow*>(dialog.GetQmlObject());
    ASSERT_NE(dialogWindow, nullptr);
    EXPECT_EQ(dialogWindow->transientParent(), hostWindow);
}

TEST_F(QmlControllerTest, AWindowDeletedWithItsParentIsForgotten)
{
    auto host = CreateFromQml("import QtQuick\nItem {}\n");
    QmlController controller(Engine(), kMessageBoxUrl, host.get(), true);
    ASSERT_NE(controller.GetQmlObject(), nullptr);
    host.reset();
    EXPECT_EQ(controller.GetQmlObject(), nullptr);
    EXPECT_THROW(controller.SetVisible(true), std::runtime_error);
}

TEST_F(QmlControllerTest, ADocumentThatDoesNotLoadLeavesNoWindowAndSetVisibleThrows)
{
    QmlController controller(Engine(), QUrl(QStringLiteral("qrc:/qt/qml/no/such/Window.qml")), nullptr, true);
    EXPECT_EQ(controller.GetQmlObject(), nullptr);
    try {
        controller.SetVisible(true);
        FAIL() << "SetVisible without a window must throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot Set QML Object visible. Qml Object is null.");
    }
}

TEST_F(QmlControllerTest, ClosingDeletesAnOwnedWindowButNeverAWrappedOne)
{
    QmlController owner(Engine(), kDialogUrl, nullptr, true);
    QPointer<QObject> window = owner.GetQmlObject();
    owner.Closing_(nullptr);
    EXPECT_EQ(owner.GetQmlObject(), nullptr);
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());

    auto item = CreateFromQml("import QtQuick\nItem { x: 30; width: 45 }\n");
    {
        QmlController wrapper(item.get(), Engine());
        EXPECT_EQ(wrapper.GetX(), 30);
        EXPECT_EQ(wrapper.GetRightEdge(), 75);
        wrapper.SetZ(4.0);
        wrapper.Closing_(nullptr);
        EXPECT_EQ(wrapper.GetQmlObject(), item.get());
    }
    musical_test::RunDeferredDeletes();
    EXPECT_EQ(qobject_cast<QQuickItem*>(item.get())->z(), 4.0);
}

TEST_F(QmlControllerTest, AGuardedSlotTurnsAnExceptionIntoTheErrorSignal)
{
    auto button = CreateFromQml("import QtQuick\nItem { signal clicked(); signal failed() }\n");
    FailingController controller(button.get(), Engine());
    QObject::connect(button.get(), SIGNAL(clicked()), &controller, SLOT(Fail()));
    QObject::connect(button.get(), SIGNAL(failed()), &controller, SLOT(FailUnknown()));
    QSignalSpy errors(&controller, &QmlController::error);

    QMetaObject::invokeMethod(button.get(), "clicked");
    QMetaObject::invokeMethod(button.get(), "failed");

    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors.at(0).at(0).value<std::string>(), "The bar does not exist.");
    EXPECT_EQ(errors.at(0).at(1).value<std::string>(), "Edit Failed");
    EXPECT_EQ(errors.at(1).at(0).value<std::string>(), "An unknown error occurred.");
}

TEST_F(QmlControllerTest, TheHarnessRecordsAFailedStringBasedConnection)
{
    auto item = CreateFromQml("import QtQuick\nItem { signal pressed() }\n");
    FailingController controller(item.get(), Engine());
    QObject::connect(item.get(), SIGNAL(released()), &controller, SLOT(Fail()));
    QObject::connect(item.get(), SIGNAL(pressed()), &controller, SLOT(Missing()));
    const QStringList warnings = musical_test::TakeQtWarnings();
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings.at(0).contains("No such signal")) << warnings.at(0).toStdString();
    EXPECT_TRUE(warnings.at(1).contains("No such slot")) << warnings.at(1).toStdString();
}

}  // namespace

#include "QmlControllerTests.moc"
