#include "quillon/entries.h"
#include "quillon/quillon.h"

namespace quillon {

const shell::Program& QuillonProgram() {
    // clang-format off
    static const shell::Program program{
        .title = U"Quillon",
        .problemCount = 9,
        .entries = {
            {1, U"ratio of a rectangle's sides, a:b", Rectangle<0>::Present, RatioNotation, SidesOfRectangle,
                RatioOfSides},
            {2, U"ratio value of a rectangle's sides, a/b", Rectangle<1>::Present, RatioOfSidesAtOnce,
                RatioValueRuleBelowSides, RatioValueOfSides},
            {3, U"ratio value of ab:b, whole", RatioValue<0>::Present, RatioValueRule, RatioValue<0>::HintStep2,
                RatioValue<0>::HintStep3},
            {4, U"ratio value of pr:qr, a fraction", RatioValue<1>::Present, RatioValueRule,
                RatioValue<1>::HintStep2, RatioValue<1>::HintStep3},
            {5, U"x:c=a:b by ratio values", ByRatioValues<0>::Present, RatioValuePanel, ByRatioValues<0>::HintStep2,
                ByRatioValues<0>::HintStep3},
            {6, U"a:b=x:c by ratio values", ByRatioValues<1>::Present, RatioValuePanel, ByRatioValues<1>::HintStep2,
                ByRatioValues<1>::HintStep3},
            {7, U"x:c=a:b by products of terms", ByProducts<0>::Present, ProductPanel, ByProducts<0>::HintStep2,
                ByProducts<0>::HintStep3},
            {8, U"a:b=x:c by products of terms", ByProducts<1>::Present, ProductPanel, ByProducts<1>::HintStep2,
                ByProducts<1>::HintStep3},
            {9, U"a:(px+q)=c:d", BinomialProportion::Present, ProductPanel, BinomialProportion::HintStep2,
                BinomialProportion::HintStep3},
        },
    };
    // clang-format on
    return program;
}

}  // namespace quillon
