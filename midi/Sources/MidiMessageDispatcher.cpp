#include "MidiMessageDispatcher.h"

#include "win32/MidiInputWin32.h"

#include <brix_core/GuiDispatcher.h>

#include <iostream>

const std::set<std::uint8_t> allowedStatuses{0x90, 0xB0, 0xC0};

namespace {
using Guard = std::lock_guard<std::mutex>;
constexpr std::size_t kReservedPacketMessages = 64;
}  // namespace

MidiMessageDispatcher::MidiMessageDispatcher()
    : forward_([](const std::vector<MIDIMessage>&) {})
{
    packet_.reserve(kReservedPacketMessages);
}

MidiMessageDispatcher::~MidiMessageDispatcher()
{
    port_.reset();
}

void MidiMessageDispatcher::ConnectWithSourceIndex(unsigned char index)
{
    std::unique_ptr<MidiInputInterface> port = std::make_unique<MidiInputWin32<MidiMessageDispatcher>>(index, this);
    port_.swap(port);
}

void MidiMessageDispatcher::Start()
{
    if (!port_) {
        std::cerr << "MidiMessageDispatcher::Start called before " << "ConnectWithSourceIndex" << std::endl;
        return;
    }
    port_->Start();
}

void MidiMessageDispatcher::Disconnect()
{
    hadPort_ = port_ != nullptr;
    lastPortIndex_ = hadPort_ ? port_->GetPortIndex() : 0;
    port_.reset();
}

bool MidiMessageDispatcher::GetIsConnected()
{
    return port_ != nullptr;
}

unsigned char MidiMessageDispatcher::GetPortIndex()
{
    if (port_) {
        return port_->GetPortIndex();
    }
    if (hadPort_) {
        return lastPortIndex_;
    }
    std::cerr << "MidiMessageDispatcher::GetPortIndex requested " << " without connection" << std::endl;
    return 0;
}

bool MidiMessageDispatcher::IsLearning()
{
    Guard guard(mutex_);
    return learning_;
}

void MidiMessageDispatcher::LearnMidiBinding(std::function<void()> bind, Notice notice)
{
    Guard guard(mutex_);
    learning_ = true;
    bindQueue_.push(std::move(bind));
    noticeQueue_.push(std::move(notice));
}

void MidiMessageDispatcher::LearnMidiBindingNoAssign(Notice notice)
{
    LearnMidiBinding(nullptr, std::move(notice));
}

void MidiMessageDispatcher::SetMidiBinding(Key key, std::function<void()> action)
{
    Guard guard(mutex_);
    bindings_[key] = std::move(action);
}

void MidiMessageDispatcher::RemoveMidiBinding(Key key)
{
    Guard guard(mutex_);
    bindings_.erase(key);
}

void MidiMessageDispatcher::SetForwardingFunction(ForwardingFunction forward)
{
    Guard guard(mutex_);
    collecting_ = static_cast<bool>(forward);
    forward_ = std::move(forward);
}

void MidiMessageDispatcher::PacketStart()
{
    Guard guard(mutex_);
    packet_.clear();
}

void MidiMessageDispatcher::PacketEnd()
{
    ForwardingFunction forward;
    std::vector<MIDIMessage> packet;
    {
        Guard guard(mutex_);
        if (!forward_) {
            throw std::bad_function_call();
        }
        forward = forward_;
        packet.swap(packet_);
        packet_.reserve(kReservedPacketMessages);
    }
    forward(packet);
}

void MidiMessageDispatcher::MidiNotification()
{
    notify::guiDispatcher.SendMidiNotification();
}

void MidiMessageDispatcher::ProcessMessage(const MIDIMessage& message)
{
    MidiNotification();
    const std::uint8_t nibble = message.GetStatus();
    const bool accepted = allowedStatuses.contains(nibble) && !(nibble == 0x90 && message.data2 == 0);
    if (accepted) {
        const Key key{message.status, message.data1};
        std::unique_lock lock(mutex_);
        if (learning_) {
            std::function<void()> bind = std::move(bindQueue_.front());
            bindQueue_.pop();
            if (bind) {
                bindings_[key] = std::move(bind);
            }
            Notice notice = std::move(noticeQueue_.front());
            noticeQueue_.pop();
            learning_ = !bindQueue_.empty();
            lock.unlock();
            notice(key);
            return;
        }
        const auto binding = bindings_.find(key);
        if (binding != bindings_.end()) {
            std::function<void()> action = binding->second;
            lock.unlock();
            action();
            return;
        }
    }
    Guard guard(mutex_);
    if (collecting_ && packet_.size() < kMaxPacketMessages) {
        packet_.push_back(message);
    }
}

void MidiMessageDispatcher::ProcessMscMessage(const MscMessage&)
{
    MidiNotification();
}

void MidiMessageDispatcher::DisplayCallbackMap(std::ostream& out)
{
    Guard guard(mutex_);
    for (const auto& [key, action] : bindings_) {
        out << "\tStatus: " << static_cast<int>(key.first) << " Data: " << static_cast<int>(key.second)
            << " Callback: " << static_cast<const void*>(&action) << "\n";
    }
}

bool operator<(const std::pair<unsigned char, unsigned char>& a, const std::pair<unsigned char, unsigned char>& b)
{
    return (a.second * 256 + a.first) < (b.second * 256 + b.first);
}
