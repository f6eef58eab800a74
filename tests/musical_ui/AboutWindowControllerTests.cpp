#include "QmlTest.h"
#include "about_window_controller.h"

#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QWindow>

namespace {

using brix::qt::AboutWindowController;
using musical_test::QmlTest;

class AboutWindowControllerTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        host_ = CreateFromQml("import QtQuick\nimport com.fernwhistlestudios.brix_ui\n"
                              "Window { width: 800; height: 600; visible: true; AboutWindow { objectName: \"about\" } }\n");
        about_ = FindByName(host_.get(), QStringLiteral("about"));
        ASSERT_NE(about_, nullptr);
    }
    void TearDown() override
    {
        host_.reset();
        QmlTest::TearDown();
    }

    QString WriteText(const QByteArray& text)
    {
        const QString path = QDir(folder_.path()).filePath(QStringLiteral("acknowledgements.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    std::unique_ptr<QObject> host_;
    QObject* about_ = nullptr;
    QTemporaryDir folder_;
};

TEST_F(AboutWindowControllerTest, FillsInTheVersionLogoAndArchitecture)
{
    AboutWindowController controller(about_, Engine(), QStringLiteral("2.7.0"),
                                     QStringLiteral("qrc:/images/test_icon.svg"), QString(),
                                     QStringLiteral("Rehearsal Edition"));
    EXPECT_EQ(controller.GetQmlObject(), about_);
    EXPECT_EQ(about_->property("version").toString(), "2.7.0");
    EXPECT_EQ(about_->property("versionIdentifier").toString(), "Rehearsal Edition");
    EXPECT_EQ(about_->property("logoSource").toString(), "qrc:/images/test_icon.svg");
    EXPECT_EQ(about_->property("architecture").toString(),
              brix::qt::ArchitectureText(QSysInfo::currentCpuArchitecture()));
}

TEST_F(AboutWindowControllerTest, TheArchitectureIsArmOnlyForArm64)
{
    EXPECT_EQ(brix::qt::ArchitectureText(QStringLiteral("arm64")), "ARM 64-bit");
    EXPECT_EQ(brix::qt::ArchitectureText(QStringLiteral("x86_64")), "Intel/AMD 64-bit");
    EXPECT_EQ(brix::qt::ArchitectureText(QStringLiteral("arm")), "Intel/AMD 64-bit");
}

TEST_F(AboutWindowControllerTest, TheAcknowledgmentsButtonOpensTheTextAndAnotherClickReplacesTheWindow)
{
    AboutWindowController controller(about_, Engine(), QStringLiteral("2.7.0"), QString(),
                                     WriteText("RapidJSON: MIT License\nlibarchive: BSD License\n"),
                                     QString());
    EXPECT_EQ(controller.GetAcknowledgementsWindow(), nullptr);
    QMetaObject::invokeMethod(about_, "acknowledgementsClicked");
    ASSERT_NE(controller.GetAcknowledgementsWindow(), nullptr);
    QPointer<QObject> first = controller.GetAcknowledgementsWindow()->GetQmlObject();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->property("acknowledgementText").toString(), "RapidJSON: MIT License\nlibarchive: BSD License\n");
    EXPECT_TRUE(first->property("visible").toBool());
    EXPECT_EQ(qobject_cast<QWindow*>(first.data())->transientParent(), host_.get());

    QMetaObject::invokeMethod(about_, "acknowledgementsClicked");
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(controller.GetAcknowledgementsWindow()->GetQmlObject(), nullptr);
}

TEST_F(AboutWindowControllerTest, AnUnreadableTextShowsTheErrorLine)
{
    AboutWindowController controller(about_, Engine(), QStringLiteral("2.7.0"), QString(),
                                     QDir(folder_.path()).filePath(QStringLiteral("missing.txt")), QString());
    controller.AcknowledgementsClicked();
    EXPECT_EQ(controller.GetAcknowledgementsWindow()->GetQmlObject()->property("acknowledgementText").toString(),
              "Error: Unable to Load Acknowledgements.");
}

TEST_F(AboutWindowControllerTest, ClosingTheAcknowledgementsWindowDeletesIt)
{
    AboutWindowController controller(about_, Engine(), QStringLiteral("2.7.0"), QString(), WriteText("Qt\n"),
                                     QString());
    controller.AcknowledgementsClicked();
    QPointer<QObject> window = controller.GetAcknowledgementsWindow()->GetQmlObject();
    qobject_cast<QWindow*>(window.data())->close();
    musical_test::RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(controller.GetAcknowledgementsWindow()->GetQmlObject(), nullptr);
}

TEST_F(AboutWindowControllerTest, TheAboutPanelIsNeverDeletedByItsController)
{
    QPointer<QObject> about = about_;
    {
        AboutWindowController controller(about_, Engine(), QStringLiteral("2.7.0"), QString(), QString(), QString());
        controller.Closing_(nullptr);
    }
    musical_test::RunDeferredDeletes();
    EXPECT_FALSE(about.isNull());
}

}  // namespace
