#pragma once

#include <mutex>

// The operator's live adjustments on top of the song: a tempo scale (a factor on
// the song's tempo) and a transposition in semitones.
//
// Owner: the MIDI player; the song position model holds a reference and reads the
// values afresh on every query.
// Threads: any. The operator's thread writes, the playback threads read.
// Lock: one mutex guards all three values; each operation holds it for its whole
// duration and calls nothing out while holding it, so it is never taken nested.
//
// The tempo steps are multiplicative and not bounded here; the allowed range is
// applied by the song position model when it combines this factor with the song's
// own tempo-scale regions.
class UserControls {
public:
    UserControls() = default;
    ~UserControls() = default;

    UserControls(UserControls const&) = delete;
    UserControls& operator=(UserControls const&) = delete;

    // Multiplies the tempo scale by 1.01 and returns the new value.
    double IncreaseTempo();
    // Multiplies the tempo scale by 0.99 and returns the new value.
    double DecreaseTempo();

    double GetTempoScale() const;
    // Throws std::invalid_argument, leaving the stored value as it was, when the
    // factor is not a finite number above zero.
    void SetTempoScale(double tempoScale);

    int GetTransposition() const;
    // Stores a value that differs from the stored one and marks it changed; an
    // equal value changes nothing.
    void SetTransposition(int semitones);
    // Returns whether the transposition changed since the last call, and clears it.
    bool GetTranspositionChanged();

private:
    mutable std::mutex mutex_;
    double tempoScale_ = 1.0;
    int transposition_ = 0;
    bool transpositionChanged_ = false;
};
