#include "NetworkListModel.h"

#include <utility>

namespace brix {

QString NetworkItem::First() const { return name; }

QString NetworkItem::Second() const { return ipAddress + ':' + QString::number(port) + ", " + mode.toUpper(); }

NetworkListModel::NetworkListModel(const CL::NetworkPathVectorT& networks, QObject* parent) : DualRoledListModel(parent)
{
    for (const CL::NetworkPath& path : networks) {
        auto item = std::make_shared<NetworkItem>();
        item->name = QString::fromStdString(path.Name());
        item->ipAddress = QString::fromStdString(path.IpAddress());
        item->port = path.Port();
        item->networkId = QString::fromStdString(path.NetworkId());
        // Kept, so a TCP destination stays one when the window hands the list back.
        item->mode = path.IsTcp() ? QStringLiteral("tcp") : QStringLiteral("udp");
        items_.append(std::move(item));
    }
}

void NetworkListModel::AddNetwork(std::shared_ptr<NetworkItem> item) { AddItem(std::move(item)); }

std::shared_ptr<NetworkItem> NetworkListModel::NetworkAt(int row) const
{
    if (row < 0 || row >= items_.size()) {
        return nullptr;
    }
    return std::dynamic_pointer_cast<NetworkItem>(items_.at(row));
}

void NetworkListModel::RefreshRow(int row)
{
    if (row < 0 || row >= items_.size()) {
        return;
    }
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

QString NetworkListModel::NewNetworkId() const
{
    const auto taken = [this](const QString& id) {
        if (retiredIds_.contains(id)) {
            return true;
        }
        for (int row = 0; row < items_.size(); ++row) {
            const auto item = NetworkAt(row);
            if (item && item->networkId == id) {
                return true;
            }
        }
        return false;
    };
    for (qsizetype n = items_.size();; ++n) {
        const QString candidate = QStringLiteral("NETWORK") + QString::number(n);
        if (!taken(candidate)) {
            return candidate;
        }
    }
}

QVariant NetworkListModel::data(const QModelIndex& index, int role) const
{
    if (role < NameRole || role > PortRole) {
        return DualRoledListModel::data(index, role);
    }
    const auto item = index.isValid() ? NetworkAt(index.row()) : nullptr;
    if (!item) {
        return {};
    }
    switch (role) {
    case NameRole:
        return item->name;
    case IpAddressRole:
        return item->ipAddress;
    case NetworkIdRole:
        return item->networkId;
    case ModeRole:
        return item->mode;
    default:
        return item->port;
    }
}

bool NetworkListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role < NameRole || role > PortRole) {
        return DualRoledListModel::setData(index, value, role);
    }
    const auto item = index.isValid() ? NetworkAt(index.row()) : nullptr;
    if (!item) {
        return false;
    }
    switch (role) {
    case NameRole:
        item->name = value.toString();
        break;
    case IpAddressRole:
        item->ipAddress = value.toString();
        break;
    case NetworkIdRole:
        item->networkId = value.toString();
        break;
    case ModeRole:
        item->mode = value.toString();
        break;
    default:
        item->port = value.toInt();
        break;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> NetworkListModel::roleNames() const
{
    QHash<int, QByteArray> names = DualRoledListModel::roleNames();
    names.insert(NameRole, "name");
    names.insert(IpAddressRole, "ipAddress");
    names.insert(NetworkIdRole, "networkId");
    names.insert(ModeRole, "mode");
    names.insert(PortRole, "port");
    return names;
}

bool NetworkListModel::removeRows(int row, int count, const QModelIndex& parent)
{
    QSet<QString> removed;
    for (int r = row; r >= 0 && r < row + count && r < items_.size(); ++r) {
        if (const auto item = NetworkAt(r)) {
            removed.insert(item->networkId);
        }
    }
    if (!DualRoledListModel::removeRows(row, count, parent)) {
        return false;
    }
    retiredIds_.unite(removed);
    return true;
}

}  // namespace brix
