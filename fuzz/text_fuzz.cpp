// The fuzzer's bytes through the key-script parser, the marked-up text routines (fractions,
// roots and frames nested any way, drawn on a headless screen) and the number texts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "halvard/halvard.h"
#include "runtime/keyscript.h"
#include "runtime/options.h"
#include "runtime/screen.h"
#include "shell/mathtext.h"
#include "shell/numtext.h"
#include "shell/shell.h"

namespace {

struct Stage {
    Stage() : options(Make()), screen(options), sh(screen, halvard::HalvardProgram()) {}
    static rt::Options Make() {
        rt::Options o;
        o.headless = true;
        o.keys = "";
        o.clock = "12:34:56";
        return o;
    }
    rt::Options options;
    rt::Screen screen;
    shell::Shell sh;
};

float FloatAt(const std::uint8_t* p) {
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 12 || size > 2048) return 0;
    static Stage stage;
    const std::string bytes(reinterpret_cast<const char*>(data + 12), size - 12);
    try {
        rt::parseKeyScript(bytes);
    } catch (const rt::StartupError&) {
    }
    const rt::Text text = rt::fromUtf8(bytes);
    const float x = FloatAt(data), y = FloatAt(data + 4);
    // Anywhere on or off the canvas, where a long text or a nested mark may lead.
    if (std::isfinite(x) && std::isfinite(y) && std::fabs(x) < 1e5f && std::fabs(y) < 1e5f) {
        shell::DrawText(stage.sh, x, y, data[8] % 16, text);
        shell::MeasureMarkup(text);
        shell::StripMarkup(text);
    }
    // Number texts for any whole-number-ish operands the drills could draw.
    const float a = static_cast<float>(static_cast<std::int8_t>(data[9]));
    const float b = static_cast<float>(static_cast<std::int8_t>(data[10]));
    const float c = static_cast<float>(data[11] % 50);
    shell::NumberText(a / (b == 0 ? 1 : b));
    shell::Num(a);
    if (a != 0 && b != 0) {
        shell::GcdLcm(std::fabs(a), std::fabs(b));
        shell::QuotientTexts(a, b);
        if (c != 0) shell::FractionSumTexts(a, b, c, b);
    }
    return 0;
}
