#include "MixerModel.h"

namespace brix::qt {

MixerSectionItem::MixerSectionItem(QString name_, QString tooltip_, QObject* parent)
    : QObject(parent), name(std::move(name_)), tooltip(std::move(tooltip_)), tracksModel(new MixerTracksModel(this))
{
}

void MixerModel::AddSection(MixerSectionItem* section)
{
    const int row = static_cast<int>(sections_.size());
    beginInsertRows(QModelIndex(), row, row);
    section->setParent(this);
    sections_.append(section);
    endInsertRows();
}

void MixerModel::NotifySectionChanged(int row)
{
    if (!HasRow(row))
        return;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed);
}

int MixerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(sections_.size());
}

QVariant MixerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !HasRow(index.row()))
        return {};
    const MixerSectionItem& section = *sections_.at(index.row());
    switch (role) {
    case NameRole:
        return section.name;
    case IsMutedRole:
        return section.isMuted;
    case IsSoloRole:
        return section.isSolo;
    case TracksModelRole:
        return QVariant::fromValue(static_cast<QObject*>(section.tracksModel));
    case TooltipRole:
        return section.tooltip;
    default:
        return {};
    }
}

bool MixerModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !HasRow(index.row()))
        return false;
    MixerSectionItem& section = *sections_.at(index.row());
    switch (role) {
    case NameRole:
        section.name = value.toString();
        break;
    case IsMutedRole:
        section.isMuted = value.toBool();
        emit muteSectionRequested(index.row(), section.isMuted);
        break;
    case IsSoloRole:
        section.isSolo = value.toBool();
        emit soloSectionRequested(index.row(), section.isSolo);
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags MixerModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> MixerModel::roleNames() const
{
    return {
        {NameRole, "name"},
        {IsMutedRole, "isMuted"},
        {IsSoloRole, "isSolo"},
        {TracksModelRole, "tracksModel"},
        {TooltipRole, "tooltip"},
    };
}

}  // namespace brix::qt
