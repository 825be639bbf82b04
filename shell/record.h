// What the shell tells a results store about each finished problem. The shell knows nothing of
// databases: the program's start-up hands it a Recorder, or none, and the shell calls it once per
// problem when the problem ends.
#pragma once

#include <string>
#include <vector>

namespace shell {

struct ProblemRecord {
    std::string program;               // lower-case program name, e.g. "halvard"
    int entry = 0;                     // problem number in the program's contents
    std::string clock;                 // the time of day that seeded the round, HH:MM:SS
    int sequence = 0;                  // problems presented since that seed, 1 for the first
    std::string started;               // UTC, YYYY-MM-DDTHH:MM:SSZ
    double seconds = 0;                // from the problem's start to its end
    std::vector<std::string> answers;  // UTF-8, one per checked attempt
    std::string outcome;               // right1, right2, right3, solution, left, viewed
    int hints = 0;                     // worked-solution steps shown
    bool viewing = false;              // view mode rather than practice
};

class Recorder {
public:
    virtual ~Recorder() = default;
    // Must not throw and must not block the pupil for long: a store that cannot write keeps the
    // record and tries again later.
    virtual void record(const ProblemRecord& problem) noexcept = 0;
    // Returns once every problem recorded so far is written or kept to try again. The program
    // calls it before it waits for the pupil, so a store may write behind the pupil's back yet
    // lose no finished problem when the program is killed while the pupil thinks.
    virtual void settle() noexcept {}
};

}  // namespace shell
