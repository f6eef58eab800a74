#pragma once

#include "DualRoledListModel.h"

#include <brix_core/NetworkPath.h>

#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>

namespace brix {

// An OSC network destination as the OSC windows edit it. First() is the name, Second() "<ip>:<port>,
// <MODE>" (127.0.0.1:8001, UDP).
class NetworkItem : public DualRoleItem {
public:
    QString First() const override;
    QString Second() const override;

    std::int32_t port = 8001;
    QString name = QStringLiteral("Network Destination");
    QString ipAddress = QStringLiteral("127.0.0.1");
    QString networkId;
    QString mode = QStringLiteral("udp");
};

// The OSC network destinations of a show, one row each, with the roles of DualRoledListModel and
// "name" (260), "ipAddress" (261), "networkId" (262), "mode" (263) and "port" (264).
// NewNetworkId never gives an id that a row of this model has or had: OSC cues name their destination
// by id, so a cue of a deleted destination must not reach a new one.
// Thread: GUI thread only.
class NetworkListModel : public DualRoledListModel {
    Q_OBJECT

public:
    enum NetworkRoles {
        NameRole = Qt::UserRole + 4,
        IpAddressRole,
        NetworkIdRole,
        ModeRole,
        PortRole,
    };

    // One row per path, its mode "tcp" for a TCP path, else "udp".
    explicit NetworkListModel(const CL::NetworkPathVectorT& networks, QObject* parent = nullptr);

    void AddNetwork(std::shared_ptr<NetworkItem> item);
    // Announces a change of every role of the row; nothing for a row outside the list.
    void RefreshRow(int row);
    // "NETWORK<n>": n from the row count up, the first that no row has and no removed row had.
    QString NewNetworkId() const;
    // The item of a row; null outside the list or for a row that is no network.
    std::shared_ptr<NetworkItem> NetworkAt(int row) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QHash<int, QByteArray> roleNames() const override;
    // Keeps the ids of the rows it removes (see NewNetworkId).
    Q_INVOKABLE bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    QSet<QString> retiredIds_;
};

}  // namespace brix
