// Key handling of the shell: emptying the keyboard and the waits for one particular key.
#pragma once

#include "shell/shell.h"

namespace shell {

// True when `key` is exactly the one character `c`.
inline bool IsKey(const Text& key, char32_t c) { return key.size() == 1 && key[0] == c; }

// Throws away every key typed so far, so that a key pressed during drawing does not answer
// the next question.
void FlushKeys(Shell& sh);

// Polls until the pupil presses `c`; every other key is ignored.
void WaitForKey(Shell& sh, char32_t c);

}  // namespace shell
