#include "MixerTracksModel.h"

#include "StringValueListModel.h"

#include <algorithm>
#include <cmath>

namespace brix::qt {

void MixerTracksModel::AddTrack(std::unique_ptr<MixerTrackItem> track)
{
    const int row = static_cast<int>(tracks_.size());
    beginInsertRows(QModelIndex(), row, row);
    track->setParent(nullptr);  // owned by the vector, not by the object tree
    tracks_.push_back(std::move(track));
    endInsertRows();
}

int MixerTracksModel::RowOfTrack(int trackId) const
{
    for (std::size_t row = 0; row < tracks_.size(); ++row) {
        if (tracks_[row]->trackId == trackId)
            return static_cast<int>(row);
    }
    return -1;
}

bool MixerTracksModel::AllMuted() const
{
    return std::all_of(tracks_.begin(), tracks_.end(), [](const auto& track) { return track->isMuted; });
}

bool MixerTracksModel::AllSoloed() const
{
    return std::all_of(tracks_.begin(), tracks_.end(), [](const auto& track) { return track->isSolo; });
}

void MixerTracksModel::NotifyRowChanged(int row, int role)
{
    if (!HasRow(row))
        return;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {role});
}

int MixerTracksModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(tracks_.size());
}

QVariant MixerTracksModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !HasRow(index.row()))
        return {};
    const MixerTrackItem& track = *tracks_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case IsMutedRole:
        return track.isMuted;
    case IsSoloRole:
        return track.isSolo;
    case VolumeScaledDbRole:
        return track.volumeScaledDb;
    case PanRole:
        return track.pan;
    case EnableMuteRole:
        return track.enableMute;
    case EnableSoloRole:
        return track.enableSolo;
    case InstrumentRole:
        return track.instrument;
    case NameRole:
        return track.name;
    case AllowInstrumentChangesRole:
        return track.allowInstrumentChanges;
    case InstrumentModelRole:
        return QVariant::fromValue(static_cast<QObject*>(track.instrumentModel));
    default:
        return {};
    }
}

bool MixerTracksModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !HasRow(index.row()))
        return false;
    MixerTrackItem& track = *tracks_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case IsMutedRole:
        track.isMuted = value.toBool();
        emit muteTrackRequested(track.trackId, track.isMuted);
        emit dataChanged(index, index);  // every role: the section's state may follow
        return true;
    case IsSoloRole:
        track.isSolo = value.toBool();
        emit soloTrackRequested(track.trackId, track.isSolo);
        break;
    case VolumeScaledDbRole: {
        track.volumeScaledDb = value.toFloat();
        // The fader's decibels (25 ln s) as a linear gain.
        const double decibels = 25.0 * static_cast<double>(std::log(track.volumeScaledDb));
        emit volumeTrackRequested(track.trackId, std::pow(10.0, decibels / 20.0));
        break;
    }
    case PanRole:
        track.pan = value.toFloat();
        emit panTrackRequested(track.trackId, value.toDouble());
        break;
    case InstrumentRole:
        track.instrument = value.toInt();
        emit instrumentTrackRequested(track.trackId, track.instrument);
        break;
    case EnableMuteRole:
        track.enableMute = value.toBool();
        break;
    case EnableSoloRole:
        track.enableSolo = value.toBool();
        break;
    case NameRole:
        track.name = value.toString();
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags MixerTracksModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> MixerTracksModel::roleNames() const
{
    return {
        {IsMutedRole, "isMuted"},
        {IsSoloRole, "isSolo"},
        {VolumeScaledDbRole, "volumeScaledDb"},
        {PanRole, "pan"},
        {EnableMuteRole, "enableMute"},
        {EnableSoloRole, "enableSolo"},
        {InstrumentRole, "instrument"},
        {NameRole, "name"},
        {AllowInstrumentChangesRole, "allowInstrumentChanges"},
        {InstrumentModelRole, "instrumentModel"},
    };
}

void MixerTracksModel::setMute(int row, bool muted)
{
    setData(index(row, 0), muted, IsMutedRole);
}

void MixerTracksModel::setSolo(int row, bool solo)
{
    setData(index(row, 0), solo, IsSoloRole);
}

void MixerTracksModel::setVolumeScaledDb(int row, double volumeScaledDb)
{
    setData(index(row, 0), volumeScaledDb, VolumeScaledDbRole);
}

void MixerTracksModel::setPan(int row, double pan)
{
    setData(index(row, 0), pan, PanRole);
}

void MixerTracksModel::setInstrument(int row, int instrument)
{
    setData(index(row, 0), instrument, InstrumentRole);
}

QString MixerTracksModel::instrumentDisplayName(int row) const
{
    if (!HasRow(row))
        return {};
    const MixerTrackItem& track = *tracks_[static_cast<std::size_t>(row)];
    if (track.instrumentModel == nullptr)
        return {};
    const StringValueListModel& list = *track.instrumentModel;
    for (int entry = 0; entry < list.rowCount(); ++entry) {
        const QModelIndex at = list.index(entry, 0);
        if (list.data(at, StringValueListModel::ValueRole).toInt() == track.instrument)
            return list.data(at, StringValueListModel::DisplayNameRole).toString();
    }
    return {};
}

}  // namespace brix::qt
