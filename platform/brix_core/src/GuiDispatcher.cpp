#include <brix_core/GuiDispatcher.h>

namespace notify {

GuiDispatcher guiDispatcher;

namespace {
// The one notification name under which the listeners are registered.
const std::string kGuiEvent = "guiEvent";
}  // namespace

void GuiDispatcher::AddListener(const void* target, Listener listener) {
    listeners_.AddCallback(target, kGuiEvent, [listener = std::move(listener)](void* event) {
        listener(*static_cast<const GuiEvent*>(event));
    });
}

void GuiDispatcher::RemoveListenersForTarget(const void* target) {
    listeners_.RemoveCallbacksForTarget(target);
}

void GuiDispatcher::Send(GuiEventKind kind, std::int64_t value, std::int64_t second, std::string text) {
    GuiEvent event{kind, value, second, std::move(text)};
    listeners_.Notify(kGuiEvent, &event);
}

void GuiDispatcher::SendPlaybackStarted() { Send(GuiEventKind::PlaybackStarted); }
void GuiDispatcher::SendPlaybackPaused() { Send(GuiEventKind::PlaybackPaused); }
void GuiDispatcher::SendPlaybackStopped() { Send(GuiEventKind::PlaybackStopped); }
void GuiDispatcher::SendCaesura(unsigned int tickIndex) { Send(GuiEventKind::Caesura, tickIndex); }
void GuiDispatcher::SendSongLoaded(const std::string& songNumber) {
    Send(GuiEventKind::SongLoaded, 0, 0, songNumber);
}
void GuiDispatcher::SendGuiDelayMessage(int milliseconds) {
    Send(GuiEventKind::GuiDelay, milliseconds);
}
void GuiDispatcher::SendMidiCommandCanceled(unsigned char commandId) {
    Send(GuiEventKind::MidiCommandCanceled, commandId);
}
void GuiDispatcher::SendLearnedMIDICommand(int command) {
    Send(GuiEventKind::LearnedMidiCommand, command);
}
void GuiDispatcher::SendSourceConnected(unsigned int sourceIndex) {
    Send(GuiEventKind::SourceConnected, sourceIndex);
}
void GuiDispatcher::SendMidiNotification() { Send(GuiEventKind::MidiNotification); }
void GuiDispatcher::SendMtcFrameRateNotification(const std::string& frameRate) {
    Send(GuiEventKind::MtcFrameRate, 0, 0, frameRate);
}
void GuiDispatcher::SendMtcOutputPortNotification(unsigned int portIndex) {
    Send(GuiEventKind::MtcOutputPort, portIndex);
}
void GuiDispatcher::SendMtcActiveStateNotification(bool isActive) {
    Send(GuiEventKind::MtcActiveState, isActive ? 1 : 0);
}
void GuiDispatcher::SendStatusFlowControl(const std::string& status, int count) {
    Send(GuiEventKind::StatusFlowControl, count, 0, status);
}
void GuiDispatcher::SendProgramChange(unsigned short trackId, unsigned char program) {
    Send(GuiEventKind::ProgramChange, trackId, program);
}
void GuiDispatcher::SendStatusTargetTempo(int bpm) { Send(GuiEventKind::StatusTargetTempo, bpm); }
void GuiDispatcher::SendStatusActualTempo(int bpm) { Send(GuiEventKind::StatusActualTempo, bpm); }
void GuiDispatcher::SendStatusTempoDifference(int percent) {
    Send(GuiEventKind::StatusTempoDifference, percent);
}
void GuiDispatcher::SendPlayhead(unsigned int tickIndex) { Send(GuiEventKind::Playhead, tickIndex); }
void GuiDispatcher::SendPlaybackError(const std::string& message) {
    Send(GuiEventKind::PlaybackError, 0, 0, message);
}
void GuiDispatcher::SendMidiClockDebugMessage(const std::string& message) {
    Send(GuiEventKind::MidiClockDebugMessage, 0, 0, message);
}

}  // namespace notify
