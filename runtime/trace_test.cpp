#include "runtime/trace.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

namespace rt {
namespace {

// Holds the file size limit at `bytes` (and ignores the signal for going past it) until restored.
class SizeLimit {
public:
    explicit SizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~SizeLimit() { restore(); }
    SizeLimit(const SizeLimit&) = delete;
    SizeLimit& operator=(const SizeLimit&) = delete;

    bool ok() const { return ok_; }
    void restore() {
        if (restored_) return;
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
        restored_ = true;
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int) = SIG_DFL;
    bool ok_ = false;
    bool restored_ = false;
};

// A disk that fills up and then has room again (another program freed some) must not leave a
// trace with a hole in the middle reported as whole: the failure of any one write is the run's,
// even when the writes after it, and the last flush, succeed.
TEST(Trace, AWriteThatFailedMidRunIsReportedEvenWhenTheRestSucceeds) {
    const std::string path = ::testing::TempDir() + "/trace_gap." + std::to_string(::getpid()) + ".jsonl";
    Trace trace(nullptr, path);
    {
        SizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.ok());
        // Far more than the limit and the write buffer together, so writes fail while it holds.
        for (int i = 0; i < 4000; ++i)
            trace.write("drawLine", {{"x1", static_cast<float>(i)}, {"y1", 0.f}, {"c", 15}});
        limit.restore();
        for (int i = 0; i < 10; ++i)
            trace.write("drawLine", {{"x1", static_cast<float>(i)}, {"y1", 1.f}, {"c", 15}});
    }
    const std::string failed = trace.close();
    EXPECT_NE(failed.find("cannot write the trace " + path), std::string::npos) << failed;
    EXPECT_NE(failed.find("File too large"), std::string::npos) << failed;
    std::filesystem::remove(path);
}

// Every event of a trace that fits reaches the file, in order, and closing says so.
TEST(Trace, AFileThatHasRoomHoldsEveryEvent) {
    const std::string path = ::testing::TempDir() + "/trace_whole." + std::to_string(::getpid()) + ".jsonl";
    {
        Trace trace(nullptr, path);
        for (int i = 0; i < 4000; ++i) trace.write("drawLine", {{"x1", static_cast<float>(i)}, {"c", 15}});
        EXPECT_EQ(trace.close(), "");
    }
    std::FILE* in = std::fopen(path.c_str(), "r");
    ASSERT_NE(in, nullptr);
    char line[128];
    int n = 0;
    while (std::fgets(line, sizeof line, in)) {
        EXPECT_EQ(std::string(line), "{\"op\":\"drawLine\",\"x1\":" + std::to_string(n) + ",\"c\":15}\n");
        ++n;
    }
    std::fclose(in);
    EXPECT_EQ(n, 4000);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace rt
