#include "quillon/quillon.h"

namespace quillon {

// FIXME: the problem entries are not written yet; the shell shows a placeholder for each.
const shell::Program& QuillonProgram() {
    static const shell::Program program{U"Quillon", 9, {}};
    return program;
}

}  // namespace quillon
