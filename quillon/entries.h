// The operations of Quillon's problem entries, for the program's table of entries. Entries of
// one family share one routine; the template argument picks the row of the family's table of
// what differs.
#pragma once

#include "shell/shell.h"

namespace quillon {

using shell::Shell;

// A rectangle drawn with the lengths of its sides; asked for the ratio of the sides (shape 0)
// or its ratio value (shape 1).
template <int Shape>
struct Rectangle {
    static void Present(Shell& sh);
};

// The hint steps of the ratio of the sides: how a ratio is written, the two sides, the ratio.
void RatioNotation(Shell& sh);
void SidesOfRectangle(Shell& sh);
void RatioOfSides(Shell& sh);
// The hint steps of the ratio value of the sides: the three lines above at once, what a ratio
// value is, and the ratio value worked out and reduced.
void RatioOfSidesAtOnce(Shell& sh);
void RatioValueRuleBelowSides(Shell& sh);
void RatioValueOfSides(Shell& sh);

// The ratio value of a ratio of two numbers: a whole number (shape 0) or a fraction (shape 1).
template <int Shape>
struct RatioValue {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};
// Their first hint step: what a ratio value is.
void RatioValueRule(Shell& sh);

// Proportions with x in a simple ratio: x:c=a:b (form 0) or a:b=x:c (form 1), solved by
// writing both ratios as their values ...
template <int Form>
struct ByRatioValues {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// ... or by the product of the outer terms and the product of the inner terms.
template <int Form>
struct ByProducts {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

// The first hint step of each method: the rule it works by.
void RatioValuePanel(Shell& sh);
void ProductPanel(Shell& sh);

// a:(px+q)=c:d, by the products of the terms.
struct BinomialProportion {
    static void Present(Shell& sh);
    static void HintStep2(Shell& sh);
    static void HintStep3(Shell& sh);
};

}  // namespace quillon
