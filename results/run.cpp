#include "results/run.h"

#include <cstdio>
#include <cstdlib>

#ifndef __EMSCRIPTEN__
#include <iostream>

#include "results/store.h"
#endif
#include "runtime/screen.h"
#include "runtime/text.h"
#include "shell/startup.h"

namespace results {

#ifndef __EMSCRIPTEN__
std::optional<std::string> ResultsTarget(const rt::Options& o) {
    if (o.noResults) return std::nullopt;
    if (o.results) return *o.results;
    if (o.headless) return std::nullopt;  // tests and scripts never write into a home folder
    if (const char* env = std::getenv("DRILLS_RESULTS"); env && *env) return std::string(env);
    return DefaultResultsFile();
}
#endif

int Main(const shell::Program& program, int argc, const char* const* argv) {
    const std::string name = rt::toUtf8(program.title);
    try {
        const rt::Options options = rt::parseCommandLine(argc, argv, name, program.canvasWidth);
#ifdef __EMSCRIPTEN__
        // A page has no file or server to keep finished problems in. Its main returns long after
        // the page started it (each wait handed control back to the browser), when returning
        // tells nobody; exit lets the page show that the program has ended.
        std::exit(shell::RunProgram(program, options));
#else
        const std::optional<std::string> target = ResultsTarget(options);
        if (!target) return shell::RunProgram(program, options);
        Store store(*target, options.pupil.empty() ? LoginName() : options.pupil, std::cerr);
        int status = shell::RunProgram(program, options, &store);
        if (store.finish() > 0 && status == 0) status = kResultsLost;
        return status;
#endif
    } catch (const rt::StartupError& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return 2;
    } catch (const rt::ProgramEnd& end) {
        return end.status;
    }
}

}  // namespace results
