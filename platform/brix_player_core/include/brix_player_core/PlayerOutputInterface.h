#pragma once

namespace brix_audio {

// The volumes a player keeps, as linear gains: the master level (the remote controls') and the user
// level (the program's volume setting). The output plays at their product, times the fade level.
enum class VolumeType : int {
    Master = 0,
    User = 1,
};

// What the output side of the engine asks of the player: caesura and attacca state, jumps, and
// playing. A virtual base of every player.
class PlayerOutputInterface {
public:
    virtual ~PlayerOutputInterface() = default;

    virtual bool HasPendingCaesura() = 0;
    virtual bool CurrentSongIsAttacca() = 0;
    virtual void GUINotifyCaesura() = 0;
    virtual void ResetPlayer() = 0;
    virtual bool GetJump() = 0;
    virtual void ClearJump() = 0;
    virtual bool GetJumpForVampRepeatOrCut() = 0;
    virtual bool GetFermataCanceledCaesura() = 0;
    virtual void Play() = 0;
};

}  // namespace brix_audio
