#include "results/store.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ostream>

namespace results {

std::unique_ptr<Database> OpenDatabase(const std::string& target, std::ostream& warn) {
    if (target.starts_with("postgresql://") || target.starts_with("postgres://")) return OpenPostgres(target);
    return OpenSqlite(target, warn);
}

std::optional<double> TrendOf(int practised, int recentRight, int earlierRight) {
    if (practised <= kTrendRecent) return std::nullopt;
    return static_cast<double>(recentRight) / kTrendRecent -
           static_cast<double>(earlierRight) / (practised - kTrendRecent);
}

std::string DefaultResultsFile() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return std::string(data) + "/drills/results.sqlite3";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : ".";
    }
    return std::string(home) + "/.local/share/drills/results.sqlite3";
}

std::string LoginName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "pupil";
}

Store::Store(std::string target, std::string pupil, std::ostream& warn)
    : target_(std::move(target)), pupil_(std::move(pupil)), warn_(warn) {
    flush();  // opens the database now, so a file to set aside is reported at start-up
}

void Store::record(const shell::ProblemRecord& problem) noexcept {
    try {
        pending_.push_back(problem);
    } catch (...) {
        return;  // out of memory: nothing sensible is left to do for this one problem
    }
    flush();
}

void Store::flush() noexcept {
    try {
        if (!db_) db_ = OpenDatabase(target_, warn_);
        while (!pending_.empty()) {
            db_->insert(pupil_, pending_.front());
            pending_.pop_front();
        }
        warned_ = false;
    } catch (const std::exception& e) {
        // One line per outage, not one per problem; the problems wait in memory.
        std::string why = e.what();
        for (char& c : why)
            if (c == '\n' || c == '\t') c = ' ';  // the warning stays one line whatever the database says
        if (!warned_)
            warn_ << "drills: cannot keep results in " << target_ << " for now (" << why
                  << "); practice goes on and they are kept in memory\n";
        warned_ = true;
    }
}

size_t Store::finish() noexcept {
    flush();
    if (!pending_.empty())
        warn_ << "drills: " << pending_.size() << " finished problem" << (pending_.size() == 1 ? "" : "s")
              << " could not be written to " << target_ << " and are lost\n";
    return pending_.size();
}

}  // namespace results
