#include "fennic/NumericStringCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

const fennic::NumericStringCompare less;

// The expected order, each string strictly before the next.
const std::vector<std::string> kOrdered = {
    "0",  "00", "01", "1", "1A", "2", "2A", "9", "10", "10A", "10B", "10a", "11", "12",
    "99", "100", "99999999999999999999999", "100000000000000000000000", "100000000000000000000000A",
    "", " 1", "Entr'acte", "Finale", "Intro", "finale",
};

}  // namespace

TEST(NumericStringCompare, OrdersSongNumbersAsNumbers) {
    EXPECT_TRUE(less("2", "10"));
    EXPECT_TRUE(less("10", "10A"));
    EXPECT_TRUE(less("10A", "10B"));
    EXPECT_TRUE(less("10B", "11"));
    EXPECT_FALSE(less("10", "2"));
    EXPECT_FALSE(less("11", "10B"));
}

TEST(NumericStringCompare, TableIsStrictlyIncreasing) {
    for (std::size_t i = 0; i < kOrdered.size(); ++i) {
        for (std::size_t j = 0; j < kOrdered.size(); ++j) {
            EXPECT_EQ(less(kOrdered[i], kOrdered[j]), i < j) << '"' << kOrdered[i] << "\" vs \"" << kOrdered[j] << '"';
        }
    }
}

TEST(NumericStringCompare, IsIrreflexive) {
    for (const std::string& s : kOrdered) {
        EXPECT_FALSE(less(s, s)) << s;
    }
}

TEST(NumericStringCompare, LeadingZerosAreNotEquivalentToTheSameValue) {
    EXPECT_TRUE(less("01", "1"));
    EXPECT_FALSE(less("1", "01"));
    std::map<std::string, int, fennic::NumericStringCompare> songs{{"1", 1}, {"01", 2}};
    EXPECT_EQ(songs.size(), 2u);
}

TEST(NumericStringCompare, SortsAShuffledList) {
    std::vector<std::string> shuffled = kOrdered;
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        std::sort(shuffled.begin(), shuffled.end(), less);
        EXPECT_EQ(shuffled, kOrdered);
    }
}
