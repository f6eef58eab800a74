#include "qml_controller.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QVariant>
#include <QWindow>

#include <iostream>
#include <stdexcept>

namespace brix::qt {

namespace {

QString ErrorLines(const QList<QQmlError>& errors)
{
    QString text;
    for (const QQmlError& error : errors)
        text += error.toString() + QLatin1Char('\n');
    return text;
}

// Makes `parent` the QObject parent of `object` and its visual parent: an item's parent item (a
// window's content item), and a window's transient parent (the window the parent shows in).
void AttachToParent(QObject* object, QObject* parent)
{
    object->setParent(parent);
    if (auto* item = qobject_cast<QQuickItem*>(object)) {
        if (auto* parentItem = qobject_cast<QQuickItem*>(parent))
            item->setParentItem(parentItem);
        else if (auto* parentWindow = qobject_cast<QQuickWindow*>(parent))
            item->setParentItem(parentWindow->contentItem());
    }
    if (auto* window = qobject_cast<QWindow*>(object))
        window->setTransientParent(WindowOf(parent));
}

}  // namespace

QWindow* WindowOf(QObject* object)
{
    if (auto* window = qobject_cast<QWindow*>(object))
        return window;
    if (auto* item = qobject_cast<QQuickItem*>(object))
        return item->window();
    return nullptr;
}

QmlController::QmlController(QQmlEngine* engine, const QUrl& url, QObject* parent, bool owned,
                             const QVariantMap& initialProperties)
    : engine_(engine), owned_(true)
{
    QQmlComponent component(engine, url);
    if (component.isError()) {
        std::cerr << ErrorLines(component.errors()).toStdString() << '\n';
        return;
    }
    QObject* object = component.beginCreate(engine->rootContext());
    if (object == nullptr) {
        std::cerr << "Failed to create " << url.toString().toStdString() << '\n'
                  << ErrorLines(component.errors()).toStdString();
        owned_ = false;
        return;
    }
    component.setInitialProperties(object, initialProperties);
    owned_ = owned;
    if (parent != nullptr)
        AttachToParent(object, parent);
    component.completeCreate();
    object_ = object;
}

QmlController::QmlController(QObject* object, QQmlEngine* engine)
    : engine_(engine), object_(object), owned_(false)
{
}

QmlController::~QmlController()
{
    DeleteQmlObject();
}

void QmlController::SetVisible(bool visible)
{
    if (object_.isNull())
        throw std::runtime_error("Cannot Set QML Object visible. Qml Object is null.");
    object_->setProperty("visible", visible);
}

int QmlController::GetX() const
{
    return object_.isNull() ? 0 : object_->property("x").toInt();
}

int QmlController::GetRightEdge() const
{
    return object_.isNull() ? 0 : object_->property("x").toInt() + object_->property("width").toInt();
}

void QmlController::SetZ(double z)
{
    if (auto* item = qobject_cast<QQuickItem*>(object_.data()))
        item->setZ(z);
}

void QmlController::DeleteQmlObject()
{
    if (!object_.isNull() && owned_) {
        object_->deleteLater();
        object_ = nullptr;
    }
}

void QmlController::Closing_(QQuickCloseEvent*)
{
    DeleteQmlObject();
}

}  // namespace brix::qt
