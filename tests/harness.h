// Test rigs: a headless screen with a key script, a fixed clock and a trace in memory.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/screen.h"
#include "shell/shell.h"
#include "shell/startup.h"

namespace testing_rig {

using json = nlohmann::json;

inline std::vector<json> parseTrace(const std::string& text) {
    std::vector<json> events;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) events.push_back(json::parse(line));
    return events;
}

// The events of one op, in order.
inline std::vector<json> ops(const std::vector<json>& events, const std::string& op) {
    std::vector<json> out;
    for (const auto& e : events)
        if (e.at("op") == op) out.push_back(e);
    return out;
}

// The texts that DrawText was asked to draw, in order.
inline std::vector<std::string> drawnTexts(const std::vector<json>& events) {
    std::vector<std::string> out;
    for (const auto& e : ops(events, "DrawText")) out.push_back(e.at("text").get<std::string>());
    return out;
}

// True when some event of `op` has every one of the given fields with the given value.
inline bool hasOp(const std::vector<json>& events, const std::string& op,
                  std::initializer_list<std::pair<const char*, json>> fields) {
    for (const auto& e : ops(events, op)) {
        bool all = true;
        for (const auto& [k, v] : fields) all = all && e.contains(k) && e.at(k) == v;
        if (all) return true;
    }
    return false;
}

inline bool drewText(const std::vector<json>& events, const std::string& text) {
    for (const auto& e : ops(events, "DrawText"))
        if (e.at("text") == text) return true;
    return false;
}

// A screen and a shell for calling shell routines directly.
struct Rig {
    explicit Rig(const shell::Program& program, std::string keys = "", std::string clock = "12:34:56")
        : options(makeOptions(program, std::move(keys), std::move(clock), &traceText)),
          screen(options),
          sh(screen, program) {}

    std::vector<json> events() const { return parseTrace(traceText.str()); }
    void clearTrace() { traceText.str(""); }

    static rt::Options makeOptions(const shell::Program& program, std::string keys, std::string clock,
                                   std::ostream* trace) {
        rt::Options o;
        o.programName = rt::toUtf8(program.title);
        o.canvasWidth = program.canvasWidth;
        o.headless = true;
        o.keys = std::move(keys);
        o.clock = std::move(clock);
        o.traceStream = trace;
        return o;
    }

    std::ostringstream traceText;
    rt::Options options;
    rt::Screen screen;
    shell::Shell sh;
};

// Everything written to the process's standard error (the file, not only std::cerr) from its
// construction until text() is called.
class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()) {
        std::fflush(stderr);
        std::cerr.flush();
        saved_ = dup(2);
        dup2(fileno(file_), 2);
    }
    ~StderrCapture() { text(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            std::cerr.flush();
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
            std::rewind(file_);
            for (int c; (c = std::fgetc(file_)) != EOF;) text_ += static_cast<char>(c);
            std::fclose(file_);
        }
        return text_;
    }

private:
    std::FILE* file_;
    int saved_ = -1;
    std::string text_;
};

// A whole program run, start-up to the end of the key script.
struct RunResult {
    int status = -1;
    std::vector<json> events;
    std::string errors;  // what the run wrote to stderr
};

inline RunResult runProgram(const shell::Program& program, const std::string& keys,
                            const std::string& clock = "12:34:56", const std::string& screenshot = "") {
    std::ostringstream trace;
    auto options = Rig::makeOptions(program, keys, clock, &trace);
    options.screenshotFile = screenshot;
    StderrCapture err;
    RunResult run;
    run.status = shell::RunProgram(program, options);
    run.errors = err.text();
    run.events = parseTrace(trace.str());
    return run;
}

// Compares a canvas with the reference image tests/reference/NAME.png, pixel for pixel. On a
// difference it writes NAME.png.actual.png (what was drawn) and NAME.png.diff.png (the differing
// pixels in colour 13 on black) beside the reference. DRILLS_UPDATE_REFERENCE=1 rewrites the
// reference instead, on purpose only.
inline void ExpectMatchesReference(const rt::Canvas& canvas, const std::string& name) {
    const std::string path = std::string(DRILLS_SOURCE_DIR) + "/tests/reference/" + name + ".png";
    const char* update = std::getenv("DRILLS_UPDATE_REFERENCE");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        rt::savePng(canvas, path);
        std::cout << "wrote " << path << "\n";
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path))
        << path << " is missing; run with DRILLS_UPDATE_REFERENCE=1 to make it";
    const rt::Canvas want = rt::loadPng(path);
    ASSERT_EQ(want.width(), canvas.width()) << path;
    ASSERT_EQ(want.height(), canvas.height()) << path;
    rt::Canvas diff(canvas.width(), canvas.height());
    long differing = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (want.at(x, y) != canvas.at(x, y)) {
                ++differing;
                diff.plot(x, y, 13);
            }
    if (differing == 0) return;
    rt::savePng(canvas, path + ".actual.png");
    rt::savePng(diff, path + ".diff.png");
    ADD_FAILURE() << differing << " pixels differ from " << path << "; the drawing is in " << path
                  << ".actual.png and the differing pixels in " << path << ".diff.png";
}

}  // namespace testing_rig
