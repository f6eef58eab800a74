#pragma once

#include <QObject>
#include <QString>

namespace musical_test {

// Waits for the first frame of the window `object` (a QQuickWindow, shown) and saves it as
// <folder>/<name>.png. Fails the running test when the window is not shown, never draws or the
// picture cannot be written.
void SaveWindowPicture(QObject* object, const QString& folder, const QString& name);

}  // namespace musical_test
