#include "halvard/frame.h"
#include "halvard/halvard.h"

namespace halvard {

namespace {

// The entries table, indexed by problem number; index 0 is unused.
std::vector<shell::Entry> EntriesByNumber() {
    std::vector<shell::Entry> entries(1);
    entries.insert(entries.end(), kOneSideEntries.begin(), kOneSideEntries.end());
    entries.insert(entries.end(), kBothSidesEntries.begin(), kBothSidesEntries.end());
    entries.insert(entries.end(), kCoefficientEntries.begin(), kCoefficientEntries.end());
    return entries;
}

}  // namespace

const shell::Program& HalvardProgram() {
    static const shell::Program program{U"Halvard", 13, EntriesByNumber()};
    return program;
}

}  // namespace halvard
