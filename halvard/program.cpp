#include "halvard/halvard.h"

namespace halvard {

const shell::Program& HalvardProgram() {
    static const shell::Program program{U"Halvard", 13, {}};
    return program;
}

}  // namespace halvard
