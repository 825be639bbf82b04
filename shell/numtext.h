// Number texts, quotients in lowest terms, sums of fractions and the text utilities that
// strip marks, blanks and plus signs. Pure functions: no screen, no shell state.
#pragma once

#include "runtime/text.h"

namespace shell {

using rt::Text;

// The marks of the text markup, each one character.
constexpr char32_t kFraction = U'ﾀ';  // encloses numerator "/" denominator
constexpr char32_t kEndMark = U'ﾝ';   // closes a root or a fraction part
constexpr char32_t kCaret = U'^';     // the next character as typed
constexpr char32_t kFrame = U'ﾜ';     // the next character in a small frame
constexpr char32_t kRoot = U'!';
constexpr char32_t kTallRoot = U'#';  // a tall root over a fraction

// The number-to-text conversion: "-" before a negative value, a blank before any other;
// no decimal point on a whole value, no zero before the point between -1 and 1 (.5, -.5);
// at most 7 significant digits, so single-precision noise never shows (2.8, not 2.8000002).
Text NumberText(float v);
// NumberText without its blank: the "[v]" of the worked texts.
Text Num(float v);

Text TrimBlanks(const Text& s);     // removes every half-width blank
Text StripCaret(const Text& s);     // removes every "^"
Text StripEndMarks(const Text& s);  // removes every "ﾝ"
Text StripMarkup(const Text& s);    // removes "^", "ﾝ", "ﾀ" and "ﾜ"
Text StripPlus(const Text& s);      // removes every "+"

struct GcdLcmResult {
    float gcd;
    float lcm;
};
GcdLcmResult GcdLcm(float a, float b);

// n/d in lowest terms with its texts. d must not be 0.
struct Quotient {
    float sign = 1;         // of n/d: 1 or -1
    int kind = 1;           // 1 whole, 2 reduced or negative fraction, 3 positive fraction as given
    float numerator = 0;    // reduced, signed
    float denominator = 1;  // reduced, positive
    float lcm = 0;          // of |n| and |d|
    Text given;             // the fraction as given
    Text answer;            // the answer text
    Text signedAnswer;      // the answer text with its sign
    Text chain;             // given "=" answer (the answer alone for kind 3)
    Text signedChain;       // the chain with signs
    Text answerPlain;       // the answer text without markup
    Text signedAnswerPlain; // the signed answer text without markup
};
Quotient QuotientTexts(float n, float d);

// p/a + r/b over a common denominator, with its texts.
struct FractionSum {
    float denominator = 1;   // the common denominator
    float numerator1 = 0;    // p expanded to it
    float numerator2 = 0;    // r expanded to it
    float numeratorSum = 0;
    Text first, firstSigned;    // p/a over the common denominator
    Text second, secondSigned;  // r/b over the common denominator
    Text sum, sumSigned;
    Text numerator1Text, numerator2Text;  // the second with its sign always
    Text unworked;  // one fraction whose numerator shows the sum unworked
    // Left over from the QuotientTexts run that finds the gcd (when both denominators are not 1).
    Text signedChain, answerPlain, signedAnswerPlain;
};
FractionSum FractionSumTexts(float p, float a, float r, float b);

}  // namespace shell
