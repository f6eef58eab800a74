#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class Player;

namespace gui {

// GuiUpdate: tells the user interface which tick the playhead shows (notify::guiDispatcher
// SendPlayhead). Positions come from the output (SendGuiUpdateWithTickIndex, already delayed to what
// the listener hears), from seeks, and from a source function the derived class gives: it yields the
// next tick to show, true when that is a new position, false when it is the stored one.
// Owner: the process (SetGuiUpdate); the player installs its own.
// Threads: any (the output's delay thread, the transport threads). Lock: one mutex guards the queue,
// the stored tick and the current-position request; it is never held while the source function runs
// or a notice is sent.
class GuiUpdate {
public:
    GuiUpdate(Player& player, std::function<bool(unsigned int*)> nextTickIndex);
    virtual ~GuiUpdate();

    GuiUpdate(const GuiUpdate&) = delete;
    GuiUpdate& operator=(const GuiUpdate&) = delete;

    // Takes the next tick from the source, stores it and shows it.
    void UpdateOnce();
    // Whether a seek asked to show the stored tick until the output reports a position.
    bool UseCurrentPosition() const;
    // The stored tick: the one shown last.
    unsigned int GetTickIndex() const;
    // A position the output reached: queued, then shown (UpdateOnce). Ends the current-position
    // request.
    void SendGuiUpdateWithTickIndex(unsigned int tick);
    // Shows tick at once as the stored tick, dropping queued positions, without a caesura notice.
    void SendGuiUpdateWithoutCaesura(unsigned int tick);

    // Reset, then Seek(tick).
    virtual void ResetAndSeekToTickIndex(unsigned int tick);
    // Drops queued positions and the current-position request.
    virtual void Reset();
    // Stores and shows tick, drops queued positions, and asks to keep showing it (UseCurrentPosition)
    // until the output reports a position.
    virtual void Seek(unsigned int tick);

protected:
    Player& GetPlayer() const { return player_; }
    // Under the lock: the oldest queued tick, removed; false when none is queued.
    bool PopQueuedTickIndex(unsigned int* tick);

private:
    void Show(unsigned int tick);

    Player& player_;
    std::function<bool(unsigned int*)> nextTickIndex_;
    mutable std::mutex mutex_;
    std::deque<unsigned int> queue_;
    unsigned int tickIndex_ = 0;
    bool useCurrentPosition_ = false;
};

// The process's GUI updater. SetGuiUpdate replaces it (an empty pointer removes it); the previous one
// is destroyed after the swap. GetGuiUpdate throws std::logic_error when none is installed. The
// reference stays valid until the next SetGuiUpdate: only the updater's owner replaces it.
void SetGuiUpdate(std::unique_ptr<GuiUpdate>&& guiUpdate);
GuiUpdate& GetGuiUpdate();
bool HasGuiUpdate();

}  // namespace gui
