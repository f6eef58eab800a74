#pragma once

#include "qml_controller.h"

#include <QVariantList>

#include <memory>
#include <string>

namespace brix {
class ShowStore;
}

namespace brix::qt {

class DialogController;
class ShowDownloaderController;

// ShowStoreWindowController: the window "Choose a Show" (ShowStoreWindow.qml), shown when no show is
// current. It lists the store's shows and the bundled demo (unless the store holds it already). Opening
// one makes it current and checks its files against its show server: with nothing to fetch it emits
// ShowReady(); otherwise it hides, fetches the files in a download window of its own and reports the
// download's end (DownloadComplete(), DownloadClosing(), DownloadCancelled()). A show that cannot be
// opened is reported in an error dialog and the list stays. Closing the window emits Closing().
// GUI thread only.
class ShowStoreWindowController : public QmlController {
    Q_OBJECT

public:
    ShowStoreWindowController(QQmlEngine* engine, std::shared_ptr<ShowStore> store, std::string applicationId);
    ~ShowStoreWindowController() override;

    // The window's entries: maps of "name", "customer" and "folder" (the demo's folder is empty until
    // it is copied).
    QVariantList Entries() const;
    ShowDownloaderController* Downloader() const { return downloader_.get(); }
    DialogController* ErrorDialog() const { return errorDialog_.get(); }

signals:
    void ShowReady();
    void DownloadComplete();
    void DownloadClosing();
    void DownloadCancelled();
    void Closing();

public slots:
    void Open_(int index);

private:
    void Open(int index);

    std::shared_ptr<ShowStore> store_;
    std::string applicationId_;
    bool offerDemo_ = true;
    std::unique_ptr<ShowDownloaderController> downloader_;
    std::unique_ptr<DialogController> errorDialog_;
};

}  // namespace brix::qt
