#pragma once

#include "OscMessage.h"
#include "OscProcInterface.h"

namespace brix::osc {

// The command dispatcher: reads the command of one decoded message from its address
// ("/brix/[show/<s>/][song/<n>/]<command>", "/brix/event/<id>/go", "/brix/sfx/<id>/<command>"),
// takes its arguments with their defaults and calls the handler's operation. Every message that
// decoded first raises CommandReceived. Unknown commands do nothing.
//
// Failures (an address that does not split, a forced conversion of a wrong argument type, a
// non-finite number, a negative fade time or tick step) are caught here and go to the handler's
// ReportError with the title "Unable to process OSC command"; nothing else is called for them.
// A null handler: nothing happens.
void Dispatch(const OscMessage& message, OscProcInterface* handler);

}  // namespace brix::osc
