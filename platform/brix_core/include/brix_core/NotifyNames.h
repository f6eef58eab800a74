#pragma once

#include <cstdint>

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

// The edit view's selection and save state, posted and received on the GUI thread; the data each
// carries follows its name.
inline constexpr const char* editModelUpdatedSelectedBrixEvent =
    "editModelUpdatedSelectedBrixEvent";                                                 // none
inline constexpr const char* editModelChangeLogNeedsSave = "editModelChangeLogNeedsSave";      // bool*
inline constexpr const char* editModelChangeLogNeedsUpload = "editModelChangeLogNeedsUpload";  // bool*
inline constexpr const char* editControllerMarkerListSelected =
    "editControllerMarkerListSelected";  // notify::MarkerListSelection*
inline constexpr const char* EVT_MARKER_PANEL_SELECTED = "EVT_MARKER_PANEL_SELECTED";          // int* row
inline constexpr const char* EVT_CHANGE_LOG_PANEL_SELECTED = "EVT_CHANGE_LOG_PANEL_SELECTED";  // int* row
inline constexpr const char* brixEventWidgetSelected = "brixEventWidgetSelected";  // cmn::BrixEvent*
inline constexpr const char* editControllerShowEditor = "editControllerShowEditor";  // none

}  // namespace notify::names

namespace notify {

// The data of names::editControllerMarkerListSelected: the chosen marker's tick and whether the
// player is playing.
struct MarkerListSelection {
    std::uint32_t tick = 0;
    bool playing = false;
};

}  // namespace notify
