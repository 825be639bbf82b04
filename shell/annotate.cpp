#include "shell/annotate.h"

#include <cmath>

#include "shell/mathtext.h"

namespace shell {

namespace {

// Pi to five decimals places every dot of an arc; a more exact value would move some of them
// by a pixel.
constexpr float kPi = 3.14159f;
constexpr float kCell = 16;

}  // namespace

float RayAngle(Point from, Point to) {
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    if (dy < 0) return kPi / 2 + std::atan(dx / dy);
    if (dy > 0) return 3 * kPi / 2 + std::atan(dx / dy);
    return dx > 0 ? 0 : kPi;
}

// The half-ellipse is laid out on the positive x side of a, with its ends on a and on the
// point as far right of a as b is from a, and then turned about a by the angle of b.
void DrawSpanArc(Shell& sh, Point a, Point b, int side, float stepDegrees, float bulge, int colour) {
    const float h = std::hypot(b.x - a.x, b.y - a.y) / 2;
    if (h == 0 || !(stepDegrees > 0)) return;
    const float ry = kCell * bulge;
    const float base = RayAngle(a, b);
    const float from = side <= 0 ? 0 : 180;
    const float to = from + 180;
    // Counting the steps keeps the last end included whatever the rounding of the sum.
    for (int k = 0;; ++k) {
        const float theta = from + stepDegrees * static_cast<float>(k);
        if (theta > to) break;
        const float t = theta * kPi / 180;
        const Point e{a.x + h + h * std::cos(t), a.y - ry * std::sin(t)};
        const float d = std::hypot(e.x - a.x, e.y - a.y);
        const float angle = base + RayAngle(a, e);
        sh.scr.drawCircle(a.x + d * std::cos(angle), a.y - d * std::sin(angle), 0.5f, colour, true);
    }
}

void PlaceLabelBySide(Shell& sh, Point at, const Text& label, LabelSide side, float lift) {
    const float n = static_cast<float>(label.size());
    Point p{};
    switch (side) {
        case LabelSide::Above:
            p = {at.x - 8 * n, at.y - 12 - 8 * lift};
            break;
        case LabelSide::Below:
            p = {at.x - 8 * n, at.y - 4 + 8 * lift};
            break;
        case LabelSide::Left:
            p = {at.x - kCell * n - 2, at.y - 8 * lift};
            break;
        case LabelSide::Right:
            p = {at.x + 2, at.y - 8 * lift};
            break;
    }
    DrawText(sh, p.x, p.y, sh.colour, label);
}

}  // namespace shell
