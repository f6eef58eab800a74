#pragma once

#include <mutex>

// TempoDifference: turns the target and actual tempo reports (notify::names::reportTargetTempo and
// reportActualTempo, each with a pointer to a double in beats per minute) into the GUI's tempo status
// lines: the target, the actual tempo, and their difference in whole per cent of the target.
//
// Owner: the MIDI player. Threads: the reporting threads. Lock: one mutex guards both tempos; the GUI
// notices are sent under it, so the lines of two reports never interleave (GUI listeners must not
// block).
class TempoDifference {
public:
    TempoDifference();
    ~TempoDifference();

    TempoDifference(const TempoDifference&) = delete;
    TempoDifference& operator=(const TempoDifference&) = delete;

    void SetTargetBpm(double bpm);
    void SetActualBpm(double bpm);

private:
    // Sends round((actual - target) × 100 / target); a target of 0 (or one that is not a number) has
    // no meaningful difference, so 0 is sent.
    void CalculateAndSendError();

    std::mutex mutex;
    double targetBpm = 120.0;
    double actualBpm = 120.0;
};
