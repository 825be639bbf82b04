// The operations of Brenwick's five word problems, for the program's table of entries. Each
// draws fresh numbers whose key value differs from the key of the problem shown last.
#pragma once

#include "shell/shell.h"

namespace brenwick {

using shell::Shell;

// Apples and a watermelon: the price of one apple (the key).
struct ApplesAndMelon {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// The elder brother gives the younger money until he has a multiple of the younger's: the
// gift (the key).
struct MoneyBetweenBrothers {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// Sweets shared two ways, one leaving some over and one falling short: the number of pupils
// (the key).
struct SweetsShared {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// A sister on a bicycle catches up with her brother on his way to the station: the catch-up
// time, with a table of speed, time and distance (the sister's speed is the key).
struct SisterChasesBrother {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// Vinegar and oil raised by the same amount to a given ratio: the amount added (the key).
struct SaladDressing {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

}  // namespace brenwick
