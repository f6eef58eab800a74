#include "ShowStore.h"

#include <fennic/Exceptions.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace brix {

namespace {

using networking::ServerRoute;
using networking::ServerSettings;
using networking::ShowRecord;

const char* const kStoreName = "shows.json";
const char* const kDamagedSuffix = ".damaged";
constexpr int kFormat = 1;

QString ToQ(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }
std::string ToStd(const QString& text) { return text.toStdString(); }
std::filesystem::path ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The record of a show folder: its normal absolute path as the id and folder, the names and server of
// its show.json.
ShowRecord ReadRecord(const std::filesystem::path& showFolder) {
    std::filesystem::path folder = std::filesystem::absolute(showFolder).lexically_normal();
    if (folder.filename().empty()) {
        folder = folder.parent_path();  // "show/." and "show/" name the folder "show"
    }
    const QString folderText = ToQ(folder);
    QFile file(QDir(folderText).filePath(QStringLiteral("show.json")));
    if (!file.open(QIODevice::ReadOnly)) {
        throw fennic::IoError(folder.string() + " is not a show folder: it has no show.json");
    }
    const QJsonObject show = QJsonDocument::fromJson(file.readAll()).object();
    ShowRecord record;
    record.id = folder.string();
    record.folder = folder.string();
    record.name = ToStd(show.value(QLatin1String("name")).toString());
    if (record.name.empty()) {
        record.name = folder.filename().string();
    }
    record.customer = ToStd(show.value(QLatin1String("customer")).toString());
    record.server = networking::ReadServerSettings(folder);
    return record;
}

QJsonObject ToJson(const ShowRecord& record) {
    QJsonObject server;
    if (record.server) {
        server[QStringLiteral("address")] = QString::fromStdString(record.server->address);
        server[QStringLiteral("route")] =
            record.server->route == ServerRoute::Portal ? QStringLiteral("portal") : QStringLiteral("request");
        server[QStringLiteral("credentials")] =
            QJsonObject{{QStringLiteral("show"), QString::fromStdString(record.server->credentials.show)},
                        {QStringLiteral("token"), QString::fromStdString(record.server->credentials.token)}};
    } else {
        server[QStringLiteral("route")] = QStringLiteral("none");
    }
    return QJsonObject{{QStringLiteral("id"), QString::fromStdString(record.id)},
                       {QStringLiteral("name"), QString::fromStdString(record.name)},
                       {QStringLiteral("customer"), QString::fromStdString(record.customer)},
                       {QStringLiteral("folder"), QString::fromStdString(record.folder)},
                       {QStringLiteral("server"), server}};
}

// A record of the store file; none when it lacks its id or folder or names an unknown route.
std::optional<ShowRecord> FromJson(const QJsonObject& object) {
    ShowRecord record;
    record.id = ToStd(object.value(QLatin1String("id")).toString());
    record.folder = ToStd(object.value(QLatin1String("folder")).toString());
    record.name = ToStd(object.value(QLatin1String("name")).toString());
    record.customer = ToStd(object.value(QLatin1String("customer")).toString());
    if (record.id.empty() || record.folder.empty()) {
        return std::nullopt;
    }
    const QJsonObject server = object.value(QLatin1String("server")).toObject();
    const QString route = server.value(QLatin1String("route")).toString(QStringLiteral("none"));
    if (route == QLatin1String("none")) {
        return record;
    }
    if (route != QLatin1String("request") && route != QLatin1String("portal")) {
        return std::nullopt;
    }
    ServerSettings settings;
    settings.address = ToStd(server.value(QLatin1String("address")).toString());
    settings.route = route == QLatin1String("portal") ? ServerRoute::Portal : ServerRoute::Request;
    const QJsonObject credentials = server.value(QLatin1String("credentials")).toObject();
    settings.credentials.show = ToStd(credentials.value(QLatin1String("show")).toString());
    settings.credentials.token = ToStd(credentials.value(QLatin1String("token")).toString());
    record.server = settings;
    return record;
}

}  // namespace

ShowStore::ShowStore(std::filesystem::path userDataFolder) : userDataFolder_(std::move(userDataFolder)) {
    if (std::filesystem::exists(FilePath())) {
        Load();
    } else {
        ChooseDemo();
    }
}

std::filesystem::path ShowStore::FilePath() const { return userDataFolder_ / kStoreName; }

std::filesystem::path ShowStore::DemoFolder() const { return userDataFolder_ / "shows" / "demo"; }

