#include <brix_core/Keys.h>

#include <gtest/gtest.h>

namespace {

TEST(KeyNames, TransposedNameFollowsSignatureModeAndSemitones) {
    struct Case {
        short sharpsFlats;
        short mode;
        short semitones;
        const char* name;
    };
    const Case cases[] = {
        {0, 0, 0, "C major"},   {1, 0, 0, "G major"},   {-1, 0, 0, "F major"},
        {-3, 0, 0, "Eb major"}, {0, 1, 0, "A minor"},   {3, 1, 0, "F# minor"},
        {-2, 1, 0, "G minor"},  {6, 0, 0, "F# major"},  {-6, 0, 0, "Gb major"},
        {6, 1, 0, "D# minor"},  {-6, 1, 0, "Eb minor"}, {0, 0, 2, "D major"},
        {0, 0, -1, "B major"},  {0, 0, 14, "D major"},  {-3, 0, 1, "E major"},
        {1, 1, -2, "D minor"}, {2, 0, 1, "Eb major"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Keys::getTransposedName(c.sharpsFlats, c.mode, c.semitones), c.name)
            << c.sharpsFlats << " " << c.mode << " " << c.semitones;
    }
}

}  // namespace
