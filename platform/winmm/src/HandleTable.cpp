#include "HandleTable.h"

#include <atomic>

namespace winmm_impl {

std::uintptr_t NextHandleValue()
{
    // Multiples of 4 from 0x1000 up: far from null and from the pseudo-handles
    // near -1.
    static std::atomic<std::uintptr_t> next{0x1000};
    return next.fetch_add(4);
}

}  // namespace winmm_impl
