#pragma once

// moc cannot parse the standard library's concept headers that these bring in; it needs none of them.
#ifndef Q_MOC_RUN
#include <brix_core/ChangeLog.h>
#endif

#include <QAbstractListModel>
#include <QHash>
#include <QString>

#include <vector>

namespace brix::qt {

// ChangelogListModel: the change-log versions of one list of the change-log manager, each with its
// version and modification time (a CL::ChangeLog holding only those), in ascending version order once
// sorted. Roles: "version" ("3.1") and "modified" (the time as "MMM dd yyyy hh:mm AP", local time).
// GUI thread only.
class ChangelogListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { VersionRole = 257, ModifiedRole = 258 };

    using QAbstractListModel::QAbstractListModel;

    // Appends the version unless an equal one is a row already.
    void Add(const CL::ChangeLog& changeLog);
    void Clear();
    // Ascending by version; rows of the same version keep their order.
    void Sort();

    // The row's version as text; empty for a row that does not exist.
    QString GetVersionText(int row) const;
    const std::vector<CL::ChangeLog>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    std::vector<CL::ChangeLog> rows_;
};

}  // namespace brix::qt
