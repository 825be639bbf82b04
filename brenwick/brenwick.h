// Brenwick: word problems, 5 problem entries, on a wider canvas.
#pragma once

#include "shell/shell.h"

namespace brenwick {

const shell::Program& BrenwickProgram();

}  // namespace brenwick
