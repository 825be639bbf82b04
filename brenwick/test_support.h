// For the Brenwick tests: the shared rigs pointed at Brenwick, and the word problems read back
// from what was drawn.
#pragma once

#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "brenwick/brenwick.h"
#include "tests/entry_rig.h"
#include "tests/exact.h"
#include "tests/harness.h"

namespace brenwick_test {

using exact::Rational;
using testing_rig::ClockForSeed;
using testing_rig::Drawn;
using testing_rig::EntryRun;

constexpr int kSeeds = 142;  // the clock's seed is hours + minutes + seconds: 0 to 141

// Brenwick draws the first line of every problem at (80, 72).
class EntryRig : public testing_rig::EntryRig {
public:
    explicit EntryRig(int problem) : testing_rig::EntryRig(brenwick::BrenwickProgram(), problem, {80, 72}) {}
};

// One drawn text line, comparable and printable.
struct Line {
    float x, y;
    int c;
    std::string text;
    bool operator==(const Line&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Line& d) {
    return os << "(" << d.x << "," << d.y << ",c" << d.c << ") " << d.text;
}
using Lines = std::vector<Line>;

inline Lines Of(const std::vector<Drawn>& drawn) {
    Lines out;
    for (const auto& d : drawn) out.push_back({d.x, d.y, d.c, d.text});
    return out;
}

// The problem text: the lines Present drew at x 80.
inline std::vector<std::string> ProblemLines(const EntryRun& r) {
    std::vector<std::string> out;
    for (const auto& d : r.present)
        if (d.x == 80) out.push_back(d.text);
    return out;
}

// The numbers a pattern finds in a line; empty when it does not match.
inline std::vector<std::string> Numbers(const std::string& line, const std::string& pattern) {
    std::smatch m;
    std::vector<std::string> out;
    if (std::regex_match(line, m, std::regex(pattern)))
        for (size_t i = 1; i < m.size(); ++i) out.push_back(m[i]);
    return out;
}

// An equation line of the guidance, in X, solved exactly; "a:b=c:d" is read as a·d = b·c.
inline std::optional<Rational> SolveInX(std::string line) {
    for (auto& ch : line)
        if (ch == 'X') ch = 'x';
    const auto colon = line.find(':');
    if (colon != std::string::npos) {
        const auto eq = line.find('=');
        const auto colon2 = line.find(':', eq);
        line = "(" + line.substr(0, colon) + ")*(" + line.substr(colon2 + 1) + ")=(" +
               line.substr(colon + 1, eq - colon - 1) + ")*(" + line.substr(eq + 1, colon2 - eq - 1) + ")";
    }
    return exact::Solve(line);
}

}  // namespace brenwick_test
