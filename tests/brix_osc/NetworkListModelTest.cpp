#include "NetworkListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using brix::NetworkItem;
using brix::NetworkListModel;

std::shared_ptr<NetworkItem> Network(const QString& networkId)
{
    auto item = std::make_shared<NetworkItem>();
    item->networkId = networkId;
    return item;
}

// Every model here is watched by QAbstractItemModelTester, which fails the test on a broken contract.
class NetworkModel : public ::testing::Test {
protected:
    void Watch(NetworkListModel& model)
    {
        testers_.push_back(std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::Fatal));
    }

    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

TEST_F(NetworkModel, RowsComeFromTheShowsPathsWithTheirRoles)
{
    NetworkListModel model({CL::NetworkPath("Lighting desk", "lights", "10.0.0.5", 53000, false),
                            CL::NetworkPath("Sound", "snd", "127.0.0.1", 9000, true)});
    Watch(model);
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex first = model.index(0);
    EXPECT_EQ(model.data(first, NetworkListModel::NameRole).toString(), "Lighting desk");
    EXPECT_EQ(model.data(first, NetworkListModel::IpAddressRole).toString(), "10.0.0.5");
    EXPECT_EQ(model.data(first, NetworkListModel::NetworkIdRole).toString(), "lights");
    EXPECT_EQ(model.data(first, NetworkListModel::ModeRole).toString(), "udp");
    EXPECT_EQ(model.data(first, NetworkListModel::PortRole).toInt(), 53000);
    EXPECT_EQ(model.data(first, Qt::DisplayRole).toString(), "Lighting desk");
    EXPECT_EQ(model.dataStr(0, "second").toString(), "10.0.0.5:53000, UDP");
    EXPECT_EQ(model.dataStr(1, "second").toString(), "127.0.0.1:9000, TCP");
    EXPECT_EQ(model.dataStr(1, "port").toInt(), 9000);
    EXPECT_FALSE(model.data(model.index(2), NetworkListModel::NameRole).isValid());
    const auto roles = model.roleNames();
    EXPECT_EQ(roles.value(260), "name");
    EXPECT_EQ(roles.value(261), "ipAddress");
    EXPECT_EQ(roles.value(262), "networkId");
    EXPECT_EQ(roles.value(263), "mode");
    EXPECT_EQ(roles.value(264), "port");
    EXPECT_EQ(roles.value(258), "first");
}

TEST_F(NetworkModel, ANewItemHasTheDefaults)
{
    const NetworkItem item;
    EXPECT_EQ(item.First(), "Network Destination");
    EXPECT_EQ(item.Second(), "127.0.0.1:8001, UDP");
    EXPECT_TRUE(item.networkId.isEmpty());
}

TEST_F(NetworkModel, SetDataChangesOneFieldOfAnExistingRowAndAnnouncesIt)
{
    NetworkListModel model({CL::NetworkPath("Desk", "n0", "127.0.0.1", 8000, false)});
    Watch(model);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(0), "192.168.1.9", NetworkListModel::IpAddressRole));
    EXPECT_TRUE(model.setData(model.index(0), 7000, NetworkListModel::PortRole));
    EXPECT_EQ(model.dataStr(0, "second").toString(), "192.168.1.9:7000, UDP");
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[1][2].value<QList<int>>(), QList<int>{NetworkListModel::PortRole});
    EXPECT_FALSE(model.setData(model.index(0).siblingAtRow(1), "x", NetworkListModel::NameRole));
    EXPECT_FALSE(model.setData(QModelIndex(), "x", NetworkListModel::NameRole));
    EXPECT_FALSE(model.setData(model.index(0), "x", Qt::UserRole));
    model.RefreshRow(0);
    model.RefreshRow(1);
    model.RefreshRow(-1);
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(NetworkModel, NewIdsCountFromTheRowsAndSkipTakenOnes)
{
    NetworkListModel model({});
    Watch(model);
    EXPECT_EQ(model.NewNetworkId(), "NETWORK0");
    model.AddNetwork(Network("NETWORK1"));
    model.AddNetwork(Network("NETWORK2"));
    EXPECT_EQ(model.NewNetworkId(), "NETWORK3");
    // Two added in a row get n and n + 1.
    NetworkListModel other({CL::NetworkPath("a", "NETWORK0", "127.0.0.1", 1, false),
                            CL::NetworkPath("b", "NETWORK1", "127.0.0.1", 2, false)});
    Watch(other);
    const QString first = other.NewNetworkId();
    other.AddNetwork(Network(first));
    EXPECT_EQ(first, "NETWORK2");
    EXPECT_EQ(other.NewNetworkId(), "NETWORK3");
}

TEST_F(NetworkModel, ADeletedDestinationsIdIsNeverGivenAgain)
{
    NetworkListModel model({CL::NetworkPath("a", "NETWORK0", "127.0.0.1", 1, false),
                            CL::NetworkPath("b", "NETWORK1", "127.0.0.1", 2, false),
                            CL::NetworkPath("c", "NETWORK2", "127.0.0.1", 3, false)});
    Watch(model);
    ASSERT_TRUE(model.removeRows(2, 1));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.NewNetworkId(), "NETWORK3");
    ASSERT_TRUE(model.removeRows(0, 2));
    EXPECT_EQ(model.NewNetworkId(), "NETWORK3");
    // A range outside the list removes nothing and retires nothing.
    model.AddNetwork(Network("NETWORK3"));
    EXPECT_FALSE(model.removeRows(0, 5));
    EXPECT_EQ(model.rowCount(), 1);
}

}  // namespace
