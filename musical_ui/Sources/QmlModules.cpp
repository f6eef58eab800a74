#include "QmlModules.h"

#include <QtPlugin>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQml/qqml.h>

Q_IMPORT_QML_PLUGIN(com_fernwhistlestudios_brix_uiPlugin)

namespace brix::qt {

void RegisterQmlModules()
{
    qmlRegisterModule("com.fernwhistlestudios.brix_ui", 1, 0);
    qmlRegisterModule("com.fernwhistlestudios.tarnwick2_ui", 1, 0);
}

}  // namespace brix::qt
