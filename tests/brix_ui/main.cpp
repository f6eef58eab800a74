// Runs the Qt Quick tests of the widget module against its compiled form: the module's plugin is
// linked statically and its documents are found under the import path "qrc:/qt/qml" only.
//
// Binding errors and other QML warnings do not fail a Qt Quick test by themselves, so every warning of
// the QML engine that names the module is recorded, and the run fails when there was any.

#include "ActiveAudioTestModel.h"

#include <QtPlugin>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/QQmlError>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQml/qqml.h>
#include <QtQuickTest/quicktest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(com_fernwhistlestudios_brix_uiPlugin)

namespace {

const QLatin1String kModulePath("com/fernwhistlestudios/brix_ui");

// Real files for the tests of the folder and file pickers, in a temporary folder removed at the end.
class TemporaryFiles : public QObject {
    Q_OBJECT

public:
    // Creates an empty file (and its folders) under the temporary folder; returns its file URL.
    Q_INVOKABLE QUrl createFile(const QString& relativePath)
    {
        const QString path = folder_.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        return QUrl::fromLocalFile(path);
    }

    // The local path of the temporary folder.
    Q_INVOKABLE QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

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
        engine->rootContext()->setContextProperty(QStringLiteral("temporaryFiles"), &temporaryFiles_);
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
    TemporaryFiles temporaryFiles_;
};

}  // namespace

int main(int argc, char** argv)
{
    QDir().mkpath(QStringLiteral(BRIX_UI_GALLERY_DIR));
    // Host models that the tests set on the module's lists.
    qmlRegisterType<ActiveAudioTestModel>("BrixUiTestModels", 1, 0, "ActiveAudioTestModel");
    Setup setup;
    const int result = quick_test_main_with_setup(argc, argv, "brix_ui", QUICK_TEST_SOURCE_DIR, &setup);
    for (const QString& warning : setup.ModuleWarnings())
        std::fprintf(stderr, "FAIL: QML warning from the widget module: %s\n", qPrintable(warning));
    return (result != 0 || !setup.ModuleWarnings().isEmpty()) ? 1 : 0;
}

#include "main.moc"
