#include "shell/numtext.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/text.h"

namespace {

using shell::Text;

std::string U8(const Text& t) { return rt::toUtf8(t); }

TEST(NumberText, SignBlankPointAndDigits) {
    struct Row {
        float value;
        const char* text;
    };
    const std::vector<Row> rows = {
        {0, " 0"},
        {7, " 7"},
        {-3, "-3"},
        {100, " 100"},
        {1234567, " 1234567"},
        {-40, "-40"},
        {2.5f, " 2.5"},
        {-12.3f, "-12.3"},
        {0.5f, " .5"},
        {-0.5f, "-.5"},
        {0.1f, " .1"},
        {-0.3f, "-.3"},
        {1.3f + 1.5f, " 2.8"},
        {0.7f * 3, " 2.1"},
        {1.0f / 3, " .3333333"},
        {2.0f / 3, " .6666667"},
        {0.05f, " .05"},
        {-0.0f, " 0"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(U8(shell::NumberText(r.value)), r.text) << "value " << r.value;
        const std::string num = r.text[0] == ' ' ? r.text + 1 : r.text;
        EXPECT_EQ(U8(shell::Num(r.value)), num) << "value " << r.value;
    }
}

TEST(TextUtilities, RemoveBlanksMarksAndPlus) {
    struct Row {
        Text (*strip)(const Text&);
        const char32_t* in;
        const char32_t* out;
    };
    const std::vector<Row> rows = {
        {shell::TrimBlanks, U"", U""},
        {shell::TrimBlanks, U"   ", U""},
        {shell::TrimBlanks, U" 3 x - 5", U"3x-5"},
        {shell::TrimBlanks, U"全　角 ", U"全　角"},
        {shell::StripCaret, U"x^2+^y", U"x2+y"},
        {shell::StripEndMarks, U"ﾝ2ﾝ/3ﾝﾝ", U"2/3"},
        {shell::StripMarkup, U"-ﾀ3/5ﾀ+ﾜa^2!7ﾝ", U"-3/5+a2!7"},
        {shell::StripMarkup, U"ﾃﾀﾝ", U"ﾃ"},
        {shell::StripPlus, U"+3x+-2", U"3x-2"},
        {shell::StripPlus, U"", U""},
    };
    for (const auto& r : rows) EXPECT_EQ(U8(r.strip(r.in)), U8(r.out)) << U8(r.in);
}

TEST(GcdLcm, EuclidOnWholeNumbers) {
    struct Row {
        float a, b, gcd, lcm;
    };
    const std::vector<Row> rows = {
        {12, 18, 6, 36}, {18, 12, 6, 36}, {7, 5, 1, 35}, {4, 4, 4, 4},
        {0, 6, 6, 0},    {6, 0, 6, 0},    {1, 9, 1, 9},  {0, 0, 0, 0},  // no 0/0
    };
    for (const auto& r : rows) {
        const auto g = shell::GcdLcm(r.a, r.b);
        EXPECT_EQ(g.gcd, r.gcd) << r.a << "," << r.b;
        EXPECT_EQ(g.lcm, r.lcm) << r.a << "," << r.b;
    }
}

TEST(QuotientTexts, KindsAndTexts) {
    struct Row {
        float n, d;
        int kind;
        float sign, m, q;
        const char32_t *answer, *signedAnswer, *chain, *signedChain, *answerPlain, *signedAnswerPlain;
    };
    const std::vector<Row> rows = {
        {4, 6, 2, 1, 2, 3, U"ﾀ2/3ﾀ", U"+ﾀ2/3ﾀ", U"ﾀ4/6ﾀ=ﾀ2/3ﾀ", U"+ﾀ4/6ﾀ=+ﾀ2/3ﾀ", U"2/3", U"+2/3"},
        {-6, 3, 1, -1, -2, 1, U"-2", U"-2", U"ﾀ-6/3ﾀ=-2", U"ﾀ-6/3ﾀ=-2", U"-2", U"-2"},
        {3, 5, 3, 1, 3, 5, U"ﾀ3/5ﾀ", U"+ﾀ3/5ﾀ", U"ﾀ3/5ﾀ", U"+ﾀ3/5ﾀ", U"3/5", U"+3/5"},
        {3, -5, 2, -1, -3, 5, U"-ﾀ3/5ﾀ", U"-ﾀ3/5ﾀ", U"ﾀ3/-5ﾀ=-ﾀ3/5ﾀ", U"ﾀ3/-5ﾀ=-ﾀ3/5ﾀ", U"-3/5", U"-3/5"},
        {-3, -5, 2, 1, 3, 5, U"ﾀ3/5ﾀ", U"+ﾀ3/5ﾀ", U"ﾀ-3/-5ﾀ=ﾀ3/5ﾀ", U"+ﾀ-3/-5ﾀ=+ﾀ3/5ﾀ", U"3/5", U"+3/5"},
        {0, 6, 1, 1, 0, 1, U"0", U"+0", U"ﾀ0/6ﾀ=0", U"+ﾀ0/6ﾀ=+0", U"0", U"+0"},
        // d = 1: no reduction, whatever n is.
        {8, 1, 1, 1, 8, 1, U"8", U"+8", U"ﾀ8/1ﾀ=8", U"+ﾀ8/1ﾀ=+8", U"8", U"+8"},
        {-8, 1, 1, -1, -8, 1, U"-8", U"-8", U"ﾀ-8/1ﾀ=-8", U"ﾀ-8/1ﾀ=-8", U"-8", U"-8"},
        // d = -1: the sign moves into the answer.
        {4, -1, 1, -1, -4, 1, U"-4", U"-4", U"ﾀ4/-1ﾀ=-4", U"ﾀ4/-1ﾀ=-4", U"-4", U"-4"},
        {-10, 4, 2, -1, -5, 2, U"-ﾀ5/2ﾀ", U"-ﾀ5/2ﾀ", U"ﾀ-10/4ﾀ=-ﾀ5/2ﾀ", U"ﾀ-10/4ﾀ=-ﾀ5/2ﾀ", U"-5/2", U"-5/2"},
    };
    for (const auto& r : rows) {
        const auto q = shell::QuotientTexts(r.n, r.d);
        const std::string at = std::to_string(r.n) + "/" + std::to_string(r.d);
        EXPECT_EQ(q.kind, r.kind) << at;
        EXPECT_EQ(q.sign, r.sign) << at;
        EXPECT_EQ(q.numerator, r.m) << at;
        EXPECT_EQ(q.denominator, r.q) << at;
        EXPECT_EQ(U8(q.given), "ﾀ" + U8(shell::Num(r.n)) + "/" + U8(shell::Num(r.d)) + "ﾀ") << at;
        EXPECT_EQ(U8(q.answer), U8(r.answer)) << at;
        EXPECT_EQ(U8(q.signedAnswer), U8(r.signedAnswer)) << at;
        EXPECT_EQ(U8(q.chain), U8(r.chain)) << at;
        EXPECT_EQ(U8(q.signedChain), U8(r.signedChain)) << at;
        EXPECT_EQ(U8(q.answerPlain), U8(r.answerPlain)) << at;
        EXPECT_EQ(U8(q.signedAnswerPlain), U8(r.signedAnswerPlain)) << at;
    }
    EXPECT_EQ(shell::QuotientTexts(4, 6).lcm, 12);
}

TEST(FractionSumTexts, CommonDenominatorAndTexts) {
    struct Row {
        float p, a, r, b;
        float c, P, R, S;
        const char32_t *first, *firstSigned, *second, *secondSigned, *sum, *sumSigned, *numerator1,
            *numerator2, *unworked;
    };
    const std::vector<Row> rows = {
        {1, 2, 1, 3, 6, 3, 2, 5, U"ﾀ3/6ﾀ", U"+ﾀ3/6ﾀ", U"ﾀ2/6ﾀ", U"+ﾀ2/6ﾀ", U"ﾀ5/6ﾀ", U"+ﾀ5/6ﾀ", U"3", U"+2",
         U"ﾀ3+2/6ﾀ"},
        {1, 4, 1, 6, 12, 3, 2, 5, U"ﾀ3/12ﾀ", U"+ﾀ3/12ﾀ", U"ﾀ2/12ﾀ", U"+ﾀ2/12ﾀ", U"ﾀ5/12ﾀ", U"+ﾀ5/12ﾀ", U"3",
         U"+2", U"ﾀ3+2/12ﾀ"},
        {3, 1, 4, 1, 1, 3, 4, 7, U"ﾀ3/1ﾀ", U"+ﾀ3/1ﾀ", U"ﾀ4/1ﾀ", U"+ﾀ4/1ﾀ", U"ﾀ7/1ﾀ", U"+ﾀ7/1ﾀ", U"3", U"+4",
         U"ﾀ3+4/1ﾀ"},
        {2, 1, 1, 3, 3, 6, 1, 7, U"ﾀ6/3ﾀ", U"+ﾀ6/3ﾀ", U"ﾀ1/3ﾀ", U"+ﾀ1/3ﾀ", U"ﾀ7/3ﾀ", U"+ﾀ7/3ﾀ", U"6", U"+1",
         U"ﾀ6+1/3ﾀ"},
        {1, 5, -2, 1, 5, 1, -10, -9, U"ﾀ1/5ﾀ", U"+ﾀ1/5ﾀ", U"-ﾀ10/5ﾀ", U"-ﾀ10/5ﾀ", U"-ﾀ9/5ﾀ", U"-ﾀ9/5ﾀ", U"1",
         U"-10", U"ﾀ1-10/5ﾀ"},
        // The sign of a negative denominator moves to the numerator.
        {1, -2, 1, 3, 6, -3, 2, -1, U"-ﾀ3/6ﾀ", U"-ﾀ3/6ﾀ", U"ﾀ2/6ﾀ", U"+ﾀ2/6ﾀ", U"-ﾀ1/6ﾀ", U"-ﾀ1/6ﾀ", U"-3",
         U"+2", U"ﾀ-3+2/6ﾀ"},
        // Negative over negative is positive.
        {-1, -2, 1, 2, 2, 1, 1, 2, U"ﾀ1/2ﾀ", U"+ﾀ1/2ﾀ", U"ﾀ1/2ﾀ", U"+ﾀ1/2ﾀ", U"ﾀ2/2ﾀ", U"+ﾀ2/2ﾀ", U"1", U"+1",
         U"ﾀ1+1/2ﾀ"},
        // A zero sum is written 0.
        {1, 2, -1, 2, 2, 1, -1, 0, U"ﾀ1/2ﾀ", U"+ﾀ1/2ﾀ", U"-ﾀ1/2ﾀ", U"-ﾀ1/2ﾀ", U"0", U"+0", U"1", U"-1",
         U"ﾀ1-1/2ﾀ"},
        {-3, 4, 9, 12, 12, -9, 9, 0, U"-ﾀ9/12ﾀ", U"-ﾀ9/12ﾀ", U"ﾀ9/12ﾀ", U"+ﾀ9/12ﾀ", U"0", U"+0", U"-9", U"+9",
         U"ﾀ-9+9/12ﾀ"},
    };
    for (const auto& r : rows) {
        const auto s = shell::FractionSumTexts(r.p, r.a, r.r, r.b);
        const std::string at = std::to_string(r.p) + "/" + std::to_string(r.a) + " + " + std::to_string(r.r) +
                               "/" + std::to_string(r.b);
        EXPECT_EQ(s.denominator, r.c) << at;
        EXPECT_EQ(s.numerator1, r.P) << at;
        EXPECT_EQ(s.numerator2, r.R) << at;
        EXPECT_EQ(s.numeratorSum, r.S) << at;
        EXPECT_EQ(U8(s.first), U8(r.first)) << at;
        EXPECT_EQ(U8(s.firstSigned), U8(r.firstSigned)) << at;
        EXPECT_EQ(U8(s.second), U8(r.second)) << at;
        EXPECT_EQ(U8(s.secondSigned), U8(r.secondSigned)) << at;
        EXPECT_EQ(U8(s.sum), U8(r.sum)) << at;
        EXPECT_EQ(U8(s.sumSigned), U8(r.sumSigned)) << at;
        EXPECT_EQ(U8(s.numerator1Text), U8(r.numerator1)) << at;
        EXPECT_EQ(U8(s.numerator2Text), U8(r.numerator2)) << at;
        EXPECT_EQ(U8(s.unworked), U8(r.unworked)) << at;
    }
    // With two denominators other than 1, the quotient of the denominators leaves its texts.
    const auto s = shell::FractionSumTexts(1, 4, 1, 6);
    EXPECT_EQ(U8(s.answerPlain), "2/3");
    EXPECT_EQ(U8(s.signedAnswerPlain), "+2/3");
    EXPECT_EQ(U8(s.signedChain), "+ﾀ4/6ﾀ=+ﾀ2/3ﾀ");
}

}  // namespace
