// The operations of Halvard's problem entries, for the program's table of entries. Entries of one
// family share one routine; the template argument picks the row of the family's table of what
// differs. Every entry's first hint step is one of the two fundamentals panels (frame.h).
#pragma once

#include "shell/shell.h"

namespace halvard {

using shell::Shell;

// ax+b=c (shape 0) and ax-b=c (shape 1).
template <int Shape>
struct OneSide {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// x on both sides: ax=bx+c, ax=-bx+c, ax+b=cx-d, ax+b=-cx+d (shapes 0 to 3).
template <int Shape>
struct BothSides {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// m(px+q)=cx+d.
struct BracketOnLeft {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// ax-m(px+q)=d.
struct BracketSubtracted {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// Decimal coefficients in tenths: ax+b=cx-d (shape 0) and ax+b=-cx+d (shape 1).
template <int Shape>
struct Decimals {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// (1/p)x=(1/q)x-c.
struct UnitFractions {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// (p/q)x+c=(r/s)x.
struct FractionCoefficients {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// (ax+b)/m=(cx-d)/n.
struct FractionsOfBinomials {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

}  // namespace halvard
