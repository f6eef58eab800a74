#include "edit_lists.h"

#include "EditModel.h"
#include "ShowManager.h"
#include "edit_value_text.h"

#include <brix_core/CallbackDispatcher.h>
#include <brix_core/EventCodes.h>
#include <brix_core/NotifyNames.h>
#include <brix_player_core/Interface.h>

#include <QQuickItem>
#include <QSignalBlocker>
#include <QVariant>

#include <iostream>

namespace brix::qt {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// The list item's current row, as QML keeps it.
int CurrentIndexOf(const QmlController& controller)
{
    const QObject* list = controller.GetQmlObject();
    return list == nullptr ? -1 : list->property("currentIndex").toInt();
}

void SetCurrentIndexOf(QmlController& controller, int index)
{
    const QSignalBlocker blocker(&controller);
    if (QObject* list = controller.GetQmlObject())
        list->setProperty("currentIndex", index);
}

QString TypeText(unsigned char code)
{
    const std::string name = codes::EditName(code);
    return name == "Fermata" ? QStringLiteral("Skip") : Text(name);
}

template <class Rows>
bool InRange(const Rows& rows, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < rows.size();
}

}  // namespace

EventInfoItem EventInfoItem::FromEvent(const cmn::BrixEvent& event)
{
    return {event.start(), event.end(), event.code(), EventValueText(event), event.IsPairedEvent()};
}

// ---- models

void MarkerListModel::Reset(std::vector<MarkerInfoItem> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int MarkerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant MarkerListModel::data(const QModelIndex& index, int role) const
{
    if (!InRange(rows_, index.row()))
        return {};
    const MarkerInfoItem& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case NameRole:
        return Text(row.name);
    case LocationRole:
        return Text(row.location);
    case TickRole:
        return static_cast<int>(row.tick);
    default:
        return {};
    }
}

QHash<int, QByteArray> MarkerListModel::roleNames() const
{
    return {{NameRole, "name"}, {LocationRole, "location"}, {TickRole, "tick"}};
}

void EventListModel::Reset(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int EventListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant EventListModel::data(const QModelIndex& index, int role) const
{
    if (!InRange(rows_, index.row()))
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case InBeatRole:
        return row.in;
    case OutRole:
        return row.item.isPairedEvent ? row.out : QStringLiteral("-");
    case TypeRole:
        return TypeText(row.item.code);
    case CountRole:
        return row.item.valueText;
    case InTimeRole:
        return static_cast<int>(row.item.startTick);
    case OutTimeRole:
        return static_cast<int>(row.item.endTick);
    case IsPairedEventRole:
        return row.item.isPairedEvent;
    default:
        return {};
    }
}

QHash<int, QByteArray> EventListModel::roleNames() const
{
    return {{InBeatRole, "inbeat"},   {OutRole, "out"},         {TypeRole, "type"},
            {CountRole, "count"},     {InTimeRole, "inTime"},   {OutTimeRole, "outTime"},
            {IsPairedEventRole, "isPairedEvent"}};
}

void SongListModel::Reset(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void SongListModel::SetState(int row, std::uint8_t state)
{
    if (!InRange(rows_, row) || rows_[static_cast<std::size_t>(row)].state == state)
        return;
    rows_[static_cast<std::size_t>(row)].state = state;
    emit dataChanged(index(row), index(row), {StatusRole});
}

int SongListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QString SongListModel::StatusText(std::uint8_t state)
{
    switch (state) {
    case 1:
        return QStringLiteral("continue");
    case 2:
        return QStringLiteral("x");
    default:
        return QStringLiteral("plays");
    }
}

QVariant SongListModel::data(const QModelIndex& index, int role) const
{
    if (!InRange(rows_, index.row()))
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case SongNumberRole:
        return Text(row.number);
    case StatusRole:
        return StatusText(row.state);
    case SongNameRole:
        return Text(row.name);
    default:
        return {};
    }
}

QHash<int, QByteArray> SongListModel::roleNames() const
{
    return {{SongNumberRole, "song_number"}, {StatusRole, "status"}, {SongNameRole, "song_name"}};
}

// ---- marker list

MarkerListController::MarkerListController(QQuickItem* list, std::shared_ptr<EditModel> editModel,
                                           QQmlEngine* engine)
    : QmlController(list, engine), editModel_(std::move(editModel)), model_(std::make_unique<MarkerListModel>())
{
    if (list != nullptr) {
        list->setProperty("model", QVariant::fromValue(static_cast<QObject*>(model_.get())));
        connect(list, SIGNAL(currentItemChanged(int)), this, SLOT(CurrentItemChanged_(int)));
    }
}

void MarkerListController::Refresh()
{
    const QSignalBlocker blocker(this);
    editModel_->LoadMarkerRows();
    std::vector<MarkerInfoItem> rows;
    for (const auto& [marker, location] : editModel_->GetMarkerRows())
        rows.push_back({CL::Marker(marker).value(), location, marker.start()});
    SetCurrentIndexOf(*this, -1);
    model_->Reset(std::move(rows));
}

void MarkerListController::SetCurrentRow(int index)
{
    SetCurrentIndexOf(*this, index);
}

void MarkerListController::SelectMarker(const cmn::BrixEvent& event)
{
    const CL::Marker marker(event);
    int row = -1;
    const auto& rows = model_->Rows();
    for (std::size_t i = 0; i < rows.size() && row < 0; ++i) {
        if (rows[i].name == marker.value() && rows[i].tick == marker.start())
            row = static_cast<int>(i);
    }
    SetCurrentIndexOf(*this, row);
}

int MarkerListController::GetCurrentRow() const
{
    return CurrentIndexOf(*this);
}

