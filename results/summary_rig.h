// For the store tests: a varied history to write into a database, the check that the
// database's own summary says what reading the rows back one by one says, and several processes
// writing into one database at once.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "results/report.h"
#include "results/store.h"

namespace results_rig {

// Four processes at once, each with a store of its own for pupil0 to pupil3 on `target`, each
// recording `each` problems made by `problem(process, i)` for i = 1..each; every one of them
// must finish with nothing lost.
inline void FourWritersAtOnce(const std::string& target, int each,
                              const std::function<shell::ProblemRecord(int, int)>& problem) {
    std::vector<pid_t> children;
    for (int c = 0; c < 4; ++c) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::ostringstream warn;
            size_t lost = 0;
            {
                results::Store store(target, "pupil" + std::to_string(c), warn);
                for (int i = 1; i <= each; ++i) store.record(problem(c, i));
                lost = store.finish();
            }
            _exit(lost == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

struct Written {
    std::string pupil;
    shell::ProblemRecord problem;
};

// Problems of three pupils (one with a name that is SQL), two programs and a few entries, with
// every outcome, view-mode problems among the practice ones, over several days. Some entries get
// more than ten practice problems, so that the trend's latest ten and the ones before both count.
inline std::vector<Written> VariedHistory(int count) {
    const char* const pupils[] = {"aki", "Robert'); DROP TABLE results;--", "ゆき"};
    const char* const outcomes[] = {"right1", "right2", "right1", "right3", "solution", "left", "right1"};
    std::vector<Written> out;
    unsigned state = 12345;
    auto next = [&](unsigned n) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % n;
    };
    for (int i = 0; i < count; ++i) {
        Written w;
        w.pupil = pupils[next(3)];
        shell::ProblemRecord& p = w.problem;
        p.program = next(3) == 0 ? "quillon" : "halvard";
        p.entry = 1 + static_cast<int>(next(4));
        p.clock = "10:00:00";
        p.sequence = i + 1;
        // Out of order on purpose: the latest start is not always the latest written.
        p.started = "2026-12-" + std::to_string(10 + next(9)) + "T0" + std::to_string(next(10)) + ":00:00Z";
        p.seconds = 0.25 * static_cast<double>(1 + next(80));
        p.viewing = next(6) == 0;
        p.outcome = p.viewing ? "viewed" : outcomes[next(7)];
        p.answers = {"x=" + std::to_string(i)};
        p.hints = p.viewing ? 0 : static_cast<int>(next(4));
        out.push_back(std::move(w));
    }
    return out;
}

// The filters a report can be asked for, "any" included.
inline std::vector<results::Filter> ReportFilters() {
    return {{},
            {"aki", "", ""},
            {"Robert'); DROP TABLE results;--", "", ""},
            {"", "quillon", ""},
            {"ゆき", "halvard", ""},
            {"", "", "2026-12-15"},
            {"aki", "halvard", "2026-12-13"},
            {"nobody", "", ""}};
}

inline void ExpectSameSummary(const results::Summary& counted, const results::Summary& read) {
    ASSERT_EQ(counted.size(), read.size());
    for (const auto& [pupil, programs] : read) {
        ASSERT_TRUE(counted.contains(pupil)) << pupil;
        ASSERT_EQ(counted.at(pupil).size(), programs.size()) << pupil;
        for (const auto& [program, entries] : programs) {
            ASSERT_TRUE(counted.at(pupil).contains(program)) << pupil << " " << program;
            const auto& have = counted.at(pupil).at(program);
            ASSERT_EQ(have.size(), entries.size()) << pupil << " " << program;
            for (const auto& [entry, want] : entries) {
                SCOPED_TRACE(pupil + " " + program + " " + std::to_string(entry));
                ASSERT_TRUE(have.contains(entry));
                const results::EntrySummary& got = have.at(entry);
                EXPECT_EQ(got.practised, want.practised);
                EXPECT_EQ(got.right1, want.right1);
                EXPECT_EQ(got.right2, want.right2);
                EXPECT_EQ(got.right3, want.right3);
                EXPECT_EQ(got.solution, want.solution);
                EXPECT_EQ(got.left, want.left);
                EXPECT_EQ(got.viewed, want.viewed);
                EXPECT_EQ(got.hints, want.hints);
                EXPECT_NEAR(got.seconds, want.seconds, 1e-9);
                EXPECT_EQ(got.last, want.last);
                ASSERT_EQ(got.trend.has_value(), want.trend.has_value());
                if (want.trend) {
                    EXPECT_NEAR(*got.trend, *want.trend, 1e-12);
                }
            }
        }
    }
}

}  // namespace results_rig
