#include "BrixPlayerOscCallback.h"

#include "OscUdpClient.h"

#include <brix_player_core/Interface.h>

#include <QHostAddress>
#include <QThread>
#include <QThreadPool>
#include <QtDebug>

#include <chrono>
#include <limits>

namespace brix {

BrixPlayerOscCallback::BrixPlayerOscCallback(unsigned short defaultPort)
    : defaultPort_(defaultPort), pool_(std::make_shared<QThreadPool>())
{
    pool_->setMaxThreadCount(kMaxSendingThreads);
    pool_->setThreadPriority(QThread::TimeCriticalPriority);
    playbackObserver_.SetCallbackFunc([this](int, int, const char*, void*) { CancelWaitingCues(); }, nullptr);
    playbackObserver_.RegisterPlaybackStopped(0);
    playbackObserver_.RegisterPlaybackPaused(0);
}

BrixPlayerOscCallback::~BrixPlayerOscCallback()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    cancelled_.notify_all();
    pool_->waitForDone();
}

BrixPlayerOscCallback::EngineUse::EngineUse(BrixPlayerOscCallback& owner) : owner_(owner)
{
    std::lock_guard lock(owner_.mutex_);
    engine_ = owner_.engine_.get();
    if (engine_ != nullptr) {
        ++owner_.engineUsers_;
    }
}

BrixPlayerOscCallback::EngineUse::~EngineUse()
{
    if (engine_ == nullptr) {
        return;
    }
    {
        std::lock_guard lock(owner_.mutex_);
        --owner_.engineUsers_;
    }
    owner_.engineIdle_.notify_all();
}

std::shared_ptr<Interface> BrixPlayerOscCallback::ExchangeInterface(std::shared_ptr<Interface> engine)
{
    std::unique_lock lock(mutex_);
    engineIdle_.wait(lock, [this] { return engineUsers_ == 0; });
    std::swap(engine_, engine);
    return engine;
}

void BrixPlayerOscCallback::ExecuteEvent(const CL::Osc& osc, unsigned int delay)
{
    QHostAddress address(QHostAddress::LocalHost);
    int port = 0;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        port = defaultPort_;
        generation = generation_;
    }
    const CL::OscProperties& properties = osc.osc_properties();
    if (const EngineUse engine(*this); engine) {
        const CL::NetworkPath path = engine->GetNetwork(properties.NetworkId());
        address = QHostAddress(QString::fromStdString(path.IpAddress()));
        port = path.Port();
        if (!engine->GetIsPlaying()) {
            return;
        }
    }
    if (address.isNull() || port < 1 || port > std::numeric_limits<unsigned short>::max()) {
        qWarning().noquote() << QStringLiteral("OSC cue %1 not sent: network %2 has no valid address and port.")
                                    .arg(QString::fromStdString(osc.EventId()), QString::fromStdString(properties.NetworkId()));
        return;
    }
    pool_->start([this, message = QString::fromStdString(properties.Message()), address,
                  port = static_cast<unsigned short>(port), delay, generation] {
        SendCue(message, address, port, delay, generation);
    });
}

void BrixPlayerOscCallback::SendCue(const QString& message, const QHostAddress& address, unsigned short port,
                                    unsigned int delay, std::uint64_t generation)
{
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(delay);
    {
        std::unique_lock lock(mutex_);
        if (cancelled_.wait_until(lock, due, [&] { return closing_ || generation_ != generation; })) {
            return;
        }
    }
    if (const EngineUse engine(*this); engine && !engine->GetIsPlaying()) {
        return;
    }
    osc::OscUdpClient client;
    if (client.Send(message, address, port)) {
        emit OutgoingNotification();
    }
}

void BrixPlayerOscCallback::EnqueueEvent(const CL::Osc& osc, unsigned int delay) { emit enqueueOscCommand(osc, delay); }

void BrixPlayerOscCallback::SetDefaultPort(unsigned short port)
{
    std::lock_guard lock(mutex_);
    defaultPort_ = port;
}

void BrixPlayerOscCallback::SetInterface(std::shared_ptr<Interface> engine)
{
    // The engine this one replaces is let go here, on the caller's thread.
    ExchangeInterface(std::move(engine));
}

void BrixPlayerOscCallback::ReleaseInterface()
{
    const std::shared_ptr<Interface> released = ExchangeInterface(nullptr);
    CancelWaitingCues();
}

void BrixPlayerOscCallback::CancelWaitingCues()
{
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    cancelled_.notify_all();
}

}  // namespace brix
