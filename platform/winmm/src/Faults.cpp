#include "Faults.h"

#include <array>
#include <atomic>

namespace winmm_impl {
namespace {

constexpr std::size_t kCallCount = static_cast<std::size_t>(winmm_virtual::Call::CloseHandle) + 1;
// Bit 32 marks a pending failure; the low 32 bits hold its code.
constexpr std::uint64_t kPending = std::uint64_t{1} << 32;

std::array<std::atomic<std::uint64_t>, kCallCount> failures{};
std::atomic<unsigned int> beginCount{0};
std::atomic<unsigned int> endCount{0};
thread_local DWORD lastError = ERROR_SUCCESS;

}  // namespace

std::optional<DWORD> TakeFailure(winmm_virtual::Call call)
{
    auto& slot = failures[static_cast<std::size_t>(call)];
    if (slot.load(std::memory_order_relaxed) == 0) {
        return std::nullopt;
    }
    const std::uint64_t taken = slot.exchange(0);
    if (taken == 0) {
        return std::nullopt;
    }
    return static_cast<DWORD>(taken & 0xFFFFFFFFu);
}

void CountTimeBeginPeriod()
{
    ++beginCount;
}

void CountTimeEndPeriod()
{
    ++endCount;
}

void SetLastErrorValue(DWORD error)
{
    lastError = error;
}

}  // namespace winmm_impl

DWORD WINAPI GetLastError()
{
    return winmm_impl::lastError;
}

namespace winmm_virtual {

void FailNextCall(Call call, DWORD code)
{
    winmm_impl::failures[static_cast<std::size_t>(call)].store(winmm_impl::kPending | code);
}

void ClearFailures()
{
    for (auto& slot : winmm_impl::failures) {
        slot.store(0);
    }
}

TimePeriodCounts GetTimePeriodCounts()
{
    return {winmm_impl::beginCount.load(), winmm_impl::endCount.load()};
}

void ResetTimePeriodCounts()
{
    winmm_impl::beginCount.store(0);
    winmm_impl::endCount.store(0);
}

}  // namespace winmm_virtual
