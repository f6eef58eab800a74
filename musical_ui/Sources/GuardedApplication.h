#pragma once

#include <QGuiApplication>

#include <exception>

namespace brix::qt {

// GuardedApplication: the program's QGuiApplication, which stops an exception at the edge of the
// event loop. Qt does not carry an exception through exec(): one that left an event handler or a
// slot would end the process without a word. Here an exception that leaves the delivery of an event
// is kept, the event loop is told to end, and RethrowPending() hands it to the caller of exec(),
// which logs it. Slots that can throw still catch their own exceptions and show them; this is the
// last resort. Only the first exception is kept; later ones before exec() returns are dropped.
// GUI thread only.
class GuardedApplication : public QGuiApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Throws the exception kept from the last run of the event loop, if any, and forgets it.
    void RethrowPending();

private:
    std::exception_ptr pending_;
};

}  // namespace brix::qt
