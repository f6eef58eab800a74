#pragma once

#include <brix_player_core/PlayerOscCallback.h>

#include <brix_core/BrixEvent.h>
#include <brix_core/EventObserver.h>

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class Interface;
class QThreadPool;

namespace brix {

// Sends the show's OSC cues that the engine finds due: each cue waits its delay on a pool of up to 8
// time-critical threads, then goes out as one UDP datagram from a fresh osc::OscUdpClient to its
// network destination (Interface::GetNetwork of the cue's network id), or, with no engine held, to
// 127.0.0.1 on the default port. Cues the engine asks to queue go to the main window through
// enqueueOscCommand.
//
// No cue after Stop: a cue is dropped when the engine does not play as it is handed over and again
// when its delay is over; a waiting cue is cancelled at once when the engine reports that playback
// stopped or paused, when the engine is released, and when this object is destroyed. A cue whose
// destination gives no valid address or port is not sent and not reported as sent.
//
// Owner: the main window controller (shared with the engine, which calls it). Threads: ExecuteEvent,
// EnqueueEvent and SetDefaultPort on any engine thread; SetInterface and ReleaseInterface on the GUI
// thread; the sends and OutgoingNotification on pool threads. Lock: mutex_ guards the engine pointer,
// the count of its users, the default port and the cancellation state; it is never held while the
// engine or a socket is called. The engine is called only through an EngineUse, and releasing or
// replacing it waits until no call is in flight, so the engine is always let go on the GUI thread,
// never on an engine or pool thread (which could not join themselves).
// Stop guarantee: when the destructor returns no cue task runs, and none was sent after it began.
class BrixPlayerOscCallback : public QObject, public PlayerOscCallback {
    Q_OBJECT

public:
    static constexpr int kMaxSendingThreads = 8;

    explicit BrixPlayerOscCallback(unsigned short defaultPort);
    ~BrixPlayerOscCallback() override;

    BrixPlayerOscCallback(const BrixPlayerOscCallback&) = delete;
    BrixPlayerOscCallback& operator=(const BrixPlayerOscCallback&) = delete;

    // Sends the cue after delay milliseconds (see above); never waits.
    void ExecuteEvent(const CL::Osc& osc, unsigned int delay) override;
    // Emits enqueueOscCommand(osc, delay).
    void EnqueueEvent(const CL::Osc& osc, unsigned int delay) override;
    void SetDefaultPort(unsigned short port) override;

    void SetInterface(std::shared_ptr<Interface> engine);
    // Drops the engine and cancels the cues that wait.
    void ReleaseInterface();

signals:
    void enqueueOscCommand(CL::Osc osc, uint32_t delay);
    // A cue was handed to a socket (emitted on a pool thread).
    void OutgoingNotification();

private:
    // The engine while a call on it is in flight; null when none is held.
    class EngineUse {
    public:
        explicit EngineUse(BrixPlayerOscCallback& owner);
        ~EngineUse();
        EngineUse(const EngineUse&) = delete;
        EngineUse& operator=(const EngineUse&) = delete;
        Interface* operator->() const { return engine_; }
        explicit operator bool() const { return engine_ != nullptr; }

    private:
        BrixPlayerOscCallback& owner_;
        Interface* engine_;
    };

    // Swaps in the engine once no call on the old one is in flight; the old one goes to the caller.
    std::shared_ptr<Interface> ExchangeInterface(std::shared_ptr<Interface> engine);
    // Ends the wait of every cue handed over so far; they are not sent.
    void CancelWaitingCues();
    // On a pool thread: waits the delay unless cancelled, checks the engine still plays, sends.
    void SendCue(const QString& message, const QHostAddress& address, unsigned short port, unsigned int delay,
                 std::uint64_t generation);

    mutable std::mutex mutex_;
    std::condition_variable cancelled_;
    std::condition_variable engineIdle_;
    std::shared_ptr<Interface> engine_;
    int engineUsers_ = 0;
    unsigned short defaultPort_;
    // Counts cancellations; a cue handed over in an earlier one is not sent.
    std::uint64_t generation_ = 0;
    bool closing_ = false;
    std::shared_ptr<QThreadPool> pool_;
    // Last, so it is destroyed first: no stop report reaches a half-destroyed object.
    notify::EventObserver playbackObserver_;
};

}  // namespace brix