void MarkerListController::SetPassedIndex(int index)
{
    if (index == passedIndex_)
        return;
    passedIndex_ = index;
    if (QObject* list = GetQmlObject())
        list->setProperty("passedIndex", index);
    emit PassedIndexChanged(index);
}

void MarkerListController::CurrentItemChanged_(int index)
{
    // A row moved from code (signals blocked) is no choice of the operator.
    if (signalsBlocked() || !InRange(model_->Rows(), index))
        return;
    int row = index;
    notify::callbackDispatcher.Notify(notify::names::EVT_MARKER_PANEL_SELECTED, &row);
    emit CurrentItemChangedSignal(model_->Rows()[static_cast<std::size_t>(index)]);
}

// ---- event list

EventListController::EventListController(QQuickItem* list, std::shared_ptr<EditModel> editModel,
                                         QQmlEngine* engine)
    : QmlController(list, engine), editModel_(std::move(editModel)), model_(std::make_unique<EventListModel>())
{
    if (list != nullptr) {
        list->setProperty("model", QVariant::fromValue(static_cast<QObject*>(model_.get())));
        connect(list, SIGNAL(currentItemChanged(int)), this, SLOT(CurrentItemChanged(int)));
        connect(list, SIGNAL(editSelectedItem()), this, SLOT(EditSelectedItem_()));
    }
}

void EventListController::Refresh()
{
    const QSignalBlocker blocker(this);
    editModel_->LoadEventRows();
    const std::shared_ptr<brix::ShowManager>& showManager = editModel_->GetShowManager();
    std::vector<EventListModel::Row> rows;
    for (const cmn::BrixEvent& event : editModel_->GetEventRows()) {
        rows.push_back({EventInfoItem::FromEvent(event), Text(showManager->GetBarString(event.start())),
                        event.IsPairedEvent() ? Text(showManager->GetBarString(event.end())) : QString()});
    }
    SetCurrentIndexOf(*this, -1);
    model_->Reset(std::move(rows));
}

void EventListController::SelectEvent(const cmn::BrixEvent& event)
{
    const EventInfoItem wanted = EventInfoItem::FromEvent(event);
    int row = -1;
    const auto& rows = model_->Rows();
    for (std::size_t i = 0; i < rows.size() && row < 0; ++i) {
        if (rows[i].item == wanted)
            row = static_cast<int>(i);
    }
    SetCurrentIndexOf(*this, row);
}

void EventListController::SetCurrentRow(int index)
{
    SetCurrentIndexOf(*this, index);
}

int EventListController::GetCurrentRow() const
{
    return CurrentIndexOf(*this);
}

void EventListController::CurrentItemChanged(int index)
{
    if (signalsBlocked() || !InRange(model_->Rows(), index))
        return;
    int row = index;
    notify::callbackDispatcher.Notify(notify::names::EVT_CHANGE_LOG_PANEL_SELECTED, &row);
    emit CurrentItemChangedSignal(model_->Rows()[static_cast<std::size_t>(index)].item);
}

void EventListController::EditSelectedItem_()
{
    emit EditSelectedItem();
}

// ---- song list

SongListController::SongListController(QQuickItem* list, std::shared_ptr<Interface> engine, QQmlEngine* qmlEngine)
    : QmlController(list, qmlEngine), engine_(std::move(engine)), model_(std::make_unique<SongListModel>())
{
    std::vector<SongListModel::Row> rows;
    for (const auto& [number, name] : engine_->GetSongNamesBySongNumber())
        rows.push_back({number, engine_->GetAttacca(number), name});
    model_->Reset(std::move(rows));
    if (list != nullptr) {
        list->setProperty("model", QVariant::fromValue(static_cast<QObject*>(model_.get())));
        connect(list, SIGNAL(itemClicked(int)), this, SLOT(ItemClicked_(int)));
        connect(list, SIGNAL(attaccaStateChanged(QString)), this, SLOT(AttaccaStateChanged_(QString)));
    }
}

int SongListController::RowOf(const std::string& songNumber) const
{
    const auto& rows = model_->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].number == songNumber)
            return static_cast<int>(i);
    }
    return -1;
}

int SongListController::GetCurrentRow() const
{
    return CurrentIndexOf(*this);
}

void SongListController::ItemClicked_(int index)
{
    Guarded("Song", [&] {
        std::cout << "Index Changed: " << index << "\n";
        if (!InRange(model_->Rows(), index))
            return;
        const std::string& number = model_->Rows()[static_cast<std::size_t>(index)].number;
        if (number != engine_->GetCurrentSongNumber())
            engine_->LoadSong(number);
    });
}

void SongListController::SelectSong(const std::string& songNumber)
{
    const int row = RowOf(songNumber);
    if (GetCurrentRow() != row) {
        SetCurrentIndexOf(*this, row);
        std::cout << "Setting to New Index!\n";
    } else {
        std::cout << "Already at loaded song index\n";
    }
}

void SongListController::AttaccaStateChanged_(QString songNumber)
{
    const int row = RowOf(songNumber.toStdString());
    if (row < 0) {
        std::cerr << "Invalid index for attacca state change." << std::endl;
        return;
    }
    const auto state = static_cast<std::uint8_t>((model_->Rows()[static_cast<std::size_t>(row)].state + 1) % 3);
    model_->SetState(row, state);
    std::cout << "New state = " << SongListModel::StatusText(state).toStdString() << "\n";
    emit AttaccaStateChanged(songNumber.toStdString(), state);
}

void SongListController::RefreshAttacca()
{
    for (std::size_t i = 0; i < model_->Rows().size(); ++i)
        model_->SetState(static_cast<int>(i), engine_->GetAttacca(model_->Rows()[i].number));
}

}  // namespace brix::qt
