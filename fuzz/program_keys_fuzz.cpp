// The fuzzer's bytes as a key script, typed into each program headless with a clock taken from
// the first bytes. Any crash, sanitizer report or status other than 0 is a fault; a script the
// parser refuses is a usage error and is skipped, as the command line would refuse it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "brenwick/brenwick.h"
#include "halvard/halvard.h"
#include "morvane/morvane.h"
#include "quillon/quillon.h"
#include "runtime/keyscript.h"
#include "runtime/options.h"
#include "shell/startup.h"

namespace {

const shell::Program& (*const kPrograms[])() = {halvard::HalvardProgram, morvane::MorvaneProgram,
                                                quillon::QuillonProgram, brenwick::BrenwickProgram};

std::string Clock(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    auto two = [](int v) {
        return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
    };
    return two(a % 24) + ":" + two(b % 60) + ":" + two(c % 60);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4 || size > 4096) return 0;
    const auto& program = kPrograms[data[0] % 4]();
    const std::string keys(reinterpret_cast<const char*>(data + 4), size - 4);
    try {
        rt::parseKeyScript(keys);
    } catch (const rt::StartupError&) {
        return 0;
    }
    rt::Options o;
    o.programName = rt::toUtf8(program.title);
    o.canvasWidth = program.canvasWidth;
    o.headless = true;
    o.keys = keys;
    o.clock = Clock(data[1], data[2], data[3]);
    std::ostringstream trace;  // traced, so every trace event is built too
    o.traceStream = &trace;
    std::ostringstream errors;
    auto* old = std::cerr.rdbuf(errors.rdbuf());
    const int status = shell::RunProgram(program, o);
    std::cerr.rdbuf(old);
    if (status != 0) {
        std::cerr << o.programName << " --clock " << *o.clock << " ended with " << status << ": "
                  << errors.str();
        std::abort();
    }
    return 0;
}
