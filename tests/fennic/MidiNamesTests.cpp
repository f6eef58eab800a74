#include "fennic/MidiNames.h"

#include <gtest/gtest.h>

TEST(GetNoteName, NamesNotesWithSharpsAndMiddleCAsC4) {
    const struct {
        unsigned char note;
        const char* name;
    } table[] = {
        {0, "C-1"}, {1, "C#-1"}, {11, "B-1"}, {12, "C0"},  {21, "A0"},   {59, "B3"},  {60, "C4"},
        {61, "C#4"}, {62, "D4"},  {63, "D#4"}, {64, "E4"}, {65, "F4"},   {66, "F#4"}, {67, "G4"},
        {68, "G#4"}, {69, "A4"},  {70, "A#4"}, {71, "B4"}, {72, "C5"},   {120, "C9"}, {127, "G9"}, {128, "G#9"}, {132, "C10"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(fennic::midi::GetNoteName(row.note), row.name) << "note " << int(row.note);
    }
}
