#pragma once

#include <brix_core/OutputPath.h>

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QString>

#include <vector>

Q_DECLARE_METATYPE(CL::OutputPath)

namespace brix::qt {

// OutputPathsModel: the output paths of the show, one row each, for the output paths window. Roles
// (from Qt::UserRole + 1): path_name, path_id, path_device_name, path_device_id. Every path it gains or
// that changes is announced with AddOutputPathSignal, every path it loses with RemoveOutputPathSignal,
// so the engine can keep its paths in step; a replacement of an existing id by AddOutputPath is not
// announced (the engine already has that path).
// Owner: the output paths window's controller (shared with whoever lists the paths).
// Thread: GUI thread only.
class OutputPathsModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        PathNameRole = Qt::UserRole + 1,
        PathIdRole,
        PathDeviceNameRole,
        PathDeviceIdRole,
    };

    using QAbstractListModel::QAbstractListModel;

    // Replaces the row of the path's id (dataChanged only), or appends a row and announces the path.
    void AddOutputPath(const CL::OutputPath& path);
    // Announces the path of the row, then removes the row; nothing for a row out of range.
    void RemoveOutputPath(int row);

    // The path of the row (a copy); a default path for a row out of range.
    CL::OutputPath GetPath(int row) const;
    const std::vector<CL::OutputPath>& GetPaths() const { return paths_; }

    // The field of the row as text; "" for a row out of range.
    Q_INVOKABLE QString PathName(int index) const;
    Q_INVOKABLE QString PathId(int index) const;
    Q_INVOKABLE QString PathDeviceName(int index) const;
    Q_INVOKABLE QString PathDeviceId(int index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The value holds a CL::OutputPath, which replaces the row whatever the role; the row's change is
    // signalled (dataChanged) and the new path announced. False for a row out of range or a value that
    // holds no path.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void AddOutputPathSignal(const CL::OutputPath& path);
    void RemoveOutputPathSignal(const CL::OutputPath& path);

private:
    bool InRange(int row) const { return row >= 0 && static_cast<std::size_t>(row) < paths_.size(); }

    std::vector<CL::OutputPath> paths_;
};

}  // namespace brix::qt
