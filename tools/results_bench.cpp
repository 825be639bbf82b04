// The results store on its own, for tools/results_benchmark.sh. Not a test: it prints numbers.
//
//   results_bench record TARGET N   records N problems through the store, one at a time as the
//                                   programs do, each after the one before is written, and prints
//                                   two lines "median_us worst_us p99_us mean_us": the time record()
//                                   keeps the pupil's thread, then the time until the problem is
//                                   written (record() and settle()).
//   results_bench fill TARGET N     records N problems of 30 pupils, the four programs and their
//                                   entries, with every outcome, as fast as the store takes them
//                                   (a class's history for timing the report); prints the seconds.
//
// TARGET is a SQLite file or a postgresql:// address, as --results takes it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "results/store.h"

namespace {

using Clock = std::chrono::steady_clock;

// A problem as the shell hands it over; i varies what a class's history varies.
shell::ProblemRecord Problem(long i) {
    static const char* const kPrograms[] = {"halvard", "morvane", "quillon", "brenwick"};
    static const int kEntries[] = {13, 10, 9, 5};
    static const char* const kOutcomes[] = {"right1", "right1", "right1", "right2",  "right3",
                                            "solution", "left",  "right1", "right2", "solution"};
    shell::ProblemRecord p;
    const size_t program = static_cast<size_t>(i / 7 % 4);
    p.program = kPrograms[program];
    p.entry = 1 + static_cast<int>(i / 3 % kEntries[program]);
    p.clock = "09:15:30";
    p.sequence = static_cast<int>(i % 1000) + 1;
    char started[32];
    std::snprintf(started, sizeof started, "2026-%02ld-%02ldT%02ld:%02ld:00Z", 1 + i / 20000 % 12,
                  1 + i / 700 % 28, 8 + i / 60 % 8, i % 60);
    p.started = started;
    p.seconds = 3.5 + static_cast<double>(i % 40);
    p.viewing = i % 11 == 0;
    p.outcome = p.viewing ? "viewed" : kOutcomes[i % 10];
    p.answers = {"x=" + std::to_string(i % 97)};
    if (p.outcome != "right1" && !p.viewing) p.answers.push_back("x=1/2");
    p.hints = p.viewing ? 0 : static_cast<int>(i % 4);
    return p;
}

std::string Pupil(long i) { return "pupil" + std::to_string(i % 30 + 1); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: results_bench record|fill TARGET N\n";
        return 2;
    }
    const std::string mode = argv[1], target = argv[2];
    const long n = std::atol(argv[3]);
    if (mode == "record") {
        results::Store store(target, "bench", std::cerr);
        std::vector<double> handed, written;
        handed.reserve(static_cast<size_t>(n));
        written.reserve(static_cast<size_t>(n));
        for (long i = 0; i < n; ++i) {
            const shell::ProblemRecord p = Problem(i);
            const auto start = Clock::now();
            store.record(p);
            const auto returned = Clock::now();
            store.settle();
            handed.push_back(std::chrono::duration<double, std::micro>(returned - start).count());
            written.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
        if (store.finish() != 0) return 1;
        for (std::vector<double>* micros : {&handed, &written}) {
            double sum = 0;
            for (const double m : *micros) sum += m;
            std::sort(micros->begin(), micros->end());
            std::printf("%.1f %.1f %.1f %.1f\n", (*micros)[micros->size() / 2], micros->back(),
                        (*micros)[micros->size() * 99 / 100], sum / static_cast<double>(micros->size()));
        }
        return 0;
    }
    if (mode == "fill") {
        const auto start = Clock::now();
        std::vector<std::unique_ptr<results::Store>> stores;
        for (long p = 0; p < 30; ++p) stores.push_back(std::make_unique<results::Store>(target, Pupil(p), std::cerr));
        for (long i = 0; i < n; ++i) stores[static_cast<size_t>(i % 30)]->record(Problem(i));
        size_t lost = 0;
        for (auto& s : stores) lost += s->finish();
        std::printf("%.2f\n", std::chrono::duration<double>(Clock::now() - start).count());
        return lost == 0 ? 0 : 1;
    }
    std::cerr << "usage: results_bench record|fill TARGET N\n";
    return 2;
}
