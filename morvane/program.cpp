#include "morvane/entries.h"
#include "morvane/frame.h"
#include "morvane/morvane.h"

namespace morvane {

const shell::Program& MorvaneProgram() {
    constexpr auto equality = PropertiesOfEqualityPanel;
    // clang-format off
    static const shell::Program program{
        .title = U"Morvane",
        .problemCount = 10,
        .entries = {
            {1, U"which of three equations has the solution 3", WhichEquation::Present, WhichEquation::HintStep1,
                WhichEquation::HintStep2, WhichEquation::HintStep3},
            {2, U"which of 1, 2, 3 solves ax+b=x+c", WhichValue::Present, WhichValue::HintStep1,
                WhichValue::HintStep2, WhichValue::HintStep3},
            {3, U"x-a=b", OneStep<0>::Present, equality, OneStep<0>::HintStep2, OneStep<0>::HintStep3},
            {4, U"x-a=b, decimals", OneStep<1>::Present, equality, OneStep<1>::HintStep2, OneStep<1>::HintStep3},
            {5, U"x+a=b", OneStep<2>::Present, equality, OneStep<2>::HintStep2, OneStep<2>::HintStep3},
            {6, U"x+p/q=r/q", OneStep<3>::Present, equality, OneStep<3>::HintStep2, OneStep<3>::HintStep3},
            {7, U"x/a=b", OneStep<4>::Present, equality, OneStep<4>::HintStep2, OneStep<4>::HintStep3},
            {8, U"-x/a=b", OneStep<5>::Present, equality, OneStep<5>::HintStep2, OneStep<5>::HintStep3},
            {9, U"ax=b", OneStep<6>::Present, equality, OneStep<6>::HintStep2, OneStep<6>::HintStep3},
            {10, U"-ax=b", OneStep<7>::Present, equality, OneStep<7>::HintStep2, OneStep<7>::HintStep3},
        },
    };
    // clang-format on
    return program;
}

}  // namespace morvane
