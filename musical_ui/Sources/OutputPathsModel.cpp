#include "OutputPathsModel.h"

#include <algorithm>

namespace brix::qt {

namespace {

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

}  // namespace

void OutputPathsModel::AddOutputPath(const CL::OutputPath& path)
{
    const auto same = std::find_if(paths_.begin(), paths_.end(),
                                   [&path](const CL::OutputPath& row) { return row.GetId() == path.GetId(); });
    if (same != paths_.end()) {
        *same = path;
        const QModelIndex changed = index(static_cast<int>(same - paths_.begin()));
        emit dataChanged(changed, changed);
        return;
    }
    const int row = static_cast<int>(paths_.size());
    beginInsertRows(QModelIndex(), row, row);
    paths_.push_back(path);
    endInsertRows();
    emit AddOutputPathSignal(path);
}

void OutputPathsModel::RemoveOutputPath(int row)
{
    if (!InRange(row))
        return;
    emit RemoveOutputPathSignal(paths_[static_cast<std::size_t>(row)]);
    beginRemoveRows(QModelIndex(), row, row);
    paths_.erase(paths_.begin() + row);
    endRemoveRows();
}

CL::OutputPath OutputPathsModel::GetPath(int row) const
{
    return InRange(row) ? paths_[static_cast<std::size_t>(row)] : CL::OutputPath();
}

QString OutputPathsModel::PathName(int index) const
{
    return Text(GetPath(index).GetName());
}

QString OutputPathsModel::PathId(int index) const
{
    return Text(GetPath(index).GetId());
}

QString OutputPathsModel::PathDeviceName(int index) const
{
    return Text(GetPath(index).GetDeviceName());
}

QString OutputPathsModel::PathDeviceId(int index) const
{
    return Text(GetPath(index).GetDeviceId());
}

int OutputPathsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(paths_.size());
}

QVariant OutputPathsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !InRange(index.row()))
        return {};
    const CL::OutputPath& path = paths_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case PathNameRole:
        return Text(path.GetName());
    case PathIdRole:
        return Text(path.GetId());
    case PathDeviceNameRole:
        return Text(path.GetDeviceName());
    case PathDeviceIdRole:
        return Text(path.GetDeviceId());
    default:
        return {};
    }
}

bool OutputPathsModel::setData(const QModelIndex& index, const QVariant& value, int)
{
    if (!index.isValid() || !InRange(index.row()) || !value.canConvert<CL::OutputPath>())
        return false;
    const CL::OutputPath path = value.value<CL::OutputPath>();
    paths_[static_cast<std::size_t>(index.row())] = path;
    emit dataChanged(index, index);
    emit AddOutputPathSignal(path);
    return true;
}

QHash<int, QByteArray> OutputPathsModel::roleNames() const
{
    return {
        {PathNameRole, "path_name"},
        {PathIdRole, "path_id"},
        {PathDeviceNameRole, "path_device_name"},
        {PathDeviceIdRole, "path_device_id"},
    };
}

}  // namespace brix::qt
