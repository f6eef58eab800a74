#include <ShowStore.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

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

// A show folder in the temporary folder: show.json with the name and the given extra members.
QString MakeShow(const QTemporaryDir& parent, const QString& name, const QByteArray& extra = {}) {
    const QString folder = QDir(parent.path()).filePath(name);
    QDir().mkpath(folder);
    QFile show(QDir(folder).filePath("show.json"));
    show.open(QIODevice::WriteOnly | QIODevice::Truncate);
    show.write("{\"format\": 1, \"name\": \"" + name.toUtf8() + "\", \"customer\": \"Quay Players\"" + extra + "}");
    return folder;
}

TEST(ShowStore, AFirstStartMakesTheDemoCurrentAndAChoiceIsKeptWithItsServer) {
    QTemporaryDir data;
    QTemporaryDir shows;
    ASSERT_TRUE(data.isValid() && shows.isValid());
    const QString portal = MakeShow(shows, "Harbour", R"(, "server": {"address": "http://127.0.0.1:9", "route": "portal",
        "credentials": {"show": "harbour", "token": "t0k"}})");
    {
        brix::ShowStore store(data.path().toStdString());
        ASSERT_TRUE(store.Current().has_value());
        EXPECT_EQ(store.Current()->folder, store.DemoFolder().string());
        EXPECT_EQ(store.Current()->name, "Lanterns on the Quay");
        EXPECT_FALSE(store.Current()->server.has_value());
        store.Choose(portal.toStdString());
    }
    brix::ShowStore reopened(data.path().toStdString());
    ASSERT_EQ(reopened.Shows().size(), 2u);
    const auto current = reopened.Current();
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->folder, portal.toStdString());
    EXPECT_EQ(current->name, "Harbour");
    EXPECT_EQ(current->customer, "Quay Players");
    ASSERT_TRUE(current->server.has_value());
    EXPECT_EQ(current->server->address, "http://127.0.0.1:9");
    EXPECT_EQ(current->server->route, brix::networking::ServerRoute::Portal);
    EXPECT_EQ(current->server->credentials, (brix::networking::Credentials{"harbour", "t0k"}));

    // Choosing a known folder again refreshes its record instead of adding one.
    reopened.Choose(portal.toStdString() + "/.");
    EXPECT_EQ(reopened.Shows().size(), 2u);

    // A record the download returned replaces the stored one; an unknown one adds nothing.
    brix::networking::ShowRecord renamed = *current;
    renamed.name = "Harbour (revised)";
    brix::networking::ShowRecord unknown = renamed;
    unknown.id = "/nowhere";
    reopened.Update(renamed);
    reopened.Update(unknown);
    const brix::ShowStore again(data.path().toStdString());
    ASSERT_EQ(again.Shows().size(), 2u);
    EXPECT_EQ(again.Current()->name, "Harbour (revised)");
}

TEST(ShowStore, WhatCannotBeChosenOrReadLeavesTheListUsable) {
    QTemporaryDir data;
    QTemporaryDir shows;
    ASSERT_TRUE(data.isValid() && shows.isValid());
    brix::ShowStore store(data.path().toStdString());
    const std::string demo = store.Current()->folder;

    // Not show folders, or a malformed server: the store is unchanged.
    QDir().mkpath(QDir(shows.path()).filePath("empty"));
    const QString badServer = MakeShow(shows, "Bad", R"(, "server": {"address": "ftp://x", "route": "portal"})");
    const struct {
        QString folder;
        const char* named;
    } table[] = {{QDir(shows.path()).filePath("empty"), "has no show.json"},
                 {QDir(shows.path()).filePath("missing"), "has no show.json"},
                 {badServer, "show.json"}};
    for (const auto& row : table) {
        try {
            store.Choose(row.folder.toStdString());
            ADD_FAILURE() << "no error for " << row.folder.toStdString();
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(row.named), std::string::npos) << e.what();
        }
        EXPECT_EQ(store.Current()->folder, demo);
        EXPECT_EQ(store.Shows().size(), 1u);
    }

    // The current show's folder went away: no current show.
    const QString gone = MakeShow(shows, "Gone");
    store.Choose(gone.toStdString());
    ASSERT_TRUE(QDir(gone).removeRecursively());
    EXPECT_FALSE(store.Current().has_value());

    // A damaged list is set aside, not overwritten, and the store starts without a current show.
    QFile file(QString::fromStdString(store.FilePath().string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"format\": 1, \"shows\": [");
    file.close();
    brix::ShowStore damaged(data.path().toStdString());
    EXPECT_TRUE(damaged.Shows().empty());
    EXPECT_FALSE(damaged.Current().has_value());
    EXPECT_EQ(ReadAll(file.fileName() + ".damaged"), "{\"format\": 1, \"shows\": [");
}

}  // namespace
