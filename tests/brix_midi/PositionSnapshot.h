#pragma once

#include <string>

class HowToPlay;

// Every value query of a model at its current position (and the queries at a given
// tick for that position) as one text, so that two models can be compared whole.
std::string Snapshot(HowToPlay const& model);
