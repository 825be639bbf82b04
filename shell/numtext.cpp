#include "shell/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace shell {

namespace {

Text Without(Text s, char32_t mark) {
    std::erase(s, mark);
    return s;
}

Text Ascii(const std::string& s) { return Text(s.begin(), s.end()); }

// The value's digits without sign, rounded to 7 significant digits, with no trailing zeros
// after the point and no zero before it.
std::string Digits(float magnitude) {
    const double v = magnitude;
    int decimals = 0;
    if (v != 0 && v != std::floor(v)) {
        const int leading = static_cast<int>(std::floor(std::log10(v)));
        decimals = std::max(0, 6 - leading);
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s.size() > 1 && s[0] == '0' && s[1] == '.') s.erase(0, 1);
    return s;
}

// "ﾀ" a "/" b "ﾀ"
Text FractionText(const Text& a, const Text& b) { return kFraction + a + U"/" + b + kFraction; }

}  // namespace

Text NumberText(float v) {
    const std::string digits = Digits(std::fabs(v));
    // Rounding can bring a tiny negative value to 0, which has no sign.
    const bool negative = v < 0 && digits != "0";
    return (negative ? U"-" : U" ") + Ascii(digits);
}

Text Num(float v) { return TrimBlanks(NumberText(v)); }

Text TrimBlanks(const Text& s) { return Without(s, U' '); }
Text StripCaret(const Text& s) { return Without(s, kCaret); }
Text StripEndMarks(const Text& s) { return Without(s, kEndMark); }
Text StripMarkup(const Text& s) {
    return Without(Without(Without(Without(s, kCaret), kEndMark), kFraction), kFrame);
}
Text StripPlus(const Text& s) { return Without(s, U'+'); }

GcdLcmResult GcdLcm(float a, float b) {
    float u = a, v = b;
    while (v != 0) {
        const float r = u - v * std::floor(u / v);
        u = v;
        v = r;
    }
    // gcd(0, 0) is 0; the lcm is then 0 as well rather than 0/0.
    return {u, u == 0 ? 0.0f : a * b / u};
}

Quotient QuotientTexts(float n, float d) {
    Quotient q;
    q.sign = n * d < 0 ? -1.0f : 1.0f;
    const bool negative = q.sign < 0;
    if (d == 1) {
        q.numerator = n;
        q.denominator = 1;
        q.kind = 1;
    } else {
        const GcdLcmResult g = GcdLcm(std::fabs(n), std::fabs(d));
        q.lcm = g.lcm;
        // Only 0/0 has no gcd; it then stays as given instead of becoming NaN.
        const float divisor = g.gcd == 0 ? 1.0f : g.gcd;
        q.numerator = q.sign * std::fabs(n) / divisor;
        q.denominator = std::fabs(d) / divisor;
        if (q.numerator == 0 || q.denominator == 1)
            q.kind = 1;
        else if (q.denominator == d && !negative)
            q.kind = 3;
        else
            q.kind = 2;
    }

    const Text a = Num(std::fabs(q.numerator));
    const Text sign = negative ? U"-" : U"";
    q.given = FractionText(Num(n), Num(d));
    switch (q.kind) {
        case 1:
            q.answer = sign + a;
            break;
        case 2:
            q.answer = sign + FractionText(a, Num(q.denominator));
            break;
        default:
            q.answer = FractionText(Num(n), Num(d));
            break;
    }
    if (q.kind == 3) {
        q.signedAnswer = U"+" + q.answer;
        q.chain = q.answer;
        q.signedChain = q.signedAnswer;
    } else {
        q.signedAnswer = (negative ? U"" : U"+") + q.answer;
        q.chain = q.given + U"=" + q.answer;
        q.signedChain = (negative ? U"" : U"+") + q.given + U"=" + q.signedAnswer;
    }
    q.answerPlain = StripMarkup(q.answer);
    q.signedAnswerPlain = StripMarkup(q.signedAnswer);
    return q;
}

FractionSum FractionSumTexts(float p, float a, float r, float b) {
    // The sign of each fraction goes to its numerator, so both denominators are positive
    // (a fraction negative over negative is positive).
    const auto normalise = [](float& num, float& den) {
        num = num * den < 0 ? -std::fabs(num) : std::fabs(num);
        den = std::fabs(den);
    };
    normalise(p, a);
    normalise(r, b);

    FractionSum s;
    if (a == 1 && b == 1) {
        s.denominator = 1;
        s.numerator1 = p;
        s.numerator2 = r;
    } else if (a == 1) {
        s.denominator = b;
        s.numerator1 = p * b;
        s.numerator2 = r;
    } else if (b == 1) {
        s.denominator = a;
        s.numerator1 = p;
        s.numerator2 = r * a;
    } else {
        const Quotient q = QuotientTexts(a, b);
        const float gcd = GcdLcm(a, b).gcd;
        const float g = gcd == 0 ? 1.0f : gcd;  // both denominators 0: no division by 0
        s.denominator = q.lcm;
        s.numerator1 = p * b / g;
        s.numerator2 = r * a / g;
        s.signedChain = q.signedChain;
        s.answerPlain = q.answerPlain;
        s.signedAnswerPlain = q.signedAnswerPlain;
    }
    s.numeratorSum = s.numerator1 + s.numerator2;

    const Text c = Num(s.denominator);
    const auto term = [&c](float expanded, bool negative) {
        return (negative ? U"-" : U"") + FractionText(Num(std::fabs(expanded)), c);
    };
    s.first = term(s.numerator1, p < 0);
    s.firstSigned = (p < 0 ? U"" : U"+") + s.first;
    s.second = term(s.numerator2, r < 0);
    s.secondSigned = (r < 0 ? U"" : U"+") + s.second;
    s.sum = s.numeratorSum == 0 ? Text(U"0") : term(s.numeratorSum, s.numeratorSum < 0);
    s.sumSigned = (s.numeratorSum < 0 ? U"" : U"+") + s.sum;
    s.numerator1Text = (p < 0 ? U"-" : U"") + Num(std::fabs(s.numerator1));
    s.numerator2Text = (r < 0 ? U"-" : U"+") + Num(std::fabs(s.numerator2));
    s.unworked = kFraction + s.numerator1Text + s.numerator2Text + U"/" + c + kFraction;
    return s;
}

}  // namespace shell
