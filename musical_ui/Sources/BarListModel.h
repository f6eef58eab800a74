#pragma once

#include <brix_core/Timeline.h>

#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace TL {
template <class T>
class TimelineSequence;
}

namespace brix::qt {

// BarListModel: the bars of a song from a start tick on, one row per bar label, for the bar and beat
// pickers of the edit tools. Each row gives the bar's label (role "bar", 257), its beat numbers
// ("beats", 258) and their ticks ("times", 259). When no record lies exactly on the start tick, the
// bar that holds the start tick is the first row, with all its beats.
// Built once by its owner; QML only reads it. Thread: GUI thread only.
class BarListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        BarRole = 257,
        BeatsRole = 258,
        TimesRole = 259,
    };

    BarListModel(QObject* parent, const TL::TimelineSequence<TL::BarsBeats>& barsBeats, std::uint32_t startTick);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The beat numbers of a row (a list of numbers); an invalid QVariant for a row the model lacks.
    Q_INVOKABLE QVariant getBeats(int index) const;
    // The tick of the index-th beat of the bar with that label; an invalid QVariant when there is none.
    Q_INVOKABLE QVariant getTime(const QString& bar, int index) const;

private:
    struct Row {
        std::string label;
        std::vector<std::uint32_t> beats;
    };

    std::vector<Row> rows_;
    std::unordered_map<std::string, std::vector<std::uint32_t>> timesByBar_;
};

}  // namespace brix::qt
