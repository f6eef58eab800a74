#pragma once

#include <MusicalApp.h>

namespace brix::qt {

// TarnwickApp: the program's life (MusicalApp) as the product Tarn|Wick.
class TarnwickApp : public MusicalApp {
    Q_OBJECT
public:
    TarnwickApp(int& argc, char** argv);
};

}  // namespace brix::qt
