#include "AppSettings.h"

#include <QDir>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace brix {

namespace {

const QString kDefaultVolumeKey = QStringLiteral("defaultVolume");
const QString kClickVolumeKey = QStringLiteral("clickVolumeLinear");
const QString kOutputDeviceKey = QStringLiteral("defaultOutputDeviceString");
const QString kMidiSourceKey = QStringLiteral("currentMidiSourceName");
const QString kDialogsGroup = QStringLiteral("Dialogs");

// A stored number, or the fallback when it is missing or does not read as a number.
double ReadDouble(const QSettings& store, const QString& key, double fallback)
{
    bool ok = false;
    const double value = store.value(key, fallback).toDouble(&ok);
    return ok ? value : fallback;
}

}  // namespace

AppSettings::AppSettings(std::unique_ptr<QSettings> store) : store_(std::move(store)) {}

AppSettings::~AppSettings() = default;

void AppSettings::Load()
{
    defaultVolume_ = ReadDouble(*store_, kDefaultVolumeKey, defaultDefaultVolume_);
    clickVolumeLinear_ = ReadDouble(*store_, kClickVolumeKey, defaultClickVolumeLinear_);
    defaultOutputDevice_ = store_->value(kOutputDeviceKey, defaultOutputDeviceDefault_).toString();
    currentMidiSourceName_ = store_->value(kMidiSourceKey, QString()).toString();
}

void AppSettings::Save()
{
    store_->setValue(kDefaultVolumeKey, defaultVolume_);
    store_->setValue(kOutputDeviceKey, defaultOutputDevice_);
    store_->setValue(kClickVolumeKey, clickVolumeLinear_);
    store_->setValue(kMidiSourceKey, currentMidiSourceName_);
    store_->sync();
}

bool AppSettings::GetShowDialog(const QString& dialogKey)
{
    store_->beginGroup(kDialogsGroup);
    const QStringList stored = store_->value(dialogKey).toStringList();
    store_->endGroup();
    return stored.isEmpty() || QVariant(stored.first()).toBool();
}

void AppSettings::SetShowDialog(const QString& dialogKey, bool show)
{
    store_->beginGroup(kDialogsGroup);
    store_->setValue(dialogKey, QStringList{show ? QStringLiteral("true") : QStringLiteral("false")});
    store_->endGroup();
    store_->sync();
}

std::unique_ptr<QSettings> OpenGeneralSettings(const QString& userDataFolder)
{
    return std::make_unique<QSettings>(QDir(userDataFolder).filePath(QString::fromLatin1(kGeneralSettingsFileName)),
                                       QSettings::IniFormat);
}

}  // namespace brix
