// A long session per program: one headless run answering problem after problem (three wrong
// answers each, every hint step drawn, then on to the next), with a fixed clock and no trace.
// Prints problems per second and the peak resident memory at problem 10,000 and at the end.
// Usage: long_session_bench PROGRAM [PROBLEMS]   (default 100000); one program a process, so
// each peak is its own.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "brenwick/brenwick.h"
#include "halvard/halvard.h"
#include "morvane/morvane.h"
#include "quillon/quillon.h"
#include "shell/startup.h"

namespace {

struct Probe {
    const shell::Program* real = nullptr;
    long presents = 0;
    long peakAt10000 = 0;
};
Probe probe;

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void PresentAndCount(shell::Shell& sh) {
    probe.real->FindEntry(sh.currentProblem)->Present(sh);
    if (++probe.presents == 10000) probe.peakAt10000 = PeakKilobytes();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string name = argc > 1 ? argv[1] : "";
    const long problems = argc > 2 ? std::atol(argv[2]) : 100000;
    std::string keys = "11{Enter}";
    for (long i = 0; i < problems; ++i) keys += "7{Enter} 7{Enter} 7{Enter}2";
    for (const auto& [program, make] :
         {std::pair{"halvard", &halvard::HalvardProgram}, std::pair{"morvane", &morvane::MorvaneProgram},
          std::pair{"quillon", &quillon::QuillonProgram},
          std::pair{"brenwick", &brenwick::BrenwickProgram}}) {
        if (name != program) continue;
        const shell::Program& real = make();
        shell::Program observed = real;
        for (auto& e : observed.entries) e.Present = PresentAndCount;
        probe = Probe{};
        probe.real = &real;
        rt::Options o;
        o.programName = rt::toUtf8(real.title);
        o.canvasWidth = real.canvasWidth;
        o.headless = true;
        o.keys = keys;
        o.clock = "12:34:56";
        const auto start = std::chrono::steady_clock::now();
        const int status = shell::RunProgram(observed, o);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peak = PeakKilobytes();
        std::cout << "| " << program << " | " << probe.presents << " | "
                  << static_cast<long>(probe.presents / seconds) << " | " << probe.peakAt10000 << " kB | "
                  << peak << " kB | " << peak - probe.peakAt10000 << " kB |"
                  << (status == 0 ? "" : " status " + std::to_string(status)) << "\n";
        return status != 0 || probe.presents < problems ? 1 : 0;
    }
    std::cerr << "usage: long_session_bench halvard|morvane|quillon|brenwick [PROBLEMS]\n";
    return 2;
}
