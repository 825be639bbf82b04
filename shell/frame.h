// The problem frame that every entry draws on, the tables-to-texts step and number input.
#pragma once

#include "shell/shell.h"

namespace shell {

void ClearWorkArea(Shell& sh);
// The "ＮＯ" plate with the problem number at row y, and the title box from left to right.
void DrawProblemPlate(Shell& sh, int number, float y, float left, float right, float bottom);
// YKUMI/TITLE from T/F (0..40), U/V from A2/B2 (0..20), blank-free.
void FormatNumberTexts(Shell& sh);
// Reads typed characters at (x, y) until Enter and returns them.
Text InputNumber(Shell& sh, float x, float y);

}  // namespace shell
