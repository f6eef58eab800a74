#include "GeneralMidiNames.h"
#include "StringValueListModel.h"

#include <gtest/gtest.h>

namespace {

using brix::gm::InstrumentEntry;

TEST(GeneralMidiNames, TheProgramListHolds128ProgramsInOrderInTheirOwnWording)
{
    const std::vector<InstrumentEntry> programs = brix::gm::BuildProgramList();
    ASSERT_EQ(programs.size(), 128u);
    for (int n = 0; n < 128; ++n)
        EXPECT_EQ(programs[n].program, n);

    // The first and last program of each family, and the places that differ from the standard's words.
    struct Case {
        int program;
        const char* name;
    };
    for (const Case& c : {Case{0, "Acoustic Grand Piano"}, Case{3, "Honky Tonk Piano"}, Case{7, "Clavi"},
                          Case{8, "Celesta"}, Case{15, "Dulcimer"}, Case{16, "Drawbar Organ"},
                          Case{23, "Tango Accordion"}, Case{24, "Acoustic Guitar Nylon"},
                          Case{31, "Guitar Harmonics"}, Case{32, "Acoustic Bass"}, Case{39, "Synth Bass 2"},
                          Case{40, "Violin"}, Case{47, "Timpani"}, Case{48, "String Ensemble 1"},
                          Case{55, "Orchestra Hit"}, Case{56, "Trumpet"}, Case{63, "Synth Brass 2"},
                          Case{64, "Soprano Sax"}, Case{71, "Clarinet"}, Case{72, "Piccolo"}, Case{79, "Ocarina"},
                          Case{80, "Lead 1 (Square)"}, Case{87, "Lead 8 (Bass + Lead)"}, Case{88, "Pad 1 (New Age)"},
                          Case{95, "Pad 8 (Sweep)"}, Case{96, "FX 1 (Rain)"}, Case{103, "FX 8 (Sci-Fi)"},
                          Case{104, "Sitar"}, Case{109, "Bag Pipe"}, Case{111, "Shanai"}, Case{112, "Tinkle Bell"},
                          Case{119, "Reverse Cymbal"}, Case{120, "Guitar Fret Noise"}, Case{127, "Gunshot"}}) {
        EXPECT_EQ(programs[c.program].name, c.name) << "program " << c.program;
    }
}

TEST(GeneralMidiNames, TheDrumSetsHaveTheirOwnProgramNumbers)
{
    const std::vector<InstrumentEntry> drums = brix::gm::BuildDrumSetList();
    const std::vector<std::pair<const char*, int>> expected = {
        {"Standard Drums", 0}, {"Standard Drums 2", 1}, {"Room Drums", 8},   {"Power Drums", 16},
        {"Electronic Drums", 24}, {"808/909 Drums", 25}, {"Dance Drums", 26}, {"Jazz Drums", 32},
        {"Brush Drums", 40},   {"Orchestral Percussion", 48}, {"SFX Kit", 56}};
    ASSERT_EQ(drums.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(drums[i].name, expected[i].first);
        EXPECT_EQ(drums[i].program, expected[i].second);
    }
}

TEST(GeneralMidiNames, AProgramOutsideAListHasNoName)
{
    const std::vector<InstrumentEntry> drums = brix::gm::BuildDrumSetList();
    EXPECT_EQ(brix::gm::ProgramName(drums, 25), "808/909 Drums");
    EXPECT_EQ(brix::gm::ProgramName(drums, 2), "");
    EXPECT_EQ(brix::gm::ProgramName(drums, 127), "");
    EXPECT_EQ(brix::gm::ProgramName(brix::gm::BuildProgramList(), 128), "");
}

TEST(GeneralMidiNames, AListFillsAModelRowByRow)
{
    StringValueListModel model;
    brix::gm::AddEntries(model, brix::gm::BuildProgramList());
    ASSERT_EQ(model.rowCount(), 128);
    EXPECT_EQ(model.data(model.index(127, 0), StringValueListModel::DisplayNameRole).toString(), "Gunshot");
    EXPECT_EQ(model.data(model.index(127, 0), StringValueListModel::ValueRole).toInt(), 127);
}

}  // namespace
