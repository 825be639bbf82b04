#include "results/store.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ostream>

namespace results {

namespace {

// How long a script's thread spins for room among the held problems before it sleeps: a few
// commits, so a script that has run kMostBehind problems ahead goes on as soon as one is written
// rather than after a sleep and a wake-up.
constexpr auto kSpin = std::chrono::microseconds(200);

template <class Ready>
void SpinFor(Ready ready) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    while (!ready() && std::chrono::steady_clock::now() < until) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
}

}  // namespace

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
    : target_(std::move(target)), pupil_(std::move(pupil)), warn_(warn) {}

Store::~Store() { stopWriter(); }

void Store::record(const shell::ProblemRecord& problem) noexcept {
    SpinFor([this] { return hasRoom(); });
    std::unique_lock lock(mutex_);
    tried_.wait(lock, [this] { return hasRoom(); });
    try {
        held_.push_back(problem);
        held_count_ = held_.size();
    } catch (...) {
        return;  // out of memory: nothing sensible is left to do for this one problem
    }
    if (!writerStarted()) {
        writeHeld(lock);
        return;
    }
    untried_ = true;
    // A pupil's problem is written when the program next waits for a key (settle); a script's
    // go in runs, so its thread pays for waking the writer now and then rather than per problem.
    // A failing store tries again with each problem.
    const bool wake = failing_ || held_.size() >= kWakeAfter;
    lock.unlock();
    if (wake) handed_.notify_one();
}

void Store::settle() noexcept {
    std::unique_lock lock(mutex_);
    if (caughtUp() && begun_) return;
    begun_ = true;
    if (!writerStarted()) {
        writeHeld(lock);
        return;
    }
    handed_.notify_one();
    tried_.wait(lock, [this] { return caughtUp(); });
}

size_t Store::pending() noexcept {
    std::unique_lock lock(mutex_);
    begun_ = true;
    if (!writerStarted()) writeHeld(lock);
    handed_.notify_one();
    tried_.wait(lock, [this] { return !untried_ && !writing_; });
    return held_.size();
}

// Called with the lock held; it is let go while the database works, so the pupil's thread can
// hand over the next problem meanwhile. Only one thread at a time gets here (writing_).
void Store::writeHeld(std::unique_lock<std::mutex>& lock) noexcept {
    writing_ = true;
    untried_ = false;
    std::string failure;
    while (failure.empty() && (!db_ || !held_.empty())) {
        // A deque keeps its elements in place while the other thread appends.
        const shell::ProblemRecord* next = held_.empty() ? nullptr : &held_.front();
        lock.unlock();
        try {
            if (!db_) db_ = OpenDatabase(target_, warn_);
            if (next) db_->insert(pupil_, *next);
        } catch (const std::exception& e) {
            failure = *e.what() ? e.what() : "unknown error";
        } catch (...) {
            failure = "unknown error";
        }
        lock.lock();
        if (failure.empty() && next) {
            held_.pop_front();
            held_count_ = held_.size();
            tried_.notify_all();  // room for a problem the pupil's thread may be waiting to hand over
        }
    }
    failing_ = !failure.empty();
    if (failure.empty()) {
        warned_ = false;
    } else if (!warned_) {
        // One line per outage, not one per problem; the problems wait in memory.
        for (char& c : failure)
            if (c == '\n' || c == '\t') c = ' ';  // the warning stays one line whatever the database says
        warn_ << "drills: cannot keep results in " << target_ << " for now (" << failure
              << "); practice goes on and they are kept in memory\n";
        warned_ = true;
    }
    writing_ = false;
    tried_.notify_all();
}

// The writer starts with the first problem or the first wait for the pupil, not with the store:
// a process with a second thread pays for it in locks the C library takes from then on, and the
// window's start reads a large file one character at a time. Called with the lock held; false
// when there is no thread (none to be had, or the store has finished), and the pupil's thread
// then writes each problem itself.
bool Store::writerStarted() noexcept {
    if (thread_.joinable()) return true;
    if (threadless_ || stop_) return false;
    try {
        writing_ = true;  // until the writer has opened the database (see writer)
        thread_ = std::thread([this] { writer(); });
        return true;
    } catch (const std::exception&) {
        writing_ = false;
        threadless_ = true;
        return false;
    }
}

void Store::writer() noexcept {
    std::unique_lock lock(mutex_);
    // The database is opened once the program first waits for the pupil, its first screen up, or
    // once a script has handed over its first problems: neither a large file's check nor a slow
    // server nor the opening itself takes from the start-up. A file set aside is reported then.
    handed_.wait(lock, [this] { return begun_ || untried_ || stop_; });
    writeHeld(lock);
    for (;;) {
        handed_.wait(lock, [this] { return untried_ || stop_; });
        if (!untried_) return;  // stopped, and everything handed over has been tried
        writeHeld(lock);
    }
}

void Store::stopWriter() noexcept {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    handed_.notify_one();
    if (thread_.joinable()) thread_.join();
}

size_t Store::finish() noexcept {
    stopWriter();
    std::unique_lock lock(mutex_);
    writeHeld(lock);  // one last try for what an outage kept in memory
    if (!held_.empty())
        warn_ << "drills: " << held_.size() << " finished problem" << (held_.size() == 1 ? "" : "s")
              << " could not be written to " << target_ << " and are lost\n";
    return held_.size();
}

}  // namespace results
