// Runs the Qt Quick tests of the widget module against its compiled form: the module's plugin is
// linked statically and its documents are found under the import path "qrc:/qt/qml" only.
//
// Binding errors and other QML warnings do not fail a Qt Quick test by themselves, so every warning of
// the QML engine that names the module is recorded, and the run fails when there was any.

#include <QtPlugin>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlError>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest/quicktest.h>

#include <QDir>
#include <QList>
#include <QObject>
#include <QStringList>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(com_fernwhistlestudios_brix_uiPlugin)

namespace {

const QLatin1String kModulePath("com/fernwhistlestudios/brix_ui");

class Setup : public QObject {
    Q_OBJECT

public:
    const QStringList& ModuleWarnings() const { return moduleWarnings_; }

public slots:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->rootContext()->setContextProperty(QStringLiteral("galleryFolder"),
                                                  QStringLiteral(BRIX_UI_GALLERY_DIR));
        connect(engine, &QQmlEngine::warnings, this, &Setup::RecordModuleWarnings);
    }

private:
    void RecordModuleWarnings(const QList<QQmlError>& warnings)
    {
        for (const QQmlError& warning : warnings) {
            const QString text = warning.toString();
            if (text.contains(kModulePath))
                moduleWarnings_.append(text);
        }
    }

    QStringList moduleWarnings_;
};

}  // namespace

int main(int argc, char** argv)
{
    QDir().mkpath(QStringLiteral(BRIX_UI_GALLERY_DIR));
    Setup setup;
    const int result = quick_test_main_with_setup(argc, argv, "brix_ui", QUICK_TEST_SOURCE_DIR, &setup);
    for (const QString& warning : setup.ModuleWarnings())
        std::fprintf(stderr, "FAIL: QML warning from the widget module: %s\n", qPrintable(warning));
    return (result != 0 || !setup.ModuleWarnings().isEmpty()) ? 1 : 0;
}

#include "main.moc"
