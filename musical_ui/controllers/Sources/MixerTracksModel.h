#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class StringValueListModel;

namespace brix::qt {

// One track of the mixer as the view shows it. Values are the view's: volumeScaledDb is the fader's
// control value s in [0, 1] (dB = 25 ln s), pan runs from -1 to +1, instrument is the program number.
// instrumentModel points at one of the mixer controller's instrument lists (not owned).
class MixerTrackItem : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    QString name;
    std::int32_t trackId = -1;
    bool isMuted = false;
    bool isSolo = false;
    float volumeScaledDb = 1.0F;
    float pan = 0.0F;
    bool enableMute = true;
    bool enableSolo = true;
    int instrument = 0;
    bool allowInstrumentChanges = true;
    StringValueListModel* instrumentModel = nullptr;
};

// MixerTracksModel: the tracks of one mixer section, one row per track in the order added. Writes from
// the view (setData, or the invokable setters) store the value and ask for its effect through the
// request signals, which the mixer controller carries out on the engine.
// Owner: its section. Thread: GUI thread only.
class MixerTracksModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        IsMutedRole = Qt::UserRole + 1,
        IsSoloRole,
        VolumeScaledDbRole,
        PanRole,
        EnableMuteRole,
        EnableSoloRole,
        InstrumentRole,
        NameRole,
        AllowInstrumentChangesRole,
        InstrumentModelRole,
    };

    using QAbstractListModel::QAbstractListModel;

    // Appends the track; the model owns it from then on.
    void AddTrack(std::unique_ptr<MixerTrackItem> track);
    const std::vector<std::unique_ptr<MixerTrackItem>>& Tracks() const { return tracks_; }
    // The row of the track with that id; -1 when the model has none.
    int RowOfTrack(int trackId) const;
    bool AllMuted() const;
    bool AllSoloed() const;
    // Tells the views that the row's value of that role changed.
    void NotifyRowChanged(int row, int role);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE void setMute(int row, bool muted);
    Q_INVOKABLE void setSolo(int row, bool solo);
    Q_INVOKABLE void setVolumeScaledDb(int row, double volumeScaledDb);
    Q_INVOKABLE void setPan(int row, double pan);
    Q_INVOKABLE void setInstrument(int row, int instrument);
    // The name of the row's program in its instrument list; empty when the row is out of range, has no
    // list or its program is not in the list.
    Q_INVOKABLE QString instrumentDisplayName(int row) const;

signals:
    void instrumentTrackRequested(int trackId, int instrumentValue);
    void muteTrackRequested(int trackId, bool value);
    void panTrackRequested(int trackId, double value);
    void soloTrackRequested(int trackId, bool value);
    // The linear gain of the fader's new position.
    void volumeTrackRequested(int trackId, double linearValue);

private:
    bool HasRow(int row) const { return row >= 0 && row < static_cast<int>(tracks_.size()); }

    std::vector<std::unique_ptr<MixerTrackItem>> tracks_;
};

}  // namespace brix::qt
