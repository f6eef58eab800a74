#include "ChangelogListModel.h"

#include <QDateTime>

#include <algorithm>

namespace brix::qt {

void ChangelogListModel::Add(const CL::ChangeLog& changeLog)
{
    if (std::find(rows_.begin(), rows_.end(), changeLog) != rows_.end())
        return;
    const int row = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(changeLog);
    endInsertRows();
}

void ChangelogListModel::Clear()
{
    while (!rows_.empty()) {
        beginRemoveRows(QModelIndex(), 0, 0);
        rows_.erase(rows_.begin());
        endRemoveRows();
    }
}

void ChangelogListModel::Sort()
{
    beginResetModel();
    std::stable_sort(rows_.begin(), rows_.end(), [](const CL::ChangeLog& a, const CL::ChangeLog& b) {
        return a.GetVersion() < b.GetVersion();
    });
    endResetModel();
}

QString ChangelogListModel::GetVersionText(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return QString::fromStdString(rows_[static_cast<std::size_t>(row)].GetVersion().GetAsString());
}

int ChangelogListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ChangelogListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case VersionRole:
        return GetVersionText(index.row());
    case ModifiedRole:
        return QDateTime::fromSecsSinceEpoch(rows_[static_cast<std::size_t>(index.row())].GetModificationTime())
            .toString("MMM dd yyyy hh:mm AP");
    default:
        return {};
    }
}

QHash<int, QByteArray> ChangelogListModel::roleNames() const
{
    return {{VersionRole, "version"}, {ModifiedRole, "modified"}};
}

}  // namespace brix::qt
