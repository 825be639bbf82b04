#include "shell/keys.h"

namespace shell {

void FlushKeys(Shell& sh) {
    while (!sh.scr.readKey().empty()) {
    }
}

void WaitForKey(Shell& sh, char32_t c) {
    while (!IsKey(sh.scr.readKey(), c)) {
    }
}

}  // namespace shell
