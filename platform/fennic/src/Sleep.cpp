#include "fennic/Sleep.h"

#include <chrono>
#include <thread>

namespace fennic {

void Sleep(unsigned int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace fennic
