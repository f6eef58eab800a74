#include "DualRoledListModel.h"
#include "QmlTest.h"
#include "StringValueListModel.h"

#include <QAbstractItemModelTester>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QVariant>

#include <memory>

namespace {

using musical_test::QmlTest;

// A derived item with getters of its own, as the network destinations have.
class NamedItem : public DualRoleItem {
public:
    using DualRoleItem::DualRoleItem;
    QString First() const override { return QStringLiteral("Network: ") + first; }
};

class ListModelTest : public QmlTest {
protected:
    void SetUp() override
    {
        QmlTest::SetUp();
        dual_.AddItem(std::make_shared<DualRoleItem>(QStringLiteral("Lights"), QStringLiteral("10.0.0.5"), 53000));
        dual_.AddItem(std::make_shared<NamedItem>(QStringLiteral("Sound"), QStringLiteral("10.0.0.6"), 53001));
        dual_.AddItem(std::make_shared<DualRoleItem>(QStringLiteral("Video"), QStringLiteral("10.0.0.7"), 53002));
    }

    QStringList Firsts() const
    {
        QStringList firsts;
        for (int row = 0; row < dual_.rowCount(); ++row)
            firsts << dual_.data(dual_.index(row, 0), DualRoledListModel::FirstRole).toString();
        return firsts;
    }

    DualRoledListModel dual_;
    QAbstractItemModelTester dualTester_{&dual_, QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(ListModelTest, StringValueRowsUnderTheirRoles)
{
    StringValueListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.AddItem(QStringLiteral("Violin"), 40);
    model.AddItem(QStringLiteral("Viola"), 41);
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 1);

    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.roleNames(), (QHash<int, QByteArray>{{257, "value"}, {258, "displayname"}}));
    const QModelIndex second = model.index(1, 0);
    EXPECT_EQ(model.data(second, 257).toInt(), 41);
    EXPECT_EQ(model.data(second, 258).toString(), "Viola");
    EXPECT_EQ(model.data(second, Qt::DisplayRole).toString(), "Viola");
    EXPECT_FALSE(model.data(second, 256).isValid());
    EXPECT_FALSE(model.data(second, 259).isValid());
    EXPECT_FALSE(model.data(model.index(2, 0), 258).isValid());
    EXPECT_FALSE(model.data(QModelIndex(), 258).isValid());
}

TEST_F(ListModelTest, DualRoledRowsUnderTheirRolesWithTheItemsOwnGetters)
{
    EXPECT_EQ(dual_.roleNames(), (QHash<int, QByteArray>{{257, "value"}, {258, "first"}, {259, "second"}}));
    const QModelIndex sound = dual_.index(1, 0);
    EXPECT_EQ(dual_.data(sound, 257).toInt(), 53001);
    EXPECT_EQ(dual_.data(sound, 258).toString(), "Network: Sound");
    EXPECT_EQ(dual_.data(sound, Qt::DisplayRole).toString(), "Network: Sound");
    EXPECT_EQ(dual_.data(sound, 259).toString(), "10.0.0.6");
    EXPECT_FALSE(dual_.data(sound, 260).isValid());
    EXPECT_FALSE(dual_.data(dual_.index(3, 0), 258).isValid());
}

TEST_F(ListModelTest, SetDataChangesOneFieldOfAnExistingRowAndAnnouncesIt)
{
    QSignalSpy changed(&dual_, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(dual_.setData(dual_.index(0, 0), QStringLiteral("Stage Lights"), 258));
    EXPECT_TRUE(dual_.setData(dual_.index(0, 0), QStringLiteral("10.0.0.9"), 259));
    EXPECT_TRUE(dual_.setData(dual_.index(2, 0), QStringLiteral("8000"), 257));
    ASSERT_EQ(changed.size(), 3);
    EXPECT_EQ(changed.at(2).at(2).value<QList<int>>(), QList<int>{257});
    EXPECT_EQ(dual_.data(dual_.index(0, 0), 258).toString(), "Stage Lights");
    EXPECT_EQ(dual_.data(dual_.index(0, 0), 259).toString(), "10.0.0.9");
    EXPECT_EQ(dual_.data(dual_.index(2, 0), 257).toInt(), 8000);

    EXPECT_FALSE(dual_.setData(dual_.index(0, 0), QStringLiteral("x"), 256));
    EXPECT_FALSE(dual_.setData(dual_.index(0, 0), QStringLiteral("x"), Qt::DisplayRole));
    EXPECT_FALSE(dual_.setData(dual_.index(3, 0), QStringLiteral("x"), 258));
    EXPECT_FALSE(dual_.setData(QModelIndex(), QStringLiteral("x"), 258));
    EXPECT_EQ(changed.size(), 3);
    EXPECT_EQ(Firsts(), (QStringList{"Stage Lights", "Network: Sound", "Video"}));
}

TEST_F(ListModelTest, QmlReadsARowByRoleNameAndRemovesRowsOnlyInsideTheList)
{
    auto view = CreateFromQml("import QtQuick\nQtObject {\n"
                              "  property var model\n"
                              "  function read(row, role) { return model.dataStr(row, role) }\n"
                              "  function remove(row, count) { return model.removeRows(row, count) }\n"
                              "}\n");
    view->setProperty("model", QVariant::fromValue(static_cast<QObject*>(&dual_)));
    auto read = [&view](int row, const QString& role) {
        QVariant result;
        QMetaObject::invokeMethod(view.get(), "read", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, row),
                                  Q_ARG(QVariant, role));
        return result;
    };
    auto remove = [&view](int row, int count) {
        QVariant result;
        QMetaObject::invokeMethod(view.get(), "remove", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, row),
                                  Q_ARG(QVariant, count));
        return result.toBool();
    };

    EXPECT_EQ(read(2, QStringLiteral("value")).toInt(), 53002);
    EXPECT_EQ(read(1, QStringLiteral("second")).toString(), "10.0.0.6");
    EXPECT_EQ(read(1, QStringLiteral("unknown")).toString(), "Network: Sound");
    EXPECT_FALSE(read(3, QStringLiteral("first")).isValid());

    struct Range {
        int row;
        int count;
    };
    for (const Range& bad : {Range{-1, 1}, Range{3, 1}, Range{2, 2}, Range{0, 4}, Range{0, 0}, Range{1, -1},
                             Range{1, 2147483647}}) {
        SCOPED_TRACE(testing::Message() << bad.row << ", " << bad.count);
        EXPECT_FALSE(remove(bad.row, bad.count));
        EXPECT_EQ(Firsts(), (QStringList{"Lights", "Network: Sound", "Video"}));
    }
    EXPECT_TRUE(remove(1, 2));
    EXPECT_EQ(Firsts(), QStringList{"Lights"});
    EXPECT_TRUE(remove(0, 1));
    EXPECT_EQ(dual_.rowCount(), 0);
}

}  // namespace
