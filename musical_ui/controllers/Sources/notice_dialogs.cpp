#include "notice_dialogs.h"

#include <string>
#include <utility>

namespace brix::qt {

namespace {

std::string WelcomeTitle(const QString& displayName)
{
    return "Welcome to " + displayName.toStdString();
}

}  // namespace

std::unique_ptr<DialogController> ShowRehearsalNotice(const QString& displayName, QObject* parent,
                                                      QQmlEngine* engine,
                                                      std::shared_ptr<brix::AppSettings> settings)
{
    const std::string name = displayName.toStdString();
    const std::string text = name
                             + " is the rehearsal edition: play your show's tracks in rehearsal and shape the "
                               "change log with cuts, vamps, clicks and markers. Every edit you make here "
                               "carries over to the performance edition.";
    return std::make_unique<DialogController>(text, WelcomeTitle(displayName), kDialogInfo, parent, engine,
                                              std::move(settings), true, kRehearsalNoticeKey, false, false,
                                              false, "Acknowledge");
}

std::unique_ptr<DialogController> ShowPerformanceNotice(const QString& displayName, QObject* parent,
                                                        QQmlEngine* engine,
                                                        std::shared_ptr<brix::AppSettings> settings, bool forced)
{
    const std::string text =
        "Before the first performance, work through the performance essentials:\n"
        "1. Choose the audio output device and check the output paths.\n"
        "2. Set the click volume.\n"
        "3. Load the change log you rehearsed with and save it as a new version.\n"
        "4. Play the start of each song once on the performance system.";
    return std::make_unique<DialogController>(text, WelcomeTitle(displayName), kDialogInfo, parent, engine,
                                              std::move(settings), !forced,
                                              forced ? std::string() : std::string(kPerformanceNoticeKey),
                                              false, true, true,
                                              "I have completed the performance essentials steps.");
}

}  // namespace brix::qt
