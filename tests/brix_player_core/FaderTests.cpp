#include <brix_player_core/Fader.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <vector>

namespace {

// Counts completions and lets a test wait for them with a time-out.
class Completions {
public:
    std::function<void()> Callback(int id) {
        return [this, id] {
            std::lock_guard lock(mutex_);
            ids_.push_back(id);
            changed_.notify_all();
        };
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return ids_.size() >= count; });
    }
    std::vector<int> Ids() {
        std::lock_guard lock(mutex_);
        return ids_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> ids_;
};

TEST(Fader, ReachesTheClampedTargetAndCallsBackOnce) {
    struct Case {
        double target;
        double seconds;
        double level;
    };
    const std::vector<Case> cases{{40.0, 0.02, 40.0},
                                  {-10.0, 0.0, 0.0},
                                  {250.0, -1.0, 100.0},
                                  {30.0, std::numeric_limits<double>::quiet_NaN(), 30.0}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Completions completions;
        Fader fader;
        fader.Start(cases[i].target, cases[i].seconds, completions.Callback(1));
        ASSERT_TRUE(completions.WaitFor(1)) << i;
        EXPECT_EQ(fader.GetLevel(), cases[i].level) << i;
        EXPECT_FALSE(fader.IsRunning()) << i;
        EXPECT_EQ(completions.Ids(), std::vector<int>{1}) << i;
    }
}

TEST(Fader, ReplacedOrCancelledFadeNeverCallsBack) {
    Completions completions;
    {
        Fader fader;
        fader.Start(0.0, 600.0, completions.Callback(1));
        fader.Start(50.0, 0.0, completions.Callback(2));
        ASSERT_TRUE(completions.WaitFor(1));
        fader.Start(0.0, 600.0, completions.Callback(3));
        fader.Cancel();
        EXPECT_FALSE(fader.IsRunning());
        fader.Start(0.0, 600.0, completions.Callback(4));
        fader.SetLevel(70.0);
        EXPECT_EQ(fader.GetLevel(), 70.0);
    }
    // The destructor joined the fader's thread: no callback can come any more.
    EXPECT_EQ(completions.Ids(), std::vector<int>{2});
}

TEST(Fader, CallbackMayStartTheNextFade) {
    Completions completions;
    Fader fader;
    fader.Start(50.0, 0.0, [&] { fader.Start(10.0, 0.0, completions.Callback(2)); });
    ASSERT_TRUE(completions.WaitFor(1));
    EXPECT_EQ(fader.GetLevel(), 10.0);
}

}  // namespace
