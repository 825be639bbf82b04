// The operations of Morvane's problem entries, for the program's table of entries. The one-step
// equations share one routine; the template argument picks the row of their table of what
// differs. Their first hint step is the properties-of-equality panel (frame.h).
#pragma once

#include "shell/shell.h"

namespace morvane {

using shell::Shell;

// Which of three equations has the solution 3: substitute 3 into both sides of each.
struct WhichEquation {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// Which of 1, 2, 3 is the solution of ax+b=x+c: substitute each into both sides.
struct WhichValue {
    static void Present(Shell& sh);
    static void HintStep1(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// One step by the properties of equality, shapes 0 to 7: x-a=b with whole numbers and with
// decimals, x+a=b with whole numbers and with fractions, x/a=b, -x/a=b, ax=b, and ax=b with a
// negative a.
template <int Shape>
struct OneStep {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

}  // namespace morvane
