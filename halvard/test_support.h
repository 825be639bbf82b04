// For the Halvard tests: the shared exact solver and entry rig, pointed at Halvard.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "halvard/halvard.h"
#include "runtime/text.h"
#include "tests/entry_rig.h"
#include "tests/exact.h"
#include "tests/harness.h"

namespace halvard_test {

using exact::Linear;
using exact::Rational;
using exact::Sides;
using exact::Solve;
using rt::Text;
using testing_rig::ClockForSeed;
using testing_rig::Drawn;
using testing_rig::DrawnLines;
using testing_rig::EntryRun;

// Halvard draws every problem line at (64, 288).
class EntryRig : public testing_rig::EntryRig {
public:
    explicit EntryRig(int entry) : testing_rig::EntryRig(halvard::HalvardProgram(), entry, {64, 288}) {}
};

// A problem line without its label ("① ", "② ", "問 ").
inline std::string WithoutLabel(const std::string& line) {
    const Text t = rt::fromUtf8(line);
    return t.size() > 2 ? rt::toUtf8(t.substr(2)) : "";
}

}  // namespace halvard_test