std::optional<ShowRecord> ShowStore::Current() const {
    const auto found = std::find_if(shows_.begin(), shows_.end(),
                                    [this](const ShowRecord& record) { return record.id == current_; });
    std::error_code ignored;
    if (found == shows_.end() || !std::filesystem::is_directory(found->folder, ignored)) {
        return std::nullopt;
    }
    return *found;
}

ShowRecord ShowStore::Choose(const std::filesystem::path& showFolder) {
    const ShowRecord record = ReadRecord(showFolder);
    const auto found = std::find_if(shows_.begin(), shows_.end(),
                                    [&record](const ShowRecord& known) { return known.id == record.id; });
    if (found == shows_.end()) {
        shows_.push_back(record);
    } else {
        *found = record;
    }
    current_ = record.id;
    Save();
    return record;
}

ShowRecord ShowStore::ChooseDemo() {
    return Choose(ToPath(qt::PrepareDemoShow(ToQ(userDataFolder_))));
}

void ShowStore::Update(const ShowRecord& record) {
    const auto found = std::find_if(shows_.begin(), shows_.end(),
                                    [&record](const ShowRecord& known) { return known.id == record.id; });
    if (found == shows_.end()) {
        return;
    }
    *found = record;
    Save();
}

void ShowStore::Load() {
    QFile file(ToQ(FilePath()));
    QJsonParseError parseError{};
    const QJsonDocument document =
        file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &parseError) : QJsonDocument();
    file.close();
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toInt() != kFormat ||
        !root.value(QLatin1String("shows")).isArray()) {
        const QString damaged = file.fileName() + QLatin1String(kDamagedSuffix);
        QFile::remove(damaged);
        QFile::rename(file.fileName(), damaged);
        std::fprintf(stderr, "The show list %s cannot be read; it was kept as %s\n",
                     qPrintable(file.fileName()), qPrintable(damaged));
        return;
    }
    for (const QJsonValue& value : root.value(QLatin1String("shows")).toArray()) {
        if (auto record = FromJson(value.toObject())) {
            shows_.push_back(std::move(*record));
        }
    }
    current_ = ToStd(root.value(QLatin1String("current")).toString());
}

void ShowStore::Save() const {
    QJsonArray shows;
    for (const ShowRecord& record : shows_) {
        shows.append(ToJson(record));
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("current"), QString::fromStdString(current_)},
                           {QStringLiteral("shows"), shows}};
    QSaveFile file(ToQ(FilePath()));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 || !file.commit()) {
        throw fennic::IoError("Cannot write the show list " + FilePath().string() + ": " +
                              file.errorString().toStdString());
    }
}

namespace qt {

namespace {

const char* const kDemoShowResource = ":/shows/demo";

[[noreturn]] void ThrowCopyError(const QString& target, const QString& why) {
    throw fennic::IoError(QStringLiteral("Cannot copy the demo show to %1: %2").arg(target, why).toStdString());
}

}  // namespace

QString PrepareDemoShow(const QString& productDataFolder) {
    const QDir shows(QDir(productDataFolder).filePath(QStringLiteral("shows")));
    const QString target = shows.filePath(QStringLiteral("demo"));
    if (QFileInfo::exists(target)) {
        return target;
    }
    if (!shows.mkpath(QStringLiteral("."))) {
        ThrowCopyError(target, QStringLiteral("cannot create %1").arg(shows.path()));
    }
    QTemporaryDir copy(shows.filePath(QStringLiteral(".demo-XXXXXX")));
    if (!copy.isValid()) {
        ThrowCopyError(target, copy.errorString());
    }
    const QDir source(kDemoShowResource);
    const QStringList files = source.entryList(QDir::Files);
    if (files.isEmpty()) {
        ThrowCopyError(target, QStringLiteral("the program holds no demo show"));
    }
    for (const QString& name : files) {
        QFile file(source.filePath(name));
        const QString copied = QDir(copy.path()).filePath(name);
        if (!file.copy(copied)) {
            ThrowCopyError(target, QStringLiteral("%1: %2").arg(name, file.errorString()));
        }
        // Copies of resources are read-only; the show's files are the user's to change.
        QFile::setPermissions(copied, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
    }
    if (!QDir().rename(copy.path(), target) && !QFileInfo::exists(target)) {
        ThrowCopyError(target, QStringLiteral("cannot rename %1").arg(copy.path()));
    }
    return target;
}

}  // namespace qt
}  // namespace brix
