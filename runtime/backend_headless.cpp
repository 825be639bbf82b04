// Headless: the canvas is the result; there is no display, no X server and no event.
#include "runtime/backend.h"

namespace rt {

namespace {
class HeadlessBackend final : public Backend {
public:
    void maximise() override {}
    bool pump(std::deque<char32_t>&, const std::array<Text, 12>&) override { return false; }
    void present(const Canvas&, const Rect&, const DrawList&) override {}
    void wait() override {}
    bool interactive() const override { return false; }
};
}  // namespace

std::unique_ptr<Backend> makeHeadlessBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace rt
