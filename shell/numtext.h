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
    float TKAI;  // greatest common divisor
    float FF;    // least common multiple
};
GcdLcmResult GcdLcm(float a, float b);

// n/d in lowest terms with its texts. d must not be 0.
struct Quotient {
    float DB1 = 1;  // sign
    int DB = 1;     // kind: 1 whole, 2 reduced or negative fraction, 3 positive fraction as given
    float RAB = 0;  // reduced numerator (also X)
    float DS = 1;   // reduced denominator (also CC)
    float FF = 0;   // lcm left by GcdLcm
    Text YY;        // the fraction as given
    Text T;         // answer text
    Text F;         // signed answer text
    Text U;         // chain text
    Text DBS;       // signed chain text (DB$)
    Text DX;        // answer text without markup
    Text third;     // signed answer text without markup
};
Quotient QuotientTexts(float n, float d);

// p/a + r/b over a common denominator, with its texts.
struct FractionSum {
    float CC = 1;   // common denominator
    float DD = 0;   // expanded first numerator
    float X2 = 0;   // expanded second numerator
    float X4 = 0;   // sum of the numerators
    Text YY, BB;    // first term, signed
    Text T, F;      // second term, signed
    Text V, DBM2;   // sum, signed
    Text DS1, DS2;  // numerator texts
    Text U;         // one fraction whose numerator shows the sum unworked
    // Left over from the QuotientTexts run that finds the gcd (when both denominators are not 1).
    Text DBS, DX, third;
};
FractionSum FractionSumTexts(float p, float a, float r, float b);

}  // namespace shell
