#pragma once

#include <QtCore/QAbstractListModel>
#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QStringList>
#include <QtCore/QVariant>
#include <QtCore/QVariantList>
#include <QtCore/QVariantMap>

// A host's model of running audio players for the active-audio list tests: one row per player with the
// roles id, name, isPlaying, isPinned, progress and duration (a role named "id" is what a QML ListModel
// cannot have). Rows are given as maps; a role missing from a map reads as no value. The row may write
// isPinned and progress back, progress only while `refusesProgress` is off. playTrack and stopTrack are
// recorded in `calls` and set the player's isPlaying. GUI thread only.
class ActiveAudioTestModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(QVariantList players READ players WRITE setPlayers NOTIFY playersChanged)
    Q_PROPERTY(bool refusesProgress MEMBER refusesProgress_ NOTIFY refusesProgressChanged)
    Q_PROPERTY(QStringList calls READ calls NOTIFY callsChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    QVariantList players() const;
    void setPlayers(const QVariantList& players);
    const QStringList& calls() const { return calls_; }

    Q_INVOKABLE void playTrack(int playerId);
    Q_INVOKABLE void stopTrack(int playerId, bool isUrgent);
    // The value of a role in a row as the model holds it.
    Q_INVOKABLE QVariant valueAt(int row, const QString& role) const;

signals:
    void playersChanged();
    void refusesProgressChanged();
    void callsChanged();

private:
    void SetPlaying(int playerId, bool isPlaying);

    QList<QVariantMap> rows_;
    QStringList calls_;
    bool refusesProgress_ = false;
};
