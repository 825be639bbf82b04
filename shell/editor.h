// The answer line: prompt, editor with fractions and roots, and the check against the
// accepted texts that the problem entry prepared.
#pragma once

#include "shell/shell.h"

namespace shell {

// One attempt: prompt, edit, check. Returns LineFull when the answer ran off the line
// (nothing is checked then); otherwise sets lastResult and returns Complete.
EditEnd AnswerInput(Shell& sh);
void ShowAnswerPrompt(Shell& sh);
// Edits the typed answer in place.
EditEnd EditAnswer(Shell& sh, Text& typed);
// Right when the answer, blanks removed, equals one of the three accepted texts.
Result CheckAnswer(const Shell& sh, const Text& typed);

}  // namespace shell
