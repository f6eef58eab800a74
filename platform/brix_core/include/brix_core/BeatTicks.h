#pragma once

#include <brix_core/BrixEvent.h>
#include <brix_core/Timeline.h>

#include <cstdint>
#include <vector>

// The ticks at which a song's clicks fall, ascending (the order in which they play when the song is
// played straight through; jumps are the player's business).
//
// Outside click regions a click falls on every beat, i.e. on every bars/beats record. Inside a click
// region [start, end) the beats are replaced by clicks from the region's start, each one click length
// after the previous: Click::ClocksPerClick for the meter in force at the click, times
// ticksPerQuarter / 24 ticks per MIDI clock. A region's clicks stop at its end, at the start of the next
// region (regions are taken in abs_time() order; a later region cuts an earlier one short) and after
// the last tick index. Beats and clicks after the last tick index are left out; one exactly on it is
// kept. A region whose click length comes to 0 ticks (ticksPerQuarter below 24, or a click value that
// gives 0 clocks) has one click, at its start.
std::vector<std::uint32_t> CreateBeatTicks(const std::vector<TL::BarsBeats>& barsBeats,
                                           const std::vector<CL::Click>& clicks,
                                           const std::vector<TL::Meter>& meters,
                                           std::uint32_t lastTickIndex, unsigned int ticksPerQuarter);
