#include "shell/keys.h"

namespace shell {

void FlushKeys(Shell& sh) { sh.scr.discardKeys(); }

void WaitForKey(Shell& sh, char32_t c) {
    while (!IsKey(sh.scr.readKey(), c)) {
    }
}

}  // namespace shell
