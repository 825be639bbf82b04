// Morvane: equations and their solutions, 10 problem entries.
#pragma once

#include "shell/shell.h"

namespace morvane {

const shell::Program& MorvaneProgram();

}  // namespace morvane
