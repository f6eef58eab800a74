#include "DualRoledListModel.h"

#include <utility>

DualRoleItem::DualRoleItem(const QString& first, const QString& second, std::int32_t value)
    : first(first), second(second), value(value)
{
}

DualRoleItem::~DualRoleItem() = default;

QString DualRoleItem::First() const
{
    return first;
}

QString DualRoleItem::Second() const
{
    return second;
}

void DualRoledListModel::AddItem(std::shared_ptr<DualRoleItem> item)
{
    const int row = static_cast<int>(items_.size());
    beginInsertRows(QModelIndex(), row, row);
    items_.append(std::move(item));
    endInsertRows();
}

int DualRoledListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant DualRoledListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items_.size())
        return {};
    const DualRoleItem& item = *items_.at(index.row());
    switch (role) {
    case ValueRole:
        return item.value;
    case FirstRole:
    case Qt::DisplayRole:
        return item.First();
    case SecondRole:
        return item.Second();
    default:
        return {};
    }
}

bool DualRoledListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() < 0 || index.row() >= items_.size())
        return false;
    DualRoleItem& item = *items_.at(index.row());
    switch (role) {
    case FirstRole:
        item.first = value.toString();
        break;
    case SecondRole:
        item.second = value.toString();
        break;
    case ValueRole:
        item.value = value.toInt();
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> DualRoledListModel::roleNames() const
{
    return {{ValueRole, "value"}, {FirstRole, "first"}, {SecondRole, "second"}};
}

QVariant DualRoledListModel::dataStr(int row, const QString& roleName) const
{
    const QByteArray name = roleName.toUtf8();
    const QHash<int, QByteArray> roles = roleNames();
    int role = Qt::DisplayRole;
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        if (it.value() == name) {
            role = it.key();
            break;
        }
    }
    return data(index(row, 0), role);
}

bool DualRoledListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row > items_.size() - count)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    items_.remove(row, count);
    endRemoveRows();
    return true;
}
