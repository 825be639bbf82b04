// drills-report: what the pupils did, from the same store the programs write to.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>

#include "results/report.h"
#include "results/store.h"

int main(int argc, char** argv) {
    CLI::App app{"drills-report: per pupil, program and problem, how the drills went.", "drills-report"};
    std::string target, format = "text";
    results::Filter filter;
    app.add_option("--results", target,
                   "The SQLite FILE or postgresql:// server to read (default: $DRILLS_RESULTS, else the "
                   "desktop user's results file)");
    app.add_option("--format", format, "text, csv, json or html")
        ->check(CLI::IsMember({"text", "csv", "json", "html"}));
    app.add_option("--pupil", filter.pupil, "Only this pupil");
    app.add_option("--program", filter.program, "Only this program (halvard, morvane, quillon, brenwick)");
    app.add_option("--since", filter.since, "Only problems started on or after YYYY-MM-DD");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
        // A bad option: one line and status 2, as in the programs.
        std::cerr << "drills-report: " << e.what() << "; see --help\n";
        return 2;
    }
    if (!filter.since.empty() && !std::regex_match(filter.since, std::regex(R"(\d{4}-\d{2}-\d{2})"))) {
        std::cerr << "drills-report: --since wants YYYY-MM-DD, not " << filter.since << "; see --help\n";
        return 2;
    }
    for (char& c : filter.program) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (target.empty()) {
        const char* env = std::getenv("DRILLS_RESULTS");
        target = env && *env ? env : results::DefaultResultsFile();
    }
    try {
        // Reading never creates a results file where there was none.
        const bool server = target.starts_with("postgresql://") || target.starts_with("postgres://");
        if (!server && !std::filesystem::exists(target)) {
            std::cerr << "drills-report: no results file at " << target << "\n";
            return 1;
        }
        const auto db = results::OpenDatabase(target, std::cerr);
        const results::Format f = format == "csv"    ? results::Format::Csv
                                  : format == "json" ? results::Format::Json
                                  : format == "html" ? results::Format::Html
                                                     : results::Format::Text;
        results::WriteReport(db->summarise(filter), f, std::cout);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "drills-report: cannot write the report\n";
            return 74;
        }
    } catch (const std::exception& e) {
        std::cerr << "drills-report: cannot read " << target << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
