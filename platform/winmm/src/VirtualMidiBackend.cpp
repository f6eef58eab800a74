#include "VirtualMidiBackend.h"

#include <winmm_virtual/VirtualMidi.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace winmm_virtual {

// The device behind a VirtualMidiOutput; open streams share it, so it outlives
// the test object while a stream is open on it. Its lock guards the capture,
// the withholding flag and the handlers; no handler runs under it.
class VirtualOutputState final : public winmm_impl::MidiOutDevice,
                                 public std::enable_shared_from_this<VirtualOutputState> {
public:
    explicit VirtualOutputState(std::u16string name) : name_(std::move(name)) {}

    MIDIOUTCAPSW GetCaps() const override
    {
        MIDIOUTCAPSW caps{};
        caps.vDriverVersion = 0x0100;
        winmm_impl::CopyDeviceName(name_, caps.szPname);
        caps.wTechnology = MOD_SWSYNTH;
        caps.wChannelMask = 0xFFFF;
        return caps;
    }

    std::unique_ptr<winmm_impl::MidiOutConnection> Open() override;

    void Capture(DWORD message)
    {
        CapturedEvent event;
        event.status = static_cast<BYTE>(message & 0xFF);
        event.data1 = static_cast<BYTE>((message >> 8) & 0xFF);
        event.data2 = static_cast<BYTE>((message >> 16) & 0xFF);
        event.sentAt = std::chrono::steady_clock::now();
        {
            std::lock_guard lock(mutex_);
            events_.push_back(event);
        }
        captured_.notify_all();
    }

    std::vector<CapturedEvent> GetEvents() const
    {
        std::lock_guard lock(mutex_);
        return events_;
    }

    bool WaitForEventCount(std::size_t count, std::chrono::milliseconds timeout) const
    {
        std::unique_lock lock(mutex_);
        return captured_.wait_for(lock, timeout, [&] { return events_.size() >= count; });
    }

    void ClearEvents()
    {
        std::lock_guard lock(mutex_);
        events_.clear();
    }

    bool WithholdsDone() const
    {
        std::lock_guard lock(mutex_);
        return withhold_;
    }

    void WithholdDone(bool withhold)
    {
        std::vector<std::function<void()>> handlers;
        {
            std::lock_guard lock(mutex_);
            withhold_ = withhold;
            if (!withhold) {
                for (auto& entry : handlers_) {
                    handlers.push_back(entry.second);
                }
            }
        }
        for (auto& handler : handlers) {
            handler();
        }
    }

    std::size_t AddWithholdEndedHandler(std::function<void()> handler)
    {
        std::lock_guard lock(mutex_);
        handlers_.emplace_back(++lastHandlerId_, std::move(handler));
        return lastHandlerId_;
    }

    void RemoveWithholdEndedHandler(std::size_t id)
    {
        std::lock_guard lock(mutex_);
        std::erase_if(handlers_, [id](const auto& entry) { return entry.first == id; });
    }

private:
    const std::u16string name_;
    mutable std::mutex mutex_;
    mutable std::condition_variable captured_;
    std::vector<CapturedEvent> events_;
    bool withhold_ = false;
    std::vector<std::pair<std::size_t, std::function<void()>>> handlers_;
    std::size_t lastHandlerId_ = 0;
};

namespace {

class VirtualOutConnection final : public winmm_impl::MidiOutConnection {
public:
    explicit VirtualOutConnection(std::shared_ptr<VirtualOutputState> device) : device_(std::move(device)) {}

    ~VirtualOutConnection() override
    {
        if (handlerId_ != 0) {
            device_->RemoveWithholdEndedHandler(handlerId_);
        }
    }

    void Send(DWORD message) override { device_->Capture(message); }

    bool WithholdsDone() const override { return device_->WithholdsDone(); }

    void SetWithholdEndedHandler(std::function<void()> handler) override
    {
        if (handlerId_ != 0) {
            device_->RemoveWithholdEndedHandler(handlerId_);
        }
        handlerId_ = device_->AddWithholdEndedHandler(std::move(handler));
    }

private:
    std::shared_ptr<VirtualOutputState> device_;
    std::size_t handlerId_ = 0;
};

}  // namespace

std::unique_ptr<winmm_impl::MidiOutConnection> VirtualOutputState::Open()
{
    return std::make_unique<VirtualOutConnection>(shared_from_this());
}

