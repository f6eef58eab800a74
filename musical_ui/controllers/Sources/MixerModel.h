#pragma once

#include "MixerTracksModel.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace brix::qt {

// One section of the mixer ("Instruments", "Vocal Parts"): its title, tooltip, group mute and solo
// states and its tracks. A child of the mixer model once added.
class MixerSectionItem : public QObject {
    Q_OBJECT

public:
    MixerSectionItem(QString name, QString tooltip, QObject* parent = nullptr);

    QString name;
    QString tooltip;
    bool isMuted = false;
    bool isSolo = false;
    // A child of the section.
    MixerTracksModel* const tracksModel;
};

// MixerModel: the sections of the mixer, one row each in the order added. Writing a section's isMuted
// or isSolo from the view stores it and asks the mixer controller for the group mute or solo through
// the request signals.
// Owner: the mixer controller, which replaces it on every rebuild. Thread: GUI thread only.
class MixerModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        NameRole = Qt::UserRole + 1,
        IsMutedRole,
        IsSoloRole,
        TracksModelRole,
        TooltipRole,
    };

    using QAbstractListModel::QAbstractListModel;

    // Appends the section and makes the model its parent.
    void AddSection(MixerSectionItem* section);
    const QList<MixerSectionItem*>& Sections() const { return sections_; }
    // Tells the views that the section's row changed (every role).
    void NotifySectionChanged(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void muteSectionRequested(int index, bool value);
    void soloSectionRequested(int index, bool value);

private:
    bool HasRow(int row) const { return row >= 0 && row < sections_.size(); }

    QList<MixerSectionItem*> sections_;
};

}  // namespace brix::qt
