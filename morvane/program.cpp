#include "morvane/morvane.h"

namespace morvane {

// FIXME: the problem entries are not written yet; the shell shows a placeholder for each.
const shell::Program& MorvaneProgram() {
    static const shell::Program program{U"Morvane", 10, {}};
    return program;
}

}  // namespace morvane
