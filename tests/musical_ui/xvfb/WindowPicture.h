#pragma once

#include <QObject>
#include <QString>

namespace musical_test {

// Waits for the shown window's first frame and saves it as <name>.png in the pictures folder of the
// build (PICTURES_DIR); fails the test when the object is no shown window or the picture is not saved.
void SaveWindowPicture(QObject* object, const QString& name);

}  // namespace musical_test
