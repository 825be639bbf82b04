// Exact arithmetic for checking answers independently of the shell: rationals, and a parser and
// solver for the linear equations the entries draw as marked-up text.
#pragma once

#include <cstdint>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/text.h"

namespace exact {

using rt::Text;

struct Rational {
    std::int64_t n = 0, d = 1;

    Rational(std::int64_t num = 0, std::int64_t den = 1) : n(num), d(den) {
        if (d == 0) throw std::domain_error("zero denominator");
        if (d < 0) n = -n, d = -d;
        const std::int64_t g = std::gcd(n < 0 ? -n : n, d);
        if (g > 1) n /= g, d /= g;
    }
    friend Rational operator+(Rational a, Rational b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
    friend Rational operator-(Rational a, Rational b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
    friend Rational operator*(Rational a, Rational b) { return {a.n * b.n, a.d * b.d}; }
    friend Rational operator/(Rational a, Rational b) { return {a.n * b.d, a.d * b.n}; }
    friend bool operator==(Rational a, Rational b) { return a.n == b.n && a.d == b.d; }
    bool zero() const { return n == 0; }

    // As a pupil types it after "x=": 7, -3/7, 0.
    std::string answerText() const {
        std::string s = std::to_string(n);
        if (d != 1) s += "/" + std::to_string(d);
        return s;
    }
};

// c1 x + c0.
struct Linear {
    Rational c1, c0;
    friend Linear operator+(Linear a, Linear b) { return {a.c1 + b.c1, a.c0 + b.c0}; }
    friend Linear operator-(Linear a, Linear b) { return {a.c1 - b.c1, a.c0 - b.c0}; }
};

// Parses the marked-up texts of the equations: 3x+5, 0.5x-0.6, ﾀ1/3ﾀx, ﾀ2x+3/5ﾀ, 3(2x+1),
// 6*(-2), ﾀ-12/-1ﾀ. Throws std::invalid_argument on anything else.
class ExpressionParser {
public:
    explicit ExpressionParser(const Text& text) : s_(text) {}

    std::vector<Linear> sides() {
        std::vector<Linear> out{expression()};
        while (peek() == U'=') {
            ++i_;
            out.push_back(expression());
        }
        if (i_ != s_.size()) fail("unexpected character");
        return out;
    }

private:
    char32_t peek() const { return i_ < s_.size() ? s_[i_] : 0; }
    [[noreturn]] void fail(const char* why) const {
        throw std::invalid_argument(std::string(why) + " at " + std::to_string(i_) + " in " + rt::toUtf8(s_));
    }
    // Inside a fraction "ﾀ" closes it; elsewhere it opens one (fractions never nest).
    bool opensFactor(char32_t c) const {
        return (c >= U'0' && c <= U'9') || c == U'.' || c == U'x' || c == U'(' || (c == U'ﾀ' && !inFraction_);
    }

    Linear expression() {
        Linear sum{};
        bool first = true;
        for (;;) {
            const char32_t c = peek();
            int sign = 1;
            if (c == U'+' || c == U'-') {
                sign = c == U'-' ? -1 : 1;
                ++i_;
            } else if (!first) {
                return sum;
            }
            Linear t = term();
            if (sign < 0) t = Linear{} - t;
            sum = sum + t;
            first = false;
        }
    }

    Linear term() {
        Linear product = factor();
        for (;;) {
            if (peek() == U'*')
                ++i_;
            else if (!opensFactor(peek()))
                return product;
            product = multiply(product, factor());
        }
    }

    Linear multiply(const Linear& a, const Linear& b) const {
        if (!a.c1.zero() && !b.c1.zero()) fail("x times x");
        return {a.c1 * b.c0 + b.c1 * a.c0, a.c0 * b.c0};
    }

    Linear factor() {
        const char32_t c = peek();
        if (c == U'x') {
            ++i_;
            return {1, 0};
        }
        if (c == U'(') {
            ++i_;
            Linear inner = expression();
            if (peek() != U')') fail("missing )");
            ++i_;
            return inner;
        }
        if (c == U'ﾀ') {
            ++i_;
            inFraction_ = true;
            Linear num = expression();
            if (peek() != U'/') fail("missing / in fraction");
            ++i_;
            Linear den = expression();
            if (peek() != U'ﾀ') fail("unclosed fraction");
            ++i_;
            inFraction_ = false;
            if (!den.c1.zero() || den.c0.zero()) fail("bad denominator");
            return {num.c1 / den.c0, num.c0 / den.c0};
        }
        return {0, number()};
    }

    Rational number() {
        std::int64_t whole = 0, frac = 0, scale = 1;
        bool digits = false;
        while (peek() >= U'0' && peek() <= U'9') whole = whole * 10 + (s_[i_++] - U'0'), digits = true;
        if (peek() == U'.') {
            ++i_;
            while (peek() >= U'0' && peek() <= U'9')
                frac = frac * 10 + (s_[i_++] - U'0'), scale *= 10, digits = true;
        }
        if (!digits) fail("number expected");
        return Rational(whole * scale + frac, scale);
    }

    Text s_;
    size_t i_ = 0;
    bool inFraction_ = false;
};

inline std::vector<Linear> Sides(const std::string& utf8) {
    return ExpressionParser(rt::fromUtf8(utf8)).sides();
}

// The solution of a two-sided linear equation; nothing when x cancels.
inline std::optional<Rational> Solve(const std::string& equation) {
    const auto sides = Sides(equation);
    if (sides.size() != 2) throw std::invalid_argument("not one equation: " + equation);
    const Linear d = sides[0] - sides[1];
    if (d.c1.zero()) return std::nullopt;
    return Rational(0) - d.c0 / d.c1;
}

}  // namespace exact
