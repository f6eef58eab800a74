#include "ActiveAudioTestModel.h"

namespace {

// Role numbers from Qt::UserRole + 1 in the order of this table.
const QList<QByteArray> kRoles = {"id", "name", "isPlaying", "isPinned", "progress", "duration"};

QByteArray RoleName(int role)
{
    const int position = role - Qt::UserRole - 1;
    return position >= 0 && position < kRoles.size() ? kRoles[position] : QByteArray();
}

}  // namespace

int ActiveAudioTestModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ActiveAudioTestModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return rows_[index.row()].value(QString::fromLatin1(RoleName(role)));
}

bool ActiveAudioTestModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QByteArray name = RoleName(role);
    if (name != "isPinned" && !(name == "progress" && !refusesProgress_))
        return false;
    rows_[index.row()].insert(QString::fromLatin1(name), value);
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> ActiveAudioTestModel::roleNames() const
{
    QHash<int, QByteArray> names;
    for (int i = 0; i < kRoles.size(); ++i)
        names.insert(Qt::UserRole + 1 + i, kRoles[i]);
    return names;
}

QVariantList ActiveAudioTestModel::players() const
{
    QVariantList list;
    for (const QVariantMap& row : rows_)
        list.append(row);
    return list;
}

void ActiveAudioTestModel::setPlayers(const QVariantList& players)
{
    beginResetModel();
    rows_.clear();
    for (const QVariant& player : players)
        rows_.append(player.toMap());
    endResetModel();
    emit playersChanged();
}

void ActiveAudioTestModel::playTrack(int playerId)
{
    calls_.append(QStringLiteral("playTrack(%1)").arg(playerId));
    emit callsChanged();
    SetPlaying(playerId, true);
}

void ActiveAudioTestModel::stopTrack(int playerId, bool isUrgent)
{
    calls_.append(QStringLiteral("stopTrack(%1, %2)").arg(playerId).arg(isUrgent ? "true" : "false"));
    emit callsChanged();
    SetPlaying(playerId, false);
}

QVariant ActiveAudioTestModel::valueAt(int row, const QString& role) const
{
    return row >= 0 && row < rows_.size() ? rows_[row].value(role) : QVariant();
}

void ActiveAudioTestModel::SetPlaying(int playerId, bool isPlaying)
{
    const int isPlayingRole = Qt::UserRole + 1 + static_cast<int>(kRoles.indexOf("isPlaying"));
    for (int row = 0; row < rows_.size(); ++row) {
        if (rows_[row].value(QStringLiteral("id")).toInt() != playerId)
            continue;
        rows_[row].insert(QStringLiteral("isPlaying"), isPlaying);
        emit dataChanged(index(row), index(row), {isPlayingRole});
    }
}
