#pragma once

namespace brix::qt {

// Registers the program's QML modules, com.fernwhistlestudios.brix_ui and
// com.fernwhistlestudios.tarnwick2_ui, as version 1.0 without types of their own (controllers and
// windows meet through property names and string-based connections only). The widget module's
// compiled documents come from its statically linked plugin. Call once, before the first QML engine.
void RegisterQmlModules();

}  // namespace brix::qt
