// The store on a disk that fills up: one warning line, the pupil goes on, what waits in memory is
// written once there is room again, and what never could be is counted at the end. Two ways to
// fill a disk: a small tmpfs mounted for the test (needs the right to mount, so root), and the
// file size limit, which any user can lower for a process that ignores SIGXFSZ as the programs do.
#include <SQLiteCpp/SQLiteCpp.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "results/store.h"

namespace {

namespace fs = std::filesystem;

shell::ProblemRecord Problem(int sequence) {
    shell::ProblemRecord p;
    p.program = "halvard";
    p.entry = 1 + sequence % 13;
    p.clock = "07:08:09";
    p.sequence = sequence;
    p.started = "2026-12-09T07:08:09Z";
    p.seconds = 12.5;
    // A long answer list, so that every row needs room of its own in the log.
    p.answers = std::vector<std::string>(3, std::string(400, 'x'));
    p.outcome = "solution";
    p.hints = 3;
    return p;
}

long Lines(const std::string& s) { return std::count(s.begin(), s.end(), '\n'); }

long Rows(const std::string& file) {
    SQLite::Database db(file);
    return db.execAndGet("SELECT count(*) FROM results").getInt();
}

// A folder whose disk can be filled up and given room again.
class Disk {
public:
    virtual ~Disk() = default;
    virtual std::string folder() const = 0;
    virtual void fill() = 0;
    virtual void makeRoom() = 0;
};

// A tmpfs of its own, filled with a file that takes every free block.
class SmallFileSystem final : public Disk {
public:
    explicit SmallFileSystem(std::string dir) : dir_(std::move(dir)) {
        fs::create_directories(dir_);
        mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=1m") == 0;
        why_ = mounted_ ? "" : std::strerror(errno);
    }
    ~SmallFileSystem() override {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        fs::remove_all(dir_);
    }
    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    std::string folder() const override { return dir_; }
    void fill() override {
        const int fd = open((dir_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        EXPECT_EQ(errno, ENOSPC);
        // The last partial block too, so that not one byte is left.
        while (write(fd, block.data(), 1) > 0) {
        }
        close(fd);
    }
    void makeRoom() override { fs::remove(dir_ + "/filler"); }

private:
    std::string dir_;
    bool mounted_ = false;
    std::string why_;
};

// The file size limit set to the size of the store's write-ahead log: the next page the store
// appends to it fails as on a full disk. Restored when done.
class FileSizeLimit final : public Disk {
public:
    explicit FileSizeLimit(std::string dir) : dir_(std::move(dir)) {
        fs::create_directories(dir_);
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() override {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
        fs::remove_all(dir_);
    }
    std::string folder() const override { return dir_; }
    void fill() override {
        const std::string log = dir_ + "/r.sqlite3-wal";
        ASSERT_TRUE(fs::exists(log));
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(fs::file_size(log));
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    void makeRoom() override { ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved_), 0); }

private:
    std::string dir_;
    rlimit saved_{};
    sighandler_t previous_ = SIG_DFL;
};

std::string TestDir(const std::string& name) {
    return ::testing::TempDir() + "/full_disk_" + name + "_" + std::to_string(getpid());
}

// The whole story on one disk: room, no room, room again, no room at the end.
void FillAndFree(Disk& disk) {
    const std::string file = disk.folder() + "/r.sqlite3";
    std::ostringstream warn;
    results::Store store(file, "aki", warn);
    store.record(Problem(1));
    ASSERT_EQ(store.pending(), 0u) << warn.str();

    disk.fill();
    for (int i = 2; i <= 4; ++i) store.record(Problem(i));  // each returns: practice goes on
    EXPECT_EQ(store.pending(), 3u);
    EXPECT_EQ(Lines(warn.str()), 1) << warn.str();
    EXPECT_NE(warn.str().find("kept in memory"), std::string::npos) << warn.str();

    disk.makeRoom();
    store.record(Problem(5));
    EXPECT_EQ(store.pending(), 0u) << warn.str();
    EXPECT_EQ(Rows(file), 5);

    disk.fill();
    store.record(Problem(6));
    store.record(Problem(7));
    EXPECT_EQ(store.finish(), 2u);
    // One line for each time the disk filled, one for what is lost.
    EXPECT_EQ(Lines(warn.str()), 3) << warn.str();
    EXPECT_NE(warn.str().find("2 finished problems could not be written"), std::string::npos) << warn.str();
    disk.makeRoom();
    EXPECT_EQ(Rows(file), 5);
    SQLite::Database db(file);
    EXPECT_EQ(db.execAndGet("PRAGMA integrity_check").getString(), "ok");
    EXPECT_EQ(db.execAndGet("SELECT group_concat(sequence) FROM (SELECT sequence FROM results ORDER BY id)")
                  .getString(),
              "1,2,3,4,5");
}

TEST(ResultsFullDisk, AFileSystemThatFillsUp) {
    SmallFileSystem disk(TestDir("tmpfs"));
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.why()
                     << "; it needs root); the file size limit case below fills a disk without it";
    FillAndFree(disk);
}

TEST(ResultsFullDisk, TheFileSizeLimit) {
    FileSizeLimit disk(TestDir("limit"));
    FillAndFree(disk);
}

// The program itself on a full disk: the session runs to the end of its key script, one line
// says results cannot be kept, one says how many were lost, and the exit status is 75.
TEST(ResultsFullDisk, AProgramOnAFullDiskFinishesAndEndsWith75) {
    SmallFileSystem disk(TestDir("program"));
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.why() << "; it needs root)";
    const std::string file = disk.folder() + "/r.sqlite3";
    {
        results::Store store(file, "aki", std::cerr);
        store.record(Problem(1));
        ASSERT_EQ(store.finish(), 0u);
    }
    disk.fill();
    int err[2];
    ASSERT_EQ(pipe(err), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(err[1], 2);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(err[0]);
        const std::string program = std::string(DRILLS_BIN_DIR) + "/halvard";
        // View mode: three problems shown, the window closed on the third.
        execl(program.c_str(), program.c_str(), "--headless", "--keys", "2{Enter}{Enter}{Close}", "--results",
              file.c_str(), "--pupil", "aki", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(err[1]);
    std::string said;
    char buf[512];
    for (ssize_t n; (n = read(err[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<size_t>(n));
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << said;
    EXPECT_EQ(WEXITSTATUS(status), 75) << said;
    // The program's own lines (a sanitizer's summary may follow them).
    long own = 0;
    for (size_t at = 0; (at = said.find("drills: ", at)) != std::string::npos; ++at)
        if (at == 0 || said[at - 1] == '\n') ++own;
    EXPECT_EQ(own, 2) << said;
    EXPECT_NE(said.find("kept in memory"), std::string::npos) << said;
    EXPECT_NE(said.find("3 finished problems could not be written"), std::string::npos) << said;
    disk.makeRoom();
    EXPECT_EQ(Rows(file), 1);
}

}  // namespace
