#include "halvard/entries.h"
#include "halvard/frame.h"
#include "halvard/halvard.h"

namespace halvard {

const shell::Program& HalvardProgram() {
    constexpr auto basic = FundamentalsPanel;
    constexpr auto decimal = FundamentalsPanelWithDecimalRule;
    // clang-format off
    static const shell::Program program{
        .title = U"Halvard",
        .problemCount = 13,
        .entries = {
            {1, U"ax+b=c", OneSide<0>::Present, basic, OneSide<0>::HintStep2, OneSide<0>::HintStep3},
            {2, U"ax-b=c", OneSide<1>::Present, basic, OneSide<1>::HintStep2, OneSide<1>::HintStep3},
            {3, U"ax=bx+c", BothSides<0>::Present, basic, BothSides<0>::HintStep2, BothSides<0>::HintStep3},
            {4, U"ax=-bx+c", BothSides<1>::Present, basic, BothSides<1>::HintStep2, BothSides<1>::HintStep3},
            {5, U"ax+b=cx-d", BothSides<2>::Present, basic, BothSides<2>::HintStep2, BothSides<2>::HintStep3},
            {6, U"ax+b=-cx+d", BothSides<3>::Present, basic, BothSides<3>::HintStep2, BothSides<3>::HintStep3},
            {7, U"m(px+q)=cx+d", BracketOnLeft::Present, basic, BracketOnLeft::HintStep2, BracketOnLeft::HintStep3},
            {8, U"ax-m(px+q)=d", BracketSubtracted::Present, basic, BracketSubtracted::HintStep2,
                BracketSubtracted::HintStep3},
            {9, U"0.ax+0.b=0.cx-0.d", Decimals<0>::Present, decimal, Decimals<0>::HintStep2, Decimals<0>::HintStep3},
            {10, U"0.ax+0.b=-0.cx+d", Decimals<1>::Present, decimal, Decimals<1>::HintStep2, Decimals<1>::HintStep3},
            {11, U"(1/p)x=(1/q)x-c", UnitFractions::Present, decimal, UnitFractions::HintStep2,
                UnitFractions::HintStep3},
            {12, U"(p/q)x+c=(r/s)x", FractionCoefficients::Present, decimal, FractionCoefficients::HintStep2,
                FractionCoefficients::HintStep3},
            {13, U"(ax+b)/m=(cx-d)/n", FractionsOfBinomials::Present, decimal, FractionsOfBinomials::HintStep2,
                FractionsOfBinomials::HintStep3},
        },
    };
    // clang-format on
    return program;
}

}  // namespace halvard
