#include "fennic/CoutBuffer.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CaptureCout.h"

namespace {

void AddGreeting(fennic::CoutBuffer& buffer, int value) {
    buffer << "value=" << value;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(CoutBuffer, TemporaryEndedByEndlWritesOneLine) {
    CaptureCout capture;
    fennic::CoutBuffer() << "WARNING: " << 42 << ' ' << 1.5 << " " << std::string("x") << fennic::endl;
    EXPECT_EQ(capture.Text(), "WARNING: 42 1.5 x\n");
}

TEST(CoutBuffer, ManipulatorsFormatLikeAnOstream) {
    CaptureCout capture;
    fennic::CoutBuffer() << std::hex << std::showbase << 255 << std::dec << ' ' << 255 << '|'
                         << std::setw(8) << std::left << "C4" << '|' << std::setw(4) << std::right << 7
                         << fennic::endl;
    EXPECT_EQ(capture.Text(), "0xff 255|C4      |   7\n");
}

TEST(CoutBuffer, NamedBufferPassedByReferenceIsEmptyAfterEndl) {
    CaptureCout capture;
    fennic::CoutBuffer buffer;
    AddGreeting(buffer, 1);
    buffer << fennic::endl;
    EXPECT_EQ(buffer.GetPendingText(), "");
    AddGreeting(buffer, 2);
    buffer << fennic::endl;
    EXPECT_EQ(capture.Text(), "value=1\nvalue=2\n");
}

TEST(CoutBuffer, DestructorEmitsTextNotEndedByEndl) {
    CaptureCout capture;
    {
        fennic::CoutBuffer buffer;
        buffer << "pending";
        EXPECT_EQ(capture.Text(), "");
    }
    EXPECT_EQ(capture.Text(), "pending\n");
}

TEST(CoutBuffer, EmptyBufferDestroyedWritesNothing) {
    CaptureCout capture;
    { fennic::CoutBuffer buffer; }
    EXPECT_EQ(capture.Text(), "");
}

TEST(CoutBuffer, EndlOnAnotherStreamActsLikeStdEndl) {
    std::ostringstream out;
    out << "a" << fennic::endl << "b";
    EXPECT_EQ(out.str(), "a\nb");
}

TEST(CoutBuffer, LinesFromSeveralThreadsNeverInterleave) {
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    constexpr int kPieces = 20;
    std::vector<std::string> lines;
    {
        CaptureCout capture;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t] {
                for (int i = 0; i < kLines; ++i) {
                    fennic::CoutBuffer buffer;
                    buffer << "T" << t << ":" << i;
                    for (int p = 0; p < kPieces; ++p) {
                        buffer << " piece" << p;
                    }
                    buffer << fennic::endl;
                }
            });
        }
        for (auto& thread : threads) {
            thread.join();
        }
        lines = SplitLines(capture.Text());
    }

    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> nextLineOfThread(kThreads, 0);
    for (const std::string& line : lines) {
        int t = -1;
        int i = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "T%d:%d", &t, &i), 2) << line;
        ASSERT_GE(t, 0);
        ASSERT_LT(t, kThreads);
        std::ostringstream expected;
        expected << "T" << t << ":" << i;
        for (int p = 0; p < kPieces; ++p) {
            expected << " piece" << p;
        }
        EXPECT_EQ(line, expected.str());
        EXPECT_EQ(i, nextLineOfThread[t]) << "lines of one thread keep their order";
        nextLineOfThread[t] = i + 1;
    }
}
