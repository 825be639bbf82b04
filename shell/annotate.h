// Annotation of figures: a dotted arc spanning a segment, and a short label placed beside a
// point, for marking the lengths of a figure's sides.
#pragma once

#include "shell/shell.h"

namespace shell {

// Which way PlaceLabelBySide puts a label from its point.
enum class LabelSide { Above = 1, Below = 2, Left = 3, Right = 4 };

// The angle of the ray from `from` to `to`, in radians counter-clockwise from the positive x
// direction as seen on screen (y grows downwards, so straight up is pi/2).
float RayAngle(Point from, Point to);

// A dotted half-ellipse from a to b, bulging 16 * bulge pixels off the segment: on the left of
// the direction from a to b as seen on screen when side <= 0, on the right when side > 0. One
// dot (a disc of radius 0.5 in `colour`) every `stepDegrees` of the ellipse's parameter, both
// ends included. A segment of no length, or a step that is not positive, draws nothing.
void DrawSpanArc(Shell& sh, Point a, Point b, int side, float stepDegrees, float bulge, int colour);

// Draws `label` with DrawText in the current colour beside the point `at`: centred above it,
// centred below it, ending 2 px left of it or starting 2 px right of it. `lift` moves it by
// half cells (8 px each): away from the point above and below it, upwards beside it.
void PlaceLabelBySide(Shell& sh, Point at, const Text& label, LabelSide side, float lift);

}  // namespace shell
