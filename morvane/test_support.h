// For the Morvane tests: the shared exact solver and entry rig, pointed at Morvane, and the
// reading of what its two kinds of problem show.
#pragma once

#include <regex>
#include <string>
#include <vector>

#include "morvane/morvane.h"
#include "runtime/text.h"
#include "tests/entry_rig.h"
#include "tests/exact.h"
#include "tests/harness.h"

namespace morvane_test {

using exact::Linear;
using exact::Rational;
using exact::Sides;
using exact::Solve;
using rt::Text;
using testing_rig::ClockForSeed;
using testing_rig::Drawn;
using testing_rig::EntryRun;

constexpr int kSeeds = 142;  // the clock's seed is hours + minutes + seconds: 0 to 141

// The choice problems (1, 2) draw their choices at (80, 99); the equations at (64, 288).
class EntryRig : public testing_rig::EntryRig {
public:
    explicit EntryRig(int entry)
        : testing_rig::EntryRig(morvane::MorvaneProgram(), entry,
                                entry <= 2 ? rt::Point{80, 99} : rt::Point{64, 288}) {}
};

// A problem line without its label ("① ", "② ").
inline std::string WithoutLabel(const std::string& line) { return rt::toUtf8(rt::fromUtf8(line).substr(2)); }

// Entry 1's three equations, read from "① e1 ② e2 ③ e3".
inline std::vector<std::string> Choices(const std::string& line) {
    std::smatch m;
    static const std::regex three("① (\\S+) ② (\\S+) ③ (\\S+)");
    if (!std::regex_match(line, m, three)) return {};
    return {m[1], m[2], m[3]};
}

// Entry 2's equation, read from its question.
inline std::string QuestionEquation(const std::string& question) {
    const auto cut = question.find(" の解の番号を答えなさい。");
    return cut == std::string::npos ? "" : question.substr(0, cut);
}

// The value of one side at x.
inline Rational At(const Linear& side, const Rational& x) { return side.c1 * x + side.c0; }

// A worked line such as "=12+5=17" or "左辺=4*3+5": every side after the first "=", which
// must all be numbers.
inline std::vector<Rational> Values(const std::string& line) {
    const auto cut = line.find('=');
    std::vector<Rational> out;
    if (cut == std::string::npos) return out;
    for (const auto& side : Sides(line.substr(cut + 1))) {
        if (!side.c1.zero()) return {};
        out.push_back(side.c0);
    }
    return out;
}

// The text drawn at (x, y), or "" when nothing was.
inline std::string LineAt(const std::vector<Drawn>& lines, float x, float y) {
    for (const auto& d : lines)
        if (d.x == x && d.y == y) return d.text;
    return "";
}

// The value that decides the right choice, as the screen shows it: for entry 1 the gap between
// the sides of equation ① at x=3 (0 when ① is right), for entry 2 the solution.
inline Rational ChoiceValue(int entry, const std::vector<Drawn>& present) {
    if (entry == 1) {
        const auto sides = Sides(Choices(LineAt(present, 80, 99)).at(0));
        return At(sides[0], 3) - At(sides[1], 3);
    }
    return *Solve(QuestionEquation(LineAt(present, 80, 72)));
}

}  // namespace morvane_test
