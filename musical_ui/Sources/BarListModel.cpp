#include "BarListModel.h"

#include "TimelineSequence.h"

#include <QVariantList>

#include <algorithm>

namespace brix::qt {

namespace {

QVariantList ToList(const std::vector<std::uint32_t>& values)
{
    QVariantList list;
    list.reserve(static_cast<qsizetype>(values.size()));
    for (std::uint32_t value : values)
        list.append(QVariant::fromValue(value));
    return list;
}

}  // namespace

BarListModel::BarListModel(QObject* parent, const TL::TimelineSequence<TL::BarsBeats>& barsBeats,
                           std::uint32_t startTick)
    : QAbstractListModel(parent)
{
    timesByBar_.max_load_factor(0.75F);
    auto first = std::find_if(barsBeats.begin(), barsBeats.end(),
                              [startTick](const TL::BarsBeats& record) { return record.tick >= startTick; });
    const bool onStart = first != barsBeats.end() && first->tick == startTick;
    if (!onStart && first != barsBeats.begin()) {
        // Start from the opening record of the bar that holds the start tick.
        const std::string holding = (first - 1)->bar_number();
        while (first != barsBeats.begin() && (first - 1)->bar_number() == holding)
            --first;
    }
    std::unordered_map<std::string, std::size_t> rowByLabel;
    for (auto record = first; record != barsBeats.end(); ++record) {
        const std::string label = record->bar_number();
        auto [row, added] = rowByLabel.try_emplace(label, rows_.size());
        if (added)
            rows_.push_back(Row{label, {}});
        rows_[row->second].beats.push_back(record->beat);
        timesByBar_[label].push_back(record->tick);
    }
}

int BarListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant BarListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case BarRole:
        return QString::fromStdString(row.label);
    case BeatsRole:
        return ToList(row.beats);
    case TimesRole:
        return ToList(timesByBar_.at(row.label));
    default:
        return {};
    }
}

QHash<int, QByteArray> BarListModel::roleNames() const
{
    return {{BarRole, "bar"}, {BeatsRole, "beats"}, {TimesRole, "times"}};
}

QVariant BarListModel::getBeats(int index) const
{
    if (index < 0 || index >= rowCount())
        return {};
    return ToList(rows_[static_cast<std::size_t>(index)].beats);
}

QVariant BarListModel::getTime(const QString& bar, int index) const
{
    const auto found = timesByBar_.find(bar.toStdString());
    if (found == timesByBar_.end() || index < 0 || static_cast<std::size_t>(index) >= found->second.size())
        return {};
    return QVariant::fromValue(found->second[static_cast<std::size_t>(index)]);
}

}  // namespace brix::qt
