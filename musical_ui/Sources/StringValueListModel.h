#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>

// StringValueListModel: rows of (display text, integer value) for QML lists and combo boxes, under
// the roles "value" (Qt::UserRole + 1) and "displayname" (Qt::UserRole + 2, also the display role).
// Filled by its owner; QML only reads it. Thread: GUI thread only.
class StringValueListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        ValueRole = Qt::UserRole + 1,
        DisplayNameRole,
    };

    using QAbstractListModel::QAbstractListModel;

    void AddItem(const QString& displayName, std::int32_t value);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Item {
        QString displayName;
        std::int32_t value = 0;
    };

    QList<Item> items_;
};
