#include <GuardedApplication.h>

#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>

#include <functional>
#include <stdexcept>

namespace {

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws from its event handler on a user event.
class ThrowingReceiver : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw Failure("from an event handler");
        }
        return QObject::event(event);
    }
};

TEST(GuardedApplication, AnExceptionLeavingAnEventEndsTheLoopAndReachesTheCallerOfExec) {
    int argc = 1;
    char name[] = "guarded";
    char* argv[] = {name, nullptr};
    brix::qt::GuardedApplication application(argc, argv);
    ThrowingReceiver receiver;

    const struct {
        const char* what;
        std::function<void()> post;
        const char* text;
    } table[] = {
        {"event handler", [&] { QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User)); },
         "from an event handler"},
        {"queued slot",
         [&] {
             QMetaObject::invokeMethod(
                 &receiver, [] { throw Failure("from a queued slot"); }, Qt::QueuedConnection);
             // Comes second and must not replace the first.
             QMetaObject::invokeMethod(
                 &receiver, [] { throw Failure("later"); }, Qt::QueuedConnection);
         },
         "from a queued slot"},
    };
    for (const auto& row : table) {
        row.post();
        // A bound on a loop that did not end, so the test fails instead of hanging.
        QTimer::singleShot(30000, &application, [&] { application.exit(2); });
        EXPECT_EQ(application.exec(), 1) << row.what;
        try {
            application.RethrowPending();
            ADD_FAILURE() << row.what << ": nothing rethrown";
        } catch (const Failure& e) {
            EXPECT_STREQ(e.what(), row.text) << row.what;
        }
        EXPECT_NO_THROW(application.RethrowPending()) << row.what;
        // Drop what the loop left queued ("later"), so the next row starts clean.
        QCoreApplication::removePostedEvents(&receiver);
    }
}

}  // namespace
