#include "OscSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtDebug>

#include <iostream>
#include <stdexcept>

namespace brix::osc {

namespace {

constexpr const char* kVersion = "1.0";

}  // namespace

OscSettings::OscSettings(bool oscEnabled, std::uint32_t oscListenPort)
    : oscEnabled_(oscEnabled), oscListenPort_(ValidPort(oscListenPort))
{
}

std::uint32_t OscSettings::ValidPort(std::int64_t port)
{
    return port >= 1 && port <= 65535 ? static_cast<std::uint32_t>(port) : kDefaultListenPort;
}

void OscSettings::Read(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "Failed to open osc settings file.";
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (object.value("version").toString() != kVersion) {
        return;
    }
    oscEnabled_ = object.value("oscEnabled").toBool(false);
    // toInteger of a fraction or of a number beyond 64 bits gives 0, which the port check refuses.
    oscListenPort_ = ValidPort(object.value("oscListenPort").toInteger(0));
}

void OscSettings::Write(const std::string& path) const
{
    const QString filePath = QString::fromStdString(path);
    const QJsonObject object{
        {"version", kVersion},
        {"oscEnabled", oscEnabled_},
        {"oscListenPort", static_cast<qint64>(oscListenPort_)},
    };
    const QString folder = QFileInfo(filePath).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::cerr << "Failed to create path for saving osc settings." << std::endl;
    }
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) < 0 ||
        !file.commit()) {
        throw std::runtime_error("Failed to save osc settings file " + path + ": " + file.errorString().toStdString());
    }
}

}  // namespace brix::osc
