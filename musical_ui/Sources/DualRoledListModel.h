#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

// DualRoleItem: one row of a DualRoledListModel — an integer value and two texts. Derived items (the
// network destinations of the OSC windows) override the getters to show their own fields.
class DualRoleItem {
public:
    DualRoleItem() = default;
    DualRoleItem(const QString& first, const QString& second, std::int32_t value);
    virtual ~DualRoleItem();

    virtual QString First() const;
    virtual QString Second() const;

    QString first;
    QString second;
    std::int32_t value = 0;
};

// DualRoledListModel: rows of shared DualRoleItems under the roles "value" (Qt::UserRole + 1),
// "first" (Qt::UserRole + 2, also the display role) and "second" (Qt::UserRole + 3). QML may edit a
// row's fields, read one by role name (dataStr) and remove rows; derived models (the network list of
// the OSC windows) add their own behaviour. Thread: GUI thread only.
class DualRoledListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        ValueRole = Qt::UserRole + 1,
        FirstRole,
        SecondRole,
    };

    using QAbstractListModel::QAbstractListModel;

    void AddItem(std::shared_ptr<DualRoleItem> item);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Sets "first" or "second" from the value's text, or "value" from its integer; false for a row
    // out of range or another role.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QHash<int, QByteArray> roleNames() const override;

    // The data of a row under the role of that name (an unknown name reads the display role).
    Q_INVOKABLE QVariant dataStr(int row, const QString& roleName) const;
    // Removes `count` rows from `row`; a range that is empty or not wholly inside the list removes
    // nothing and gives false.
    Q_INVOKABLE bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

protected:
    QList<std::shared_ptr<DualRoleItem>> items_;
};
