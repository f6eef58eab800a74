#include <brix_core/EventObserver.h>

#include <brix_core/CallbackDispatcher.h>

namespace notify {

namespace {

// What SendEngineEvent hands to the observers.
struct SentEvent {
    EngineEvent event;
    int value;
    const std::string& text;
};

// The observers, each registered once under this name by its address. The dispatcher gives the
// thread safety and the wait for calls in flight when an observer goes.
const std::string kEngineEvent = "engineEvent";

CallbackDispatcher& Observers() {
    static CallbackDispatcher observers;
    return observers;
}

}  // namespace

void SendEngineEvent(EngineEvent event, int value, const std::string& text) {
    SentEvent sent{event, value, text};
    Observers().Notify(kEngineEvent, &sent);
}

EventObserver::EventObserver() {
    Observers().AddCallback(this, kEngineEvent, [this](void* data) {
        const SentEvent& sent = *static_cast<const SentEvent*>(data);
        Receive(sent.event, sent.value, sent.text);
    });
}

EventObserver::~EventObserver() { Observers().RemoveCallbacksForTarget(this); }

void EventObserver::SetCallbackFunc(CallbackFunc callback, void* context) {
    std::lock_guard lock(mutex_);
    callback_ = std::move(callback);
    context_ = context;
}

void EventObserver::Register(EngineEvent event, int kind) {
    std::lock_guard lock(mutex_);
    kinds_.at(static_cast<std::size_t>(event)) = kind;
}

void EventObserver::Receive(EngineEvent event, int value, const std::string& text) const {
    CallbackFunc callback;
    void* context = nullptr;
    int kind = 0;
    {
        std::lock_guard lock(mutex_);
        const std::optional<int>& registered = kinds_.at(static_cast<std::size_t>(event));
        if (!registered || !callback_) {
            return;
        }
        kind = *registered;
        callback = callback_;
        context = context_;
    }
    callback(kind, value, text.c_str(), context);
}

}  // namespace notify
