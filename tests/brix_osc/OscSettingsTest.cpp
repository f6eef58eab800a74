#include "OscSettings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using brix::osc::OscSettings;

class OscSettingsFile : public ::testing::Test {
protected:
    std::string Path() const { return dir_.filePath(OscSettings::kFileName).toStdString(); }
    void WriteText(const QByteArray& text) const
    {
        QFile file(QString::fromStdString(Path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray ReadText() const
    {
        QFile file(QString::fromStdString(Path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_F(OscSettingsFile, DefaultsAreOnAtPort55037)
{
    EXPECT_EQ(OscSettings(), OscSettings(true, 55037));
}

TEST_F(OscSettingsFile, WrittenSettingsReadBackAsIndentedJsonWithSortedKeys)
{
    OscSettings(false, 9000).Write(Path());
    const QByteArray text = ReadText();
    EXPECT_EQ(text, "{\n    \"oscEnabled\": false,\n    \"oscListenPort\": 9000,\n    \"version\": \"1.0\"\n}\n");
    OscSettings read;
    read.Read(Path());
    EXPECT_EQ(read, OscSettings(false, 9000));
}

TEST_F(OscSettingsFile, FileContentsGiveTheirValuesOnlyForVersion1)
{
    struct Case {
        const char* name;
        QByteArray text;
        OscSettings expected;
    };
    const std::vector<Case> cases = {
        {"version alone", R"({"version":"1.0"})", OscSettings(false, 55037)},
        {"full", R"({"version":"1.0","oscEnabled":true,"oscListenPort":8001})", OscSettings(true, 8001)},
        {"other version", R"({"version":"2.0","oscEnabled":false,"oscListenPort":8001})", OscSettings()},
        {"numeric version", R"({"version":1.0,"oscEnabled":false,"oscListenPort":8001})", OscSettings()},
        {"no JSON", "oscEnabled=false", OscSettings()},
        {"an array", R"([{"version":"1.0","oscEnabled":false}])", OscSettings()},
        {"port 0", R"({"version":"1.0","oscEnabled":true,"oscListenPort":0})", OscSettings(true, 55037)},
        {"port 65536", R"({"version":"1.0","oscEnabled":true,"oscListenPort":65536})", OscSettings(true, 55037)},
        {"negative port", R"({"version":"1.0","oscEnabled":true,"oscListenPort":-5})", OscSettings(true, 55037)},
        {"port as text", R"({"version":"1.0","oscEnabled":true,"oscListenPort":"9000"})", OscSettings(true, 55037)},
        {"port 65535", R"({"version":"1.0","oscEnabled":true,"oscListenPort":65535})", OscSettings(true, 65535)},
    };
    for (const Case& c : cases) {
        WriteText(c.text);
        OscSettings settings;
        settings.Read(Path());
        EXPECT_EQ(settings, c.expected) << c.name;
    }
}

TEST_F(OscSettingsFile, AMissingFileLeavesTheSettingsAsTheyAre)
{
    OscSettings settings(false, 7000);
    settings.Read(Path());
    EXPECT_EQ(settings, OscSettings(false, 7000));
}

TEST_F(OscSettingsFile, PortsOutsideTheUdpRangeAreRefusedForTheDefault)
{
    EXPECT_EQ(OscSettings(true, 0).GetOscListenPort(), 55037u);
    EXPECT_EQ(OscSettings(true, 70000).GetOscListenPort(), 55037u);
    EXPECT_EQ(OscSettings(true, 1).GetOscListenPort(), 1u);
}

TEST_F(OscSettingsFile, MissingFoldersAreCreated)
{
    const std::string path = dir_.filePath("a/b/osc_settings.brix").toStdString();
    OscSettings(true, 1234).Write(path);
    OscSettings read(false, 1);
    read.Read(path);
    EXPECT_EQ(read, OscSettings(true, 1234));
}

TEST_F(OscSettingsFile, ARewriteReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    OscSettings(false, 4000).Write(Path());
    OscSettings(true, 12).Write(Path());
    OscSettings read;
    read.Read(Path());
    EXPECT_EQ(read, OscSettings(true, 12));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{OscSettings::kFileName});
}

TEST_F(OscSettingsFile, AFailedWriteIsReported)
{
    // A folder where the temporary file would go: the write cannot complete.
    const QString blocked = dir_.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(blocked + "/" + OscSettings::kFileName));
    try {
        OscSettings().Write((blocked + "/" + OscSettings::kFileName).toStdString());
        FAIL() << "writing over a folder succeeded";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with("Failed to save osc settings file ")) << error.what();
    }
    // A file in the way of the folder: the folder cannot be made.
    QFile file(dir_.filePath("plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_THROW(OscSettings().Write(dir_.filePath("plain/osc_settings.brix").toStdString()), std::runtime_error);
}

}  // namespace
