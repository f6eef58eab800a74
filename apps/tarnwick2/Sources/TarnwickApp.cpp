#include "TarnwickApp.h"

#include "TarnwickPlayerFactory.h"

namespace brix::qt {

TarnwickApp::TarnwickApp(int& argc, char** argv)
    : MusicalApp(argc, argv, std::make_unique<TarnwickPlayerFactory>()) {}

}  // namespace brix::qt
