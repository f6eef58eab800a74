#pragma once

#include "guarded_slot.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <string>

class QQmlEngine;
class QQuickCloseEvent;
class QWindow;

namespace brix::qt {

// QmlController: the base of every window controller. It creates its window from a QML document of
// the program's resources in the engine's root context (or wraps an object created elsewhere), shows
// and hides it, and reads and sets its properties by name. An owned window is deleted through the
// event loop when the controller is destroyed or the window closes; a wrapped object never is.
// Failures the user must see leave through `information` and `error` (message, title), which the
// owner of the controller shows as dialogs; slots that can throw run their bodies through Guarded so
// no exception reaches Qt.
// Thread: GUI thread only.
class QmlController : public QObject {
    Q_OBJECT

public:
    // Creates the window of `url`. Load errors are written to the standard error stream and leave the
    // controller without a window. With a parent, the window becomes its child (and its transient
    // child; an item's child item when the created object is not a window).
    QmlController(QQmlEngine* engine, const QUrl& url, QObject* parent, bool owned,
                  const QVariantMap& initialProperties = {});
    // Wraps an object created elsewhere; the controller never deletes it.
    QmlController(QObject* object, QQmlEngine* engine);
    ~QmlController() override;

    QmlController(const QmlController&) = delete;
    QmlController& operator=(const QmlController&) = delete;

    QObject* GetQmlObject() const { return object_.data(); }
    QQmlEngine* GetEngine() const { return engine_; }

    // Sets the window's "visible"; throws std::runtime_error without a window.
    void SetVisible(bool visible);
    int GetX() const;
    int GetRightEdge() const;
    void SetZ(double z);

    // Schedules an owned window for deletion and forgets it; nothing for a wrapped object.
    void DeleteQmlObject();

signals:
    void information(std::string message, std::string title);
    void error(std::string message, std::string title);

public slots:
    void Closing_(QQuickCloseEvent* event);

protected:
    // Runs a slot's body; an exception it throws is emitted as `error` with this title.
    template <class Body>
    void Guarded(const std::string& title, Body&& body) noexcept
    {
        RunGuarded(title, std::forward<Body>(body),
                   [this](const std::string& message, const std::string& errorTitle) {
                       emit error(message, errorTitle);
                   });
    }

private:
    QQmlEngine* engine_ = nullptr;
    // Guarded: a window parented to another object dies with it.
    QPointer<QObject> object_;
    bool owned_ = false;
};

// The window an object shows in: the object itself when it is a window, an item's window, else null.
QWindow* WindowOf(QObject* object);

}  // namespace brix::qt
