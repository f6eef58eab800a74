#include "show_store_window_controller.h"

#include "ShowFileCheck.h"
#include "ShowStore.h"
#include "dialog_controller.h"
#include "show_downloader_controller.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantMap>

#include <algorithm>

namespace brix::qt {

namespace {

const char* const kWindowUrl = "qrc:/qt/qml/com/fernwhistlestudios/musical_ui/qml/ShowStoreWindow.qml";

// The name of the bundled demo show, from its show.json in the program's resources.
QString DemoName() {
    QFile file(QStringLiteral(":/shows/demo/show.json"));
    const QString name = file.open(QIODevice::ReadOnly)
                             ? QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("name")).toString()
                             : QString();
    return name.isEmpty() ? QStringLiteral("Demo show") : name;
}

}  // namespace

ShowStoreWindowController::ShowStoreWindowController(QQmlEngine* engine, std::shared_ptr<ShowStore> store,
                                                     std::string applicationId)
    : QmlController(engine, QUrl(QString::fromLatin1(kWindowUrl)), nullptr, true), store_(std::move(store)),
      applicationId_(std::move(applicationId)) {
    const std::string demo = store_->DemoFolder().lexically_normal().string();
    offerDemo_ = std::none_of(store_->Shows().begin(), store_->Shows().end(),
                              [&demo](const networking::ShowRecord& show) { return show.folder == demo; });
    QObject* window = GetQmlObject();
    if (window == nullptr) {
        return;
    }
    window->setProperty("shows", Entries());
    connect(window, SIGNAL(open(int)), this, SLOT(Open_(int)));
    connect(window, SIGNAL(closing(QQuickCloseEvent*)), this, SIGNAL(Closing()));
}

ShowStoreWindowController::~ShowStoreWindowController() = default;

QVariantList ShowStoreWindowController::Entries() const {
    QVariantList entries;
    for (const networking::ShowRecord& show : store_->Shows()) {
        entries.append(QVariantMap{{QStringLiteral("name"), QString::fromStdString(show.name)},
                                   {QStringLiteral("customer"), QString::fromStdString(show.customer)},
                                   {QStringLiteral("folder"), QString::fromStdString(show.folder)}});
    }
    if (offerDemo_) {
        entries.append(QVariantMap{{QStringLiteral("name"), DemoName()},
                                   {QStringLiteral("customer"), QStringLiteral("Demo show of the program")},
                                   {QStringLiteral("folder"), QString()}});
    }
    return entries;
}

void ShowStoreWindowController::Open_(int index) {
    try {
        Open(index);
    } catch (const std::exception& e) {
        // The list stays for another choice.
        SetVisible(true);
        errorDialog_.reset();
        errorDialog_ = std::make_unique<DialogController>(e.what(), "Cannot Open Show", kDialogError, GetQmlObject(),
                                                          GetEngine(), nullptr);
    }
}

void ShowStoreWindowController::Open(int index) {
    const auto& shows = store_->Shows();
    if (index < 0 || index > static_cast<int>(shows.size()) ||
        (index == static_cast<int>(shows.size()) && !offerDemo_)) {
        return;
    }
    const networking::ShowRecord show = index < static_cast<int>(shows.size())
                                            ? store_->Choose(std::filesystem::path(shows[index].folder))
                                            : store_->ChooseDemo();
    auto plan = CheckShowFiles(show, applicationId_);
    SetVisible(false);
    if (plan->empty()) {
        emit ShowReady();
        return;
    }
    downloader_ = std::make_unique<ShowDownloaderController>(GetEngine(), nullptr);
    connect(downloader_.get(), SIGNAL(DownloadFinishedSignal(brix::networking::ShowRecord)), this,
            SIGNAL(DownloadComplete()), Qt::QueuedConnection);
    connect(downloader_.get(), SIGNAL(Closing()), this, SIGNAL(DownloadClosing()));
    connect(downloader_.get(), SIGNAL(Cancelled()), this, SIGNAL(DownloadCancelled()));
    downloader_->Download(show.folder, show, std::move(plan));
}

}  // namespace brix::qt
