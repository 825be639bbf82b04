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
    q.DB1 = n * d < 0 ? -1.0f : 1.0f;
    const bool negative = q.DB1 < 0;
    if (d == 1) {
        q.RAB = n;
        q.DS = 1;
        q.DB = 1;
    } else {
        const GcdLcmResult g = GcdLcm(std::fabs(n), std::fabs(d));
        q.FF = g.FF;
        // Only 0/0 has no gcd; it then stays as given instead of becoming NaN.
        const float divisor = g.TKAI == 0 ? 1.0f : g.TKAI;
        q.RAB = q.DB1 * std::fabs(n) / divisor;
        q.DS = std::fabs(d) / divisor;
        if (q.RAB == 0 || q.DS == 1)
            q.DB = 1;
        else if (q.DS == d && !negative)
            q.DB = 3;
        else
            q.DB = 2;
    }

    const Text a = Num(std::fabs(q.RAB));
    const Text sign = negative ? U"-" : U"";
    q.YY = FractionText(Num(n), Num(d));
    switch (q.DB) {
        case 1:
            q.T = sign + a;
            break;
        case 2:
            q.T = sign + FractionText(a, Num(q.DS));
            break;
        default:
            q.T = FractionText(Num(n), Num(d));
            break;
    }
    if (q.DB == 3) {
        q.F = U"+" + q.T;
        q.U = q.T;
        q.DBS = q.F;
    } else {
        q.F = (negative ? U"" : U"+") + q.T;
        q.U = q.YY + U"=" + q.T;
        q.DBS = (negative ? U"" : U"+") + q.YY + U"=" + q.F;
    }
    q.DX = StripMarkup(q.T);
    q.third = StripMarkup(q.F);
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
        s.CC = 1;
        s.DD = p;
        s.X2 = r;
    } else if (a == 1) {
        s.CC = b;
        s.DD = p * b;
        s.X2 = r;
    } else if (b == 1) {
        s.CC = a;
        s.DD = p;
        s.X2 = r * a;
    } else {
        const Quotient q = QuotientTexts(a, b);
        const float gcd = GcdLcm(a, b).TKAI;
        const float g = gcd == 0 ? 1.0f : gcd;  // both denominators 0: no division by 0
        s.CC = q.FF;
        s.DD = p * b / g;
        s.X2 = r * a / g;
        s.DBS = q.DBS;
        s.DX = q.DX;
        s.third = q.third;
    }
    s.X4 = s.DD + s.X2;

    const Text c = Num(s.CC);
    const auto term = [&c](float expanded, bool negative) {
        return (negative ? U"-" : U"") + FractionText(Num(std::fabs(expanded)), c);
    };
    s.YY = term(s.DD, p < 0);
    s.BB = (p < 0 ? U"" : U"+") + s.YY;
    s.T = term(s.X2, r < 0);
    s.F = (r < 0 ? U"" : U"+") + s.T;
    s.V = s.X4 == 0 ? Text(U"0") : term(s.X4, s.X4 < 0);
    s.DBM2 = (s.X4 < 0 ? U"" : U"+") + s.V;
    s.DS1 = (p < 0 ? U"-" : U"") + Num(std::fabs(s.DD));
    s.DS2 = (r < 0 ? U"-" : U"+") + Num(std::fabs(s.X2));
    s.U = kFraction + s.DS1 + s.DS2 + U"/" + c + kFraction;
    return s;
}

}  // namespace shell
