#include "brenwick/brenwick.h"

namespace brenwick {

// FIXME: the word problems, the key map, the symbol tables and the slimmer editor are not
// written yet; until then Brenwick runs the standard shell on its wider canvas.
const shell::Program& BrenwickProgram() {
    static const shell::Program program = [] {
        shell::Program p{U"Brenwick", 5, {}};
        p.canvasWidth = 1920;
        return p;
    }();
    return program;
}

}  // namespace brenwick
