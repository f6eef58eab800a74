#include <InterimLauncher.h>

#include <gtest/gtest.h>

#include "ScopedVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using brix::test::ScopedVariable;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DemoShow, IsCopiedOnceWholeAndWritableAndAChangedCopyIsKept) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());

    const QString demo = brix::qt::PrepareDemoShow(data.path());
    EXPECT_EQ(demo, QDir(data.path()).filePath("shows/demo"));
    const QDir repository(BRIX_DEMO_SHOW_DIR);
    const QStringList files = repository.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    EXPECT_EQ(QDir(demo).entryList(QDir::Files, QDir::Name), files);
    for (const QString& name : files) {
        EXPECT_EQ(ReadAll(QDir(demo).filePath(name)), ReadAll(repository.filePath(name))) << name.toStdString();
        EXPECT_TRUE(QFile::permissions(QDir(demo).filePath(name)) & QFile::WriteOwner) << name.toStdString();
    }

    QFile show(QDir(demo).filePath("show.json"));
    ASSERT_TRUE(show.open(QIODevice::WriteOnly | QIODevice::Truncate));
    show.write("{\"changed\": true}");
    show.close();
    EXPECT_EQ(brix::qt::PrepareDemoShow(data.path()), demo);
    EXPECT_EQ(ReadAll(show.fileName()), "{\"changed\": true}");
    // No unfinished copy is left beside it.
    EXPECT_EQ(QDir(QDir(data.path()).filePath("shows")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"demo"});
}

TEST(DemoShow, ACopyThatCannotBeMadeThrowsAndNamesTheTarget) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    QFile blocker(QDir(data.path()).filePath("shows"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        brix::qt::PrepareDemoShow(data.path());
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot copy the demo show to " +
                                             QDir(data.path()).filePath("shows/demo").toStdString()),
                  std::string::npos)
            << e.what();
    }
}

TEST(ChooseShowFolder, TheNamedFolderWinsElseTheDemoCopy) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    {
        const ScopedVariable named(brix::qt::kShowFolderVariable, "/shows/lanterns");
        EXPECT_EQ(brix::qt::ChooseShowFolder(data.path()), "/shows/lanterns");
        EXPECT_FALSE(QDir(data.path()).exists("shows"));
    }
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        const ScopedVariable named(brix::qt::kShowFolderVariable, unset);
        EXPECT_EQ(brix::qt::ChooseShowFolder(data.path()), QDir(data.path()).filePath("shows/demo"));
        EXPECT_TRUE(QFile::exists(QDir(data.path()).filePath("shows/demo/show.json")));
    }
}

}  // namespace
