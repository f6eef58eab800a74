#pragma once

// MidiScaler: one track's volume trim, a percentage (100 = unchanged) limited to 127, applied to MIDI
// values (channel volume). A value type; MidiVolumeScaler keeps one per track.
class MidiScaler {
public:
    MidiScaler() = default;

    // Stores the percentage, limited to 127.
    void SetScale(unsigned char value);
    unsigned char GetScale() const { return static_cast<unsigned char>(scale); }
    // value × scale / 100 (integer division), limited to 127.
    unsigned char GetScaledMidiValue(unsigned char value) const;

private:
    unsigned short scale = 100;
};
