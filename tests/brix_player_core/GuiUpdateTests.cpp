#include "Fixtures.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

using namespace player_test;
using notify::GuiEventKind;

// A GUI updater whose source reports queued ticks first, then a fixed "output" tick.
class QueueFirstGuiUpdate : public gui::GuiUpdate {
public:
    explicit QueueFirstGuiUpdate(Player& player)
        : gui::GuiUpdate(player, [this](unsigned int* tick) {
              if (PopQueuedTickIndex(tick)) {
                  return true;
              }
              *tick = UseCurrentPosition() ? GetTickIndex() : outputTick;
              return true;
          }) {}
    unsigned int outputTick = 0;
};

std::vector<std::int64_t> Playheads(GuiRecorder& gui) {
    std::vector<std::int64_t> ticks;
    for (const notify::GuiEvent& event : gui.Take(GuiEventKind::Playhead)) {
        ticks.push_back(event.value);
    }
    return ticks;
}

class GuiUpdateTest : public ::testing::Test {
protected:
    brix_midi::ShowData show;
    TestPlayer player{show};
    GuiRecorder gui;
    QueueFirstGuiUpdate update{player};
};

TEST_F(GuiUpdateTest, OutputPositionsAreShownInTheOrderTheyArrive) {
    update.SendGuiUpdateWithTickIndex(480);
    update.SendGuiUpdateWithTickIndex(960);
    EXPECT_EQ(Playheads(gui), (std::vector<std::int64_t>{480, 960}));
    EXPECT_EQ(update.GetTickIndex(), 960u);
}

TEST_F(GuiUpdateTest, SeekHoldsTheSeekPositionUntilTheOutputReportsOne) {
    update.outputTick = 5000;  // stale position of the running output
    update.Seek(1920);
    update.UpdateOnce();
    EXPECT_TRUE(update.UseCurrentPosition());
    EXPECT_EQ(Playheads(gui), (std::vector<std::int64_t>{1920, 1920}));

    update.SendGuiUpdateWithTickIndex(1940);
    EXPECT_FALSE(update.UseCurrentPosition());
    update.UpdateOnce();
    EXPECT_EQ(Playheads(gui), (std::vector<std::int64_t>{1940, 5000}));
}

TEST_F(GuiUpdateTest, ResetDropsQueuedPositionsAndTheSeekRequest) {
    update.Seek(100);
    update.Reset();
    EXPECT_FALSE(update.UseCurrentPosition());
    update.ResetAndSeekToTickIndex(300);
    EXPECT_TRUE(update.UseCurrentPosition());
    update.SendGuiUpdateWithoutCaesura(700);
    EXPECT_EQ(update.GetTickIndex(), 700u);
    EXPECT_EQ(Playheads(gui), (std::vector<std::int64_t>{100, 300, 700}));
    EXPECT_TRUE(gui.Take(GuiEventKind::Caesura).empty());
}

TEST_F(GuiUpdateTest, ProcessUpdaterIsInstalledReplacedAndRemoved) {
    gui::SetGuiUpdate(nullptr);
    EXPECT_FALSE(gui::HasGuiUpdate());
    EXPECT_THROW(gui::GetGuiUpdate(), std::logic_error);
    auto first = std::make_unique<QueueFirstGuiUpdate>(player);
    gui::GuiUpdate* installed = first.get();
    gui::SetGuiUpdate(std::move(first));
    EXPECT_EQ(&gui::GetGuiUpdate(), installed);
    gui::SetGuiUpdate(std::make_unique<QueueFirstGuiUpdate>(player));
    EXPECT_NE(&gui::GetGuiUpdate(), installed);
    gui::SetGuiUpdate(nullptr);
    EXPECT_FALSE(gui::HasGuiUpdate());
}

TEST_F(GuiUpdateTest, EmptySourceIsRefused) {
    EXPECT_THROW(gui::GuiUpdate(player, nullptr), std::invalid_argument);
}

}  // namespace