// The device behind a VirtualMidiInput. Its lock guards the sinks; sinks are
// called under it, so a detached sink is never called again.
class VirtualInputState final : public winmm_impl::MidiInDevice,
                                public std::enable_shared_from_this<VirtualInputState> {
public:
    explicit VirtualInputState(std::u16string name) : name_(std::move(name)) {}

    MIDIINCAPSW GetCaps() const override
    {
        MIDIINCAPSW caps{};
        caps.vDriverVersion = 0x0100;
        winmm_impl::CopyDeviceName(name_, caps.szPname);
        return caps;
    }

    std::unique_ptr<winmm_impl::MidiInConnection> Open(winmm_impl::MidiInSink sink) override;

    std::size_t Inject(DWORD message)
    {
        std::lock_guard lock(mutex_);
        std::size_t accepted = 0;
        for (auto& entry : sinks_) {
            accepted += entry.second(message) ? 1 : 0;
        }
        return accepted;
    }

    std::size_t Attach(winmm_impl::MidiInSink sink)
    {
        std::lock_guard lock(mutex_);
        sinks_.emplace_back(++lastSinkId_, std::move(sink));
        return lastSinkId_;
    }

    void Detach(std::size_t id)
    {
        std::lock_guard lock(mutex_);
        std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
    }

private:
    const std::u16string name_;
    std::mutex mutex_;
    std::vector<std::pair<std::size_t, winmm_impl::MidiInSink>> sinks_;
    std::size_t lastSinkId_ = 0;
};

namespace {

class VirtualInConnection final : public winmm_impl::MidiInConnection {
public:
    VirtualInConnection(std::shared_ptr<VirtualInputState> device, std::size_t id)
        : device_(std::move(device)), id_(id)
    {
    }
    ~VirtualInConnection() override { device_->Detach(id_); }

private:
    std::shared_ptr<VirtualInputState> device_;
    std::size_t id_;
};

// The registered devices, in registration order.
struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<VirtualOutputState>> outputs;
    std::vector<std::shared_ptr<VirtualInputState>> inputs;
};

Registry& GetRegistry()
{
    static Registry registry;
    return registry;
}

template <class State>
UINT IndexOf(const std::vector<std::shared_ptr<State>>& list, const std::shared_ptr<State>& state)
{
    return static_cast<UINT>(std::find(list.begin(), list.end(), state) - list.begin());
}

}  // namespace

std::unique_ptr<winmm_impl::MidiInConnection> VirtualInputState::Open(winmm_impl::MidiInSink sink)
{
    const std::size_t id = Attach(std::move(sink));
    return std::make_unique<VirtualInConnection>(shared_from_this(), id);
}

VirtualMidiOutput::VirtualMidiOutput(std::u16string name)
    : state_(std::make_shared<VirtualOutputState>(std::move(name)))
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    registry.outputs.push_back(state_);
}

VirtualMidiOutput::~VirtualMidiOutput()
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    std::erase(registry.outputs, state_);
}

UINT VirtualMidiOutput::GetDeviceId() const
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    return IndexOf(registry.outputs, state_);
}

std::vector<CapturedEvent> VirtualMidiOutput::GetEvents() const
{
    return state_->GetEvents();
}

bool VirtualMidiOutput::WaitForEventCount(std::size_t count, std::chrono::milliseconds timeout) const
{
    return state_->WaitForEventCount(count, timeout);
}

void VirtualMidiOutput::ClearEvents()
{
    state_->ClearEvents();
}

void VirtualMidiOutput::WithholdDone(bool withhold)
{
    state_->WithholdDone(withhold);
}

VirtualMidiInput::VirtualMidiInput(std::u16string name)
    : state_(std::make_shared<VirtualInputState>(std::move(name)))
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    registry.inputs.push_back(state_);
}

VirtualMidiInput::~VirtualMidiInput()
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    std::erase(registry.inputs, state_);
}

UINT VirtualMidiInput::GetDeviceId() const
{
    auto& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    return IndexOf(registry.inputs, state_);
}

std::size_t VirtualMidiInput::Inject(BYTE status, BYTE data1, BYTE data2)
{
    return state_->Inject(DWORD{status} | (DWORD{data1} << 8) | (DWORD{data2} << 16));
}

}  // namespace winmm_virtual

namespace winmm_impl {

std::vector<std::shared_ptr<MidiOutDevice>> VirtualOutputDevices()
{
    auto& registry = winmm_virtual::GetRegistry();
    std::lock_guard lock(registry.mutex);
    return {registry.outputs.begin(), registry.outputs.end()};
}

std::vector<std::shared_ptr<MidiInDevice>> VirtualInputDevices()
{
    auto& registry = winmm_virtual::GetRegistry();
    std::lock_guard lock(registry.mutex);
    return {registry.inputs.begin(), registry.inputs.end()};
}

}  // namespace winmm_impl
