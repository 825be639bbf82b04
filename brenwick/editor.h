// Brenwick's answer line: a slimmer editor than the standard one, with its own keys.
#pragma once

#include "shell/shell.h"

namespace brenwick {

// The prompt "答 " and label 0, ending short of the anchor; then the editor: letters in
// capitals, a comma stored as a blank and a comma, fractions typed denominator first, roots,
// the unit drawn after the answer on Enter. Enter on an empty line gives an empty answer to
// check, and a line that runs full starts the editor again.
const shell::AnswerEditor& BrenwickEditor();

// What one key types on the answer line, or nothing when the line does not take the key.
rt::Text TypedForKey(char32_t key);

}  // namespace brenwick
