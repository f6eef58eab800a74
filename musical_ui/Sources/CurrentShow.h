#pragma once

#include <brix_networking_http/NetworkTypes.h>

#include <functional>
#include <optional>

namespace brix {

// What the change-log windows and the export read of the show store: the record of the current show
// (its folder, display and customer names, and its server with route and credentials), or nothing
// while no show is current. The show store supplies it; it is asked anew at every use, so a show
// chosen meanwhile is seen.
using CurrentShowSource = std::function<std::optional<networking::ShowRecord>()>;

}  // namespace brix
