#pragma once

#include <QString>

#include <vector>

class StringValueListModel;

namespace brix::gm {

// One choice of an instrument list: the name shown and the MIDI program number (0-127).
struct InstrumentEntry {
    QString name;
    int program = 0;
};

// The 128 General MIDI programs in program order (entry n has program n), built family by family.
std::vector<InstrumentEntry> BuildProgramList();
// The 11 drum sets with their program numbers.
std::vector<InstrumentEntry> BuildDrumSetList();

// The name of a program in a list; empty when no entry has that program.
QString ProgramName(const std::vector<InstrumentEntry>& entries, int program);

// Appends the entries to a list model, one row (name, program) each.
void AddEntries(StringValueListModel& model, const std::vector<InstrumentEntry>& entries);

}  // namespace brix::gm
