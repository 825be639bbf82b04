#include "results/run.h"

#include <cstdlib>
#include <iostream>

#include "results/store.h"
#include "runtime/screen.h"
#include "runtime/text.h"
#include "shell/startup.h"

namespace results {

std::optional<std::string> ResultsTarget(const rt::Options& o) {
    if (o.noResults) return std::nullopt;
    if (o.results) return *o.results;
    if (o.headless) return std::nullopt;  // tests and scripts never write into a home folder
    if (const char* env = std::getenv("DRILLS_RESULTS"); env && *env) return std::string(env);
    return DefaultResultsFile();
}

int Main(const shell::Program& program, int argc, const char* const* argv) {
    const std::string name = rt::toUtf8(program.title);
    try {
        const rt::Options options = rt::parseCommandLine(argc, argv, name, program.canvasWidth);
        const std::optional<std::string> target = ResultsTarget(options);
        if (!target) return shell::RunProgram(program, options);
        Store store(*target, options.pupil.empty() ? LoginName() : options.pupil, std::cerr);
        int status = shell::RunProgram(program, options, &store);
        if (store.finish() > 0 && status == 0) status = kResultsLost;
        return status;
    } catch (const rt::StartupError& e) {
        std::cerr << name << ": " << e.what() << '\n';
        return 2;
    } catch (const rt::ProgramEnd& end) {
        return end.status;
    }
}

}  // namespace results
