// The colours of a colour scale: a value range laid on 511 steps (0..510)
// of a two-colour gradient or of a fixed blue-green-red palette. Plain
// value type, so data can be coloured without a widget.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstddef>

enum TEscalaGraduation { egTwo, egThree };

struct TEscalaColors {
    double Minimum = 0;
    double Maximum = 100;
    // Above 0, values are first lowered to a whole multiple of it.
    double Interval = 0;
    TEscalaGraduation Graduation = egTwo;
    // The colours of Maximum and of Minimum with egTwo; their three low
    // bytes are taken as they stand (system colours are not resolved).
    TColor GradColor1 = clWhite;
    TColor GradColor2 = clBlack;

    // The value's step: the value clamped to the range (not-a-number counts
    // as Minimum), lowered to the interval, then placed on 0..510 and
    // rounded, halves away from zero. May lie outside 0..510 when the
    // interval lowers a value below Minimum or the range is empty.
    int Step(double Value) const;
    // The colour of a step; steps beyond 0..510 take the colour of the end.
    TColor StepColor(int K) const;
    TColor ValueToColor(double Value) const { return StepColor(Step(Value)); }

    // Colours Count values at once, each exactly as ValueToColor does.
    void ValuesToColors(const double* Values, TColor* Colors, std::size_t Count) const;
};
