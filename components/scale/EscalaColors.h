// The colours of a colour scale: a value range laid on 511 steps (0..510)
// of a two-colour gradient or of a fixed blue-green-red palette. Plain
// value type, so data can be coloured without a widget.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <QObject>

#include <cstddef>

// The scale's enumerations, registered with Qt so that its properties read
// and write by these names; usable unqualified. Their underlying type is
// fixed (int), so that any number is a value of the type.
namespace Escala {
Q_NAMESPACE

// Gradient between the two gradient colours, or the fixed blue-green-red
// palette.
enum TEscalaGraduation : int { egTwo, egThree };
Q_ENUM_NS(TEscalaGraduation)

// Placement in the parent: free; docked to the bottom; centred; centred
// horizontally; docked left; docked right; docked to the top; centred
// vertically.
enum TEscalaAlignment : int { eaNone, eaBottom, eaCentered, eaHCentered, eaLeft, eaRight, eaTop, eaVCentered };
Q_ENUM_NS(TEscalaAlignment)

// The band runs left to right (values grow to the right) or bottom to top.
enum TEscalaOrientation : int { eoHorizontal, eoVertical };
Q_ENUM_NS(TEscalaOrientation)

// Band first and labels after it (below or to the right), or the reverse.
enum TEscalaPosition : int { epNormal, epInverse };
Q_ENUM_NS(TEscalaPosition)

}  // namespace Escala

using Escala::TEscalaAlignment;
using Escala::TEscalaGraduation;
using Escala::TEscalaOrientation;
using Escala::TEscalaPosition;
using enum Escala::TEscalaAlignment;
using enum Escala::TEscalaGraduation;
using enum Escala::TEscalaOrientation;
using enum Escala::TEscalaPosition;

struct TEscalaColors {
    double Minimum = 0;    // The value of step 0.
    double Maximum = 100;  // The value of step 510.
    // Above 0, values are first lowered to a whole multiple of it.
    double Interval = 0;
    TEscalaGraduation Graduation = egTwo;  // Two-colour gradient or fixed palette.
    // The colours of Maximum and of Minimum with egTwo; their three low
    // bytes are taken as they stand (system colours are not resolved).
    TColor GradColor1 = clWhite;
    TColor GradColor2 = clBlack;  // See GradColor1.

    // The value's step: the value clamped to the range (not-a-number counts
    // as Minimum), lowered to the interval, then placed on 0..510 and
    // rounded, halves away from zero. May lie outside 0..510 when the
    // interval lowers a value below Minimum or the range is empty.
    int Step(double Value) const;
    // The colour of a step; steps beyond 0..510 take the colour of the end.
    TColor StepColor(int K) const;
    // The colour of the value's step.
    TColor ValueToColor(double Value) const { return StepColor(Step(Value)); }

    // Colours Count values at once, each exactly as ValueToColor does.
    void ValuesToColors(const double* Values, TColor* Colors, std::size_t Count) const;
};
