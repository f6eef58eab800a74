#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>

#include <QAbstractListModel>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Interface;
class QQuickItem;

namespace brix::qt {

class EditModel;

// A row of the marker list.
struct MarkerInfoItem {
    std::string name;
    std::string location;
    std::uint32_t tick = 0;

    friend bool operator==(const MarkerInfoItem&, const MarkerInfoItem&) = default;
};

// A row of the event list; two rows are equal when all five fields are.
struct EventInfoItem {
    std::uint32_t startTick = 0;
    std::uint32_t endTick = 0;
    std::uint8_t code = 0;
    QString valueText;
    bool isPairedEvent = false;

    static EventInfoItem FromEvent(const cmn::BrixEvent& event);
    friend bool operator==(const EventInfoItem&, const EventInfoItem&) = default;
};

// The marker list's rows: name, location text, tick.
class MarkerListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { NameRole = Qt::UserRole + 1, LocationRole, TickRole };

    using QAbstractListModel::QAbstractListModel;
    void Reset(std::vector<MarkerInfoItem> rows);
    const std::vector<MarkerInfoItem>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    std::vector<MarkerInfoItem> rows_;
};

// The event list's rows. Locations are the bar texts of the start and (for a region) end tick.
class EventListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        InBeatRole = Qt::UserRole + 1,
        OutRole,
        TypeRole,
        CountRole,
        InTimeRole,
        OutTimeRole,
        IsPairedEventRole
    };
    struct Row {
        EventInfoItem item;
        QString in;
        QString out;
    };

    using QAbstractListModel::QAbstractListModel;
    void Reset(std::vector<Row> rows);
    const std::vector<Row>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    std::vector<Row> rows_;
};

// The playlist's rows: song number, attacca state (0 plays, 1 continue, 2 x), song name.
class SongListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { SongNumberRole = Qt::UserRole + 1, StatusRole, SongNameRole };
    struct Row {
        std::string number;
        std::uint8_t state = 0;
        std::string name;
    };

    using QAbstractListModel::QAbstractListModel;
    void Reset(std::vector<Row> rows);
    void SetState(int row, std::uint8_t state);
    const std::vector<Row>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    static QString StatusText(std::uint8_t state);

private:
    std::vector<Row> rows_;
};

// The marker list (MarkerListView.qml, wrapped): rows from the edit model's markers. A row the
// operator picks is posted as EVT_MARKER_PANEL_SELECTED and emitted; rows moved from code emit nothing.
// Thread: GUI thread only.
class MarkerListController : public QmlController {
    Q_OBJECT
    Q_PROPERTY(int passedIndex READ GetPassedIndex WRITE SetPassedIndex NOTIFY PassedIndexChanged)

public:
    MarkerListController(QQuickItem* list, std::shared_ptr<EditModel> editModel, QQmlEngine* engine);

    // Rebuilds the rows from the edit model's marker rows (which it reloads) and clears the current row.
    void Refresh();
    void SetCurrentRow(int index);
    void SelectMarker(const cmn::BrixEvent& event);
    int GetCurrentRow() const;
    int GetPassedIndex() const { return passedIndex_; }
    void SetPassedIndex(int index);
    const MarkerListModel& GetModel() const { return *model_; }

signals:
    void CurrentItemChangedSignal(brix::qt::MarkerInfoItem item);
    void PassedIndexChanged(int index);

public slots:
    void CurrentItemChanged_(int index);

private:
    std::shared_ptr<EditModel> editModel_;
    std::unique_ptr<MarkerListModel> model_;
    int passedIndex_ = -1;
};

// The change-log event list (EventListView.qml, wrapped): rows from the edit model's event rows.
// Thread: GUI thread only.
class EventListController : public QmlController {
    Q_OBJECT

public:
    EventListController(QQuickItem* list, std::shared_ptr<EditModel> editModel, QQmlEngine* engine);

    void Refresh();
    void SelectEvent(const cmn::BrixEvent& event);
    void SetCurrentRow(int index);
    int GetCurrentRow() const;
    const EventListModel& GetModel() const { return *model_; }

signals:
    void CurrentItemChangedSignal(brix::qt::EventInfoItem item);
    void EditSelectedItem();

public slots:
    void CurrentItemChanged(int index);
    void EditSelectedItem_();

private:
    std::shared_ptr<EditModel> editModel_;
    std::unique_ptr<EventListModel> model_;
};

// The playlist (SongListView.qml, wrapped): one row per song of the engine with its attacca state. A
// click loads the song; a click on the state icon moves the state on (plays, continue, x, plays...).
// Thread: GUI thread only.
class SongListController : public QmlController {
    Q_OBJECT

public:
    SongListController(QQuickItem* list, std::shared_ptr<Interface> engine, QQmlEngine* qmlEngine);

    void SelectSong(const std::string& songNumber);
    void RefreshAttacca();
    int GetCurrentRow() const;
    const SongListModel& GetModel() const { return *model_; }

signals:
    void AttaccaStateChanged(std::string songNum, std::uint8_t state);

public slots:
    void ItemClicked_(int index);
    void AttaccaStateChanged_(QString songNumber);

private:
    int RowOf(const std::string& songNumber) const;

    std::shared_ptr<Interface> engine_;
    std::unique_ptr<SongListModel> model_;
};

}  // namespace brix::qt

Q_DECLARE_METATYPE(brix::qt::MarkerInfoItem)
Q_DECLARE_METATYPE(brix::qt::EventInfoItem)
