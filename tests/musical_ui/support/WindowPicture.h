#pragma once

#include <QString>

class QObject;

namespace musical_test {

// Waits for the window's first frame and saves it as <name>.png in the folder (made when missing).
// Fails the running test when the object is no visible window or the picture cannot be made.
void SaveWindowPicture(QObject* object, const QString& folder, const QString& name);

}  // namespace musical_test
