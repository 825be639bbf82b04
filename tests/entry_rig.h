// Runs one problem entry of any program for one seed and keeps what Present and each hint step
// drew, read back from the trace.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "tests/harness.h"

namespace testing_rig {

// One DrawText as the trace shows it.
struct Drawn {
    float x, y;
    int c;
    std::string text;
};

inline std::vector<Drawn> DrawnLines(const std::vector<testing_rig::json>& events) {
    std::vector<Drawn> out;
    for (const auto& e : testing_rig::ops(events, "DrawText"))
        out.push_back({e.at("x").get<float>(), e.at("y").get<float>(), e.at("c").get<int>(),
                       e.at("text").get<std::string>()});
    return out;
}

// What one entry drew for one seed: Present, then the three hint steps, each on its own.
struct EntryRun {
    int seed = 0;
    std::vector<Drawn> present, step[4];  // step[1..3]
    std::string problem;                  // the problem line as drawn
    std::vector<float> randoms;           // the random units Present used, in order
    shell::AnswerSettings answer;
};

// A rig for one entry of a program: reseeded for every run, as the practice screen does.
// `problemAt` is where the program draws its problem line.
class EntryRig {
public:
    EntryRig(const shell::Program& program, int entry, rt::Point problemAt)
        : program_(program), entry_(entry), problemAt_(problemAt), rig_(program) {}

    shell::Shell& shell() { return rig_.sh; }
    testing_rig::Rig& rig() { return rig_; }

    EntryRun run(int seed, int steps = 3) {
        const shell::Entry& e = *program_.FindEntry(entry_);
        EntryRun r;
        r.seed = seed;
        rig_.screen.seedRandom(static_cast<float>(seed));
        rig_.clearTrace();
        // As the practice driver does: the entry reads its number from the shell.
        rig_.sh.currentProblem = entry_;
        e.Present(rig_.sh);
        const auto presentEvents = rig_.events();
        r.present = DrawnLines(presentEvents);
        for (const auto& ev : testing_rig::ops(presentEvents, "randomUnit"))
            r.randoms.push_back(ev.at("value").get<float>());
        for (const auto& d : r.present)
            if (d.x == problemAt_.x && d.y == problemAt_.y) r.problem = d.text;
        r.answer = rig_.sh.ans;
        void (*hints[4])(shell::Shell&) = {nullptr, e.HintStep1, e.HintStep2, e.HintStep3};
        for (int k = 1; k <= steps; ++k) {
            rig_.clearTrace();
            hints[k](rig_.sh);
            r.step[k] = DrawnLines(rig_.events());
        }
        return r;
    }

private:
    const shell::Program& program_;
    int entry_;
    rt::Point problemAt_;
    testing_rig::Rig rig_;
};

// The clock whose hours, minutes and seconds add up to the seed.
inline std::string ClockForSeed(int seed) {
    const int h = std::min(seed, 23);
    const int m = std::min(seed - h, 59);
    const int s = seed - h - m;
    auto two = [](int v) {
        return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
    };
    return two(h) + ":" + two(m) + ":" + two(s);
}

// A worked solution kept as a reference image: entry `entry` for `seed`, all three hint steps drawn.
struct ReferenceProblem {
    const char* name;
    int entry;
    int seed;
};

// Draws each reference problem with the program's own rig and compares it with its image.
template <class ProgramRig>
void ExpectReferenceProblems(std::initializer_list<ReferenceProblem> references) {
    for (const auto& ref : references) {
        ProgramRig rig(ref.entry);
        rig.run(ref.seed);
        ExpectMatchesReference(rig.rig().screen.canvas(), ref.name);
    }
}

}  // namespace testing_rig
