#pragma once

#include "dialog_controller.h"

#include <QString>

#include <memory>

class QObject;
class QQmlEngine;

namespace brix {
class AppSettings;
}

namespace brix::qt {

// The keys under which the user silences the two welcome notices. Each notice has its own key, so
// silencing one never hides the other.
inline constexpr char kRehearsalNoticeKey[] = "ShowRehearsalNotice";
inline constexpr char kPerformanceNoticeKey[] = "ShowPerformanceNotice";

// The welcome notice of the rehearsal edition, titled "Welcome to " + the display name, with a
// "Do not show again" box under kRehearsalNoticeKey.
std::unique_ptr<DialogController> ShowRehearsalNotice(const QString& displayName, QObject* parent,
                                                      QQmlEngine* engine,
                                                      std::shared_ptr<brix::AppSettings> settings);

// The notice on preparing performances, titled "Welcome to " + the display name, whose OK waits for
// the box "I have completed the performance essentials steps.". Unforced it carries a "Do not show
// again" box under kPerformanceNoticeKey; forced it has no key and always shows.
std::unique_ptr<DialogController> ShowPerformanceNotice(const QString& displayName, QObject* parent,
                                                        QQmlEngine* engine,
                                                        std::shared_ptr<brix::AppSettings> settings, bool forced);

}  // namespace brix::qt
