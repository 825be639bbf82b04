// For the Quillon tests: the shared exact arithmetic and entry rig pointed at Quillon, and a
// solver for the proportions the entries show.
#pragma once

#include <string>
#include <vector>

#include "quillon/quillon.h"
#include "runtime/text.h"
#include "tests/entry_rig.h"
#include "tests/exact.h"
#include "tests/harness.h"

namespace quillon_test {

using exact::Linear;
using exact::Rational;
using rt::Text;
using testing_rig::ClockForSeed;
using testing_rig::Drawn;
using testing_rig::DrawnLines;
using testing_rig::EntryRun;

// Where each entry draws the line that states its problem: the sentence with the sides of the
// rectangle, the ratio, or the proportion.
inline rt::Point ProblemAt(int entry) {
    if (entry <= 2) return {80, 72};
    if (entry <= 4) return {80, 99};
    return {64, 252};
}

class EntryRig : public testing_rig::EntryRig {
public:
    explicit EntryRig(int entry)
        : testing_rig::EntryRig(quillon::QuillonProgram(), entry, ProblemAt(entry)) {}
};

// A proportion without its label ("① "), as a:b=c:d, solved exactly for x from a*d = b*c.
// Throws std::invalid_argument when the text is not a proportion in x.
inline Rational SolveProportion(const std::string& proportion) {
    const Text s = rt::fromUtf8(proportion);
    std::vector<Linear> terms;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i < s.size() && s[i] != U':' && s[i] != U'=') continue;
        const auto sides = exact::ExpressionParser(s.substr(start, i - start)).sides();
        if (sides.size() != 1) throw std::invalid_argument("not a term: " + proportion);
        terms.push_back(sides[0]);
        start = i + 1;
    }
    if (terms.size() != 4) throw std::invalid_argument("not a:b=c:d: " + proportion);
    auto times = [&](const Linear& u, const Linear& v) {
        if (!u.c1.zero() && !v.c1.zero()) throw std::invalid_argument("x times x: " + proportion);
        return Linear{u.c1 * v.c0 + v.c1 * u.c0, u.c0 * v.c0};
    };
    const Linear d = times(terms[0], terms[3]) - times(terms[1], terms[2]);
    if (d.c1.zero()) throw std::invalid_argument("no x to solve for: " + proportion);
    return Rational(0) - d.c0 / d.c1;
}

// A problem line without its label: the first two characters.
inline std::string WithoutLabel(const std::string& line) {
    const Text t = rt::fromUtf8(line);
    return t.size() > 2 ? rt::toUtf8(t.substr(2)) : "";
}

// How the worked solution writes a positive value: 4, or ﾀ43/12ﾀ.
inline std::string Markup(const Rational& v) {
    return v.d == 1 ? std::to_string(v.n) : "ﾀ" + std::to_string(v.n) + "/" + std::to_string(v.d) + "ﾀ";
}

// The answer to the problem shown, worked out from its numbers alone, as the shell must
// accept it: the ratio as given, a ratio value in lowest terms, or "x=" and the solution.
inline std::string AnswerFor(int entry, const std::string& problem) {
    std::vector<long> n;
    const Text s = rt::fromUtf8(problem);
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] >= U'0' && s[i] <= U'9' && (i == 0 || s[i - 1] < U'0' || s[i - 1] > U'9'))
            n.push_back(std::stol(rt::toUtf8(s.substr(i))));
    if (entry == 1) return std::to_string(n.at(0)) + ":" + std::to_string(n.at(1));
    if (entry <= 4) return Rational(n.at(0), n.at(1)).answerText();
    return "x=" + SolveProportion(WithoutLabel(problem)).answerText();
}

}  // namespace quillon_test
