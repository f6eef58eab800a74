#pragma once

#include <QtCore/QObject>
#include <QtCore/QString>
#include <QtCore/QUrl>
#include <QtQml/qqmlregistration.h>

namespace brix_ui {

// Turns the file URLs that the folder and file pickers give into the local paths shown to the user and
// handed to the program: percent-encoding decoded (spaces, non-ASCII), a host kept as "//host/...",
// and on Windows no "/" before the drive letter. A URL that names no local file gives an empty path.
// Stateless; callable from any thread.
class LocalPaths : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QString fromUrl(const QUrl& url) const;
};

}  // namespace brix_ui
