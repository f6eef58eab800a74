#pragma once

// Names of the notifications posted on notify::callbackDispatcher. Only their distinctness matters.
namespace notify::names {

inline constexpr const char* songLoaded = "songLoaded";
inline constexpr const char* stopped_at_end_of_song = "stopped_at_end_of_song";
inline constexpr const char* disarmedPlayback = "disarmedPlayback";
inline constexpr const char* jumpToCaesura = "jumpToCaesura";
inline constexpr const char* hit_caesura = "hit_caesura";
inline constexpr const char* statusPulse = "statusPulse";
inline constexpr const char* currentProgramIds = "currentProgramIds";
inline constexpr const char* reportTargetTempo = "reportTargetTempo";
inline constexpr const char* reportActualTempo = "reportActualTempo";
inline constexpr const char* midiSourceConnected = "midiSourceConnected";
inline constexpr const char* midiCommandLearned = "midiCommandLearned";
inline constexpr const char* midiCommandConductBeat = "midiCommandConductBeat";
inline constexpr const char* midiCommandContinuousMode = "midiCommandContinuousMode";
inline constexpr const char* midiCommandPlay = "midiCommandPlay";
inline constexpr const char* midiCommandPause = "midiCommandPause";
inline constexpr const char* midiCommandStop = "midiCommandStop";
inline constexpr const char* midiCommandNextSong = "midiCommandNextSong";
inline constexpr const char* midiCommandPreviousSong = "midiCommandPreviousSong";
inline constexpr const char* midiCommandNextMarker = "midiCommandNextMarker";
inline constexpr const char* midiCommandPreviousMarker = "midiCommandPreviousMarker";
inline constexpr const char* midiCommandContinue = "midiCommandContinue";
inline constexpr const char* midiCommandNextPatch = "midiCommandNextPatch";
inline constexpr const char* midiCommandPreviousPatch = "midiCommandPreviousPatch";

}  // namespace notify::names
