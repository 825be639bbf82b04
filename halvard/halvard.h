// Halvard: solving linear equations in x, 13 problem entries.
#pragma once

#include "shell/shell.h"

namespace halvard {

const shell::Program& HalvardProgram();

}  // namespace halvard
