#include "GuardedApplication.h"

#include <utility>

namespace brix::qt {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QGuiApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QGuiApplication::notify(receiver, event);
    } catch (const std::exception&) {
        if (!pending_) {
            pending_ = std::current_exception();
        }
        exit(1);
        return false;
    }
}

void GuardedApplication::RethrowPending() {
    if (pending_) {
        std::rethrow_exception(std::exchange(pending_, nullptr));
    }
}

}  // namespace brix::qt
