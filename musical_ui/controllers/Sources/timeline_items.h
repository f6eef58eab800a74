#pragma once

#include "qml_controller.h"

#include <brix_core/BrixEvent.h>

#include <QString>

#include <map>
#include <string>

class QQuickItem;

namespace brix::qt {

// The colour of a region of the timeline by its colour key (0 cut, 1 skip, 2 repeat, 3 vamp, 4 tempo
// scale, 5 transposition, 6 click, 8 spare); "#cccccc" for a key without a colour.
const std::map<int, std::string>& RegionColours();
std::string RegionColour(int colourKey);

// The folder of the program's QML documents in the resources.
inline constexpr const char* kMusicalUiQmlFolder = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/";

// BrixEventController: one item of the timeline's rows, with the QML item it creates as a child of the
// row item and owns. It shows a change-log event (not owned; it points into the engine's song log and
// is valid until the next rebuild) or, for key, tempo and meter labels, none (null).
// A click toggles `selected` and reports the event; double-click and drag are reported as they come.
// Owner: the TimelineController, which retires items with Retire() (never deletes one while a handler
// of its item may be running). Thread: GUI thread only.
class BrixEventController : public QmlController {
    Q_OBJECT

public:
    BrixEventController(const cmn::BrixEvent* event, bool editable, QQuickItem* parent, const QString& file,
                        QQmlEngine* engine);

    const cmn::BrixEvent* GetEvent() const { return event_; }
    bool IsEditable() const { return editable_; }
    void SetEditable(bool editable);
    bool IsSelected() const { return selected_; }
    void SetSelected(bool selected);
    // The item's scale: its "viewScale" (regions send it through their SetViewScale signal).
    virtual void ApplyViewScale(double scale);

    // Hides the item at once, cuts its signals and deletes this controller (and so its item) through
    // the event loop: a signal handler of the item or of this controller may still be on the stack.
    void Retire();

signals:
    void SelectedSignal(const cmn::BrixEvent* event);
    void DoubleClickedSignal();
    void DraggedSignal(const cmn::BrixEvent* event, int start, int end, bool adjustLeft, bool adjustRight);

protected slots:
    void Clicked_();
    void DoubleClicked_();
    void Dragged_(int start, int end, bool adjustLeft = false, bool adjustRight = false);

private:
    const cmn::BrixEvent* event_;
    bool editable_ = false;
    bool selected_ = false;
};

// A change-log region (TimeRegion.qml): position and width in unscaled pixels, colour by key.
class TimeRegionController : public BrixEventController {
    Q_OBJECT

public:
    TimeRegionController(const cmn::BrixEvent* event, bool editable, QQuickItem* parent, int position, int width,
                         int colourKey, QQmlEngine* engine);

    int GetColourKey() const { return colourKey_; }
    void ApplyViewScale(double scale) override;

signals:
    void SetBasePosition(int position);
    void SetViewScale(double scale);

private:
    int colourKey_;
};

// A caesura mark (TimeLineCaesura.qml).
class TimeLineCaesuraController : public BrixEventController {
    Q_OBJECT

public:
    TimeLineCaesuraController(const cmn::BrixEvent* event, bool editable, int position, QQuickItem* parent,
                              QQmlEngine* engine);
};

// A labelled marker (TimeLineMarker.qml): change-log markers and the key, tempo and meter labels.
class TimeLineMarkerController : public BrixEventController {
    Q_OBJECT

public:
    TimeLineMarkerController(const cmn::BrixEvent* event, bool editable, const std::string& label, int position,
                             QQuickItem* parent, QQmlEngine* engine);

    void SetVisibleLabel(bool visible);
    bool IsLabelVisible() const;
};

// An OSC cue glyph (TimeLineGlyph.qml).
class TimeLineGlyphController : public BrixEventController {
    Q_OBJECT

public:
    TimeLineGlyphController(const cmn::BrixEvent* event, bool editable, int position, QQuickItem* parent,
                            QQmlEngine* engine, const QString& glyphPath, bool enableOsc);
};

}  // namespace brix::qt
