#include "timeline_items.h"

#include <QQuickItem>
#include <QUrl>
#include <QVariant>

namespace brix::qt {

namespace {

QUrl DocumentUrl(const QString& file)
{
    return QUrl(QString::fromLatin1(kMusicalUiQmlFolder) + file);
}

}  // namespace

const std::map<int, std::string>& RegionColours()
{
    static const std::map<int, std::string> colours{
        {0, "#DC143C"}, {1, "#6e3493"}, {2, "#DAA520"}, {3, "#00BFFF"},
        {4, "#0d6d97"}, {5, "#FFFF00"}, {6, "#3da893"}, {8, "#FF66CC"},
    };
    return colours;
}

std::string RegionColour(int colourKey)
{
    const auto found = RegionColours().find(colourKey);
    return found == RegionColours().end() ? std::string("#cccccc") : found->second;
}

BrixEventController::BrixEventController(const cmn::BrixEvent* event, bool editable, QQuickItem* parent,
                                         const QString& file, QQmlEngine* engine)
    : QmlController(engine, DocumentUrl(file), parent, true), event_(event)
{
    SetEditable(editable);
    if (QObject* item = GetQmlObject())
        connect(item, SIGNAL(clicked()), this, SLOT(Clicked_()));
}

void BrixEventController::SetEditable(bool editable)
{
    if (editable == editable_)
        return;
    editable_ = editable;
    if (QObject* item = GetQmlObject())
        item->setProperty("editable", editable);
}

void BrixEventController::SetSelected(bool selected)
{
    selected_ = selected;
    if (QObject* item = GetQmlObject())
        item->setProperty("selected", selected);
}

void BrixEventController::ApplyViewScale(double scale)
{
    if (QObject* item = GetQmlObject())
        item->setProperty("viewScale", scale);
}

void BrixEventController::Retire()
{
    if (QObject* item = GetQmlObject()) {
        item->setProperty("visible", false);
        QObject::disconnect(item, nullptr, this, nullptr);
    }
    disconnect();
    deleteLater();
}

void BrixEventController::Clicked_()
{
    SetSelected(!selected_);
    emit SelectedSignal(event_);
}

void BrixEventController::DoubleClicked_()
{
    emit DoubleClickedSignal();
}

void BrixEventController::Dragged_(int start, int end, bool adjustLeft, bool adjustRight)
{
    emit DraggedSignal(event_, start, end, adjustLeft, adjustRight);
}

TimeRegionController::TimeRegionController(const cmn::BrixEvent* event, bool editable, QQuickItem* parent,
                                           int position, int width, int colourKey, QQmlEngine* engine)
    : BrixEventController(event, editable, parent, QStringLiteral("TimeRegion.qml"), engine), colourKey_(colourKey)
{
    if (QObject* item = GetQmlObject()) {
        connect(item, SIGNAL(dragged(int,int,bool,bool)), this, SLOT(Dragged_(int,int,bool,bool)));
        connect(item, SIGNAL(doubleClicked()), this, SLOT(DoubleClicked_()));
        connect(this, SIGNAL(SetBasePosition(int)), item, SLOT(basePositionSet(int)));
        connect(this, SIGNAL(SetViewScale(double)), item, SLOT(viewScaleSet(double)));
        item->setProperty("baseWidth", width);
        emit SetBasePosition(position);
        item->setProperty("baseColor", QString::fromStdString(RegionColour(colourKey)));
    }
}

void TimeRegionController::ApplyViewScale(double scale)
{
    emit SetViewScale(scale);
}

TimeLineCaesuraController::TimeLineCaesuraController(const cmn::BrixEvent* event, bool editable, int position,
                                                     QQuickItem* parent, QQmlEngine* engine)
    : BrixEventController(event, editable, parent, QStringLiteral("TimeLineCaesura.qml"), engine)
{
    if (QObject* item = GetQmlObject()) {
        connect(item, SIGNAL(doubleClicked()), this, SLOT(DoubleClicked_()));
        connect(item, SIGNAL(dragged(int,int)), this, SLOT(Dragged_(int,int)));
        item->setProperty("basePosition", position);
    }
}

TimeLineMarkerController::TimeLineMarkerController(const cmn::BrixEvent* event, bool editable,
                                                   const std::string& label, int position, QQuickItem* parent,
                                                   QQmlEngine* engine)
    : BrixEventController(event, editable, parent, QStringLiteral("TimeLineMarker.qml"), engine)
{
    if (QObject* item = GetQmlObject()) {
        connect(item, SIGNAL(doubleClicked()), this, SLOT(DoubleClicked_()));
        connect(item, SIGNAL(dragged(int,int)), this, SLOT(Dragged_(int,int)));
        item->setProperty("basePosition", position);
        item->setProperty("labelText", QString::fromStdString(label));
    }
}

void TimeLineMarkerController::SetVisibleLabel(bool visible)
{
    if (QObject* item = GetQmlObject())
        item->setProperty("visibleLabel", visible);
}

bool TimeLineMarkerController::IsLabelVisible() const
{
    QObject* item = GetQmlObject();
    return item != nullptr && item->property("visibleLabel").toBool();
}

TimeLineGlyphController::TimeLineGlyphController(const cmn::BrixEvent* event, bool editable, int position,
                                                 QQuickItem* parent, QQmlEngine* engine, const QString& glyphPath,
                                                 bool enableOsc)
    : BrixEventController(event, editable, parent, QStringLiteral("TimeLineGlyph.qml"), engine)
{
    if (QObject* item = GetQmlObject()) {
        connect(item, SIGNAL(doubleClicked()), this, SLOT(DoubleClicked_()));
        connect(item, SIGNAL(dragged(int,int)), this, SLOT(Dragged_(int,int)));
        item->setProperty("basePosition", position);
        item->setProperty("enableOsc", enableOsc);
        item->setProperty("glyphPath", glyphPath);
    }
}

}  // namespace brix::qt
