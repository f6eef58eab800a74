#include "StringValueListModel.h"

void StringValueListModel::AddItem(const QString& displayName, std::int32_t value)
{
    const int row = static_cast<int>(items_.size());
    beginInsertRows(QModelIndex(), row, row);
    items_.append(Item{displayName, value});
    endInsertRows();
}

int StringValueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant StringValueListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items_.size())
        return {};
    const Item& item = items_.at(index.row());
    switch (role) {
    case ValueRole:
        return item.value;
    case DisplayNameRole:
    case Qt::DisplayRole:
        return item.displayName;
    default:
        return {};
    }
}

QHash<int, QByteArray> StringValueListModel::roleNames() const
{
    return {{ValueRole, "value"}, {DisplayNameRole, "displayname"}};
}
