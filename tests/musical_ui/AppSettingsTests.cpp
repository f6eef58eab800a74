#include "AppSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace {

using brix::AppSettings;

class AppSettingsTest : public ::testing::Test {
protected:
    // The settings of one run of the program: opened on the folder's file and loaded.
    std::unique_ptr<AppSettings> Run()
    {
        auto settings = std::make_unique<AppSettings>(brix::OpenGeneralSettings(folder_.path()));
        settings->Load();
        return settings;
    }

    QString FilePath() const { return QDir(folder_.path()).filePath(QStringLiteral("general_settings.brix")); }

    QByteArray FileText() const
    {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void WriteFile(const QByteArray& text) const
    {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir folder_;
};

TEST_F(AppSettingsTest, AFreshInstallationLoadsTheDefaults)
{
    auto settings = Run();
    EXPECT_EQ(settings->GetDefaultVolume(), 1.0);
    EXPECT_EQ(settings->GetClickVolumeLinear(), 1.0);
    EXPECT_EQ(settings->GetDefaultOutputDeviceString(), "");
    EXPECT_EQ(settings->GetCurrentMidiSourceName(), "");
    EXPECT_TRUE(settings->GetShowDialog(QStringLiteral("ShowRehearsalNotice")));
}

TEST_F(AppSettingsTest, SavedValuesComeBackInTheNextRun)
{
    {
        auto settings = Run();
        settings->SetDefaultVolume(0.42);
        settings->SetClickVolumeLinear(0.125);
        settings->SetDefaultOutputDeviceString(QStringLiteral("hw:1,0 \u00dcber"));
        settings->SetCurrentMidiSourceName(QStringLiteral("Keyboard, Port 1"));
        settings->Save();
    }
    auto settings = Run();
    EXPECT_EQ(settings->GetDefaultVolume(), 0.42);
    EXPECT_EQ(settings->GetClickVolumeLinear(), 0.125);
    EXPECT_EQ(settings->GetDefaultOutputDeviceString(), QStringLiteral("hw:1,0 \u00dcber"));
    EXPECT_EQ(settings->GetCurrentMidiSourceName(), "Keyboard, Port 1");

    const QByteArray before = FileText();
    settings->Save();
    EXPECT_EQ(FileText(), before);
}

TEST_F(AppSettingsTest, SettersDoNotSave)
{
    {
        auto settings = Run();
        settings->SetDefaultVolume(0.5);
    }
    EXPECT_EQ(Run()->GetDefaultVolume(), 1.0);
}

TEST_F(AppSettingsTest, DialogChoicesAreStoredAtOnceInTheDialogsGroup)
{
    auto settings = Run();
    settings->SetShowDialog(QStringLiteral("ShowRehearsalNotice"), false);
    settings->SetShowDialog(QStringLiteral("ShowClickNotice"), true);

    auto later = Run();
    EXPECT_FALSE(later->GetShowDialog(QStringLiteral("ShowRehearsalNotice")));
    EXPECT_TRUE(later->GetShowDialog(QStringLiteral("ShowClickNotice")));
    EXPECT_TRUE(later->GetShowDialog(QStringLiteral("ShowPerformanceNotice")));

    QSettings file(FilePath(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Dialogs"));
    EXPECT_EQ(file.value(QStringLiteral("ShowRehearsalNotice")).toStringList(), QStringList{"false"});
    EXPECT_EQ(file.value(QStringLiteral("ShowClickNotice")).toStringList(), QStringList{"true"});

    later->SetShowDialog(QStringLiteral("ShowRehearsalNotice"), true);
    EXPECT_TRUE(Run()->GetShowDialog(QStringLiteral("ShowRehearsalNotice")));
}

TEST_F(AppSettingsTest, UnreadableValuesFallBackToTheDefaults)
{
    WriteFile("[General]\ndefaultVolume=loud\nclickVolumeLinear=0.25\n"
              "[Dialogs]\nShowA=no\nShowB=0\nShowC=yes\n");
    auto settings = Run();
    EXPECT_EQ(settings->GetDefaultVolume(), 1.0);
    EXPECT_EQ(settings->GetClickVolumeLinear(), 0.25);
    // A stored text reads as Qt converts it to bool: only "false", "0" and "" are false.
    EXPECT_TRUE(settings->GetShowDialog(QStringLiteral("ShowA")));
    EXPECT_FALSE(settings->GetShowDialog(QStringLiteral("ShowB")));
    EXPECT_TRUE(settings->GetShowDialog(QStringLiteral("ShowC")));
}

}  // namespace
