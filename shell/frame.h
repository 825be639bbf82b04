// The problem frame that every entry draws on, the tables-to-texts step and number input.
#pragma once

#include "shell/shell.h"

namespace shell {

void ClearWorkArea(Shell& sh);
// The "ＮＯ" plate with the problem number at row y, and the title box from left to right.
void DrawProblemPlate(Shell& sh, int number, float y, float left, float right, float bottom);
// The blank-free texts of the number tables: Ttext and Ftext from T and F (0..40), A2text and
// B2text from A2 and B2 (0..20).
void FormatNumberTexts(Shell& sh);
// Reads typed characters at (x, y) until Enter and returns them.
Text InputNumber(Shell& sh, float x, float y);

}  // namespace shell
