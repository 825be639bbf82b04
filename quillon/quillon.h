// Quillon: ratios and proportions, 9 problem entries.
#pragma once

#include "shell/shell.h"

namespace quillon {

const shell::Program& QuillonProgram();

}  // namespace quillon
