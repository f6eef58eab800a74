#include "UserControls.h"

#include <cmath>
#include <stdexcept>
#include <string>

double UserControls::IncreaseTempo()
{
    std::lock_guard lock(mutex_);
    tempoScale_ *= 1.01;
    return tempoScale_;
}

double UserControls::DecreaseTempo()
{
    std::lock_guard lock(mutex_);
    tempoScale_ *= 0.99;
    return tempoScale_;
}

double UserControls::GetTempoScale() const
{
    std::lock_guard lock(mutex_);
    return tempoScale_;
}

void UserControls::SetTempoScale(double tempoScale)
{
    // A zero, negative or non-finite factor would stop the clock, run it backwards
    // or poison every time computed from it.
    if (!std::isfinite(tempoScale) || tempoScale <= 0.0) {
        throw std::invalid_argument("UserControls::SetTempoScale: the tempo scale must be a finite factor above 0, got "
                                    + std::to_string(tempoScale));
    }
    std::lock_guard lock(mutex_);
    tempoScale_ = tempoScale;
}

int UserControls::GetTransposition() const
{
    std::lock_guard lock(mutex_);
    return transposition_;
}

void UserControls::SetTransposition(int semitones)
{
    std::lock_guard lock(mutex_);
    if (semitones != transposition_) {
        transposition_ = semitones;
        transpositionChanged_ = true;
    }
}

bool UserControls::GetTranspositionChanged()
{
    std::lock_guard lock(mutex_);
    bool const changed = transpositionChanged_;
    transpositionChanged_ = false;
    return changed;
}
