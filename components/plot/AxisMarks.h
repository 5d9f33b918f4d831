// Round values for the marks of an axis: steps of 1, 2 or 5 times a power
// of ten, as a reader counts along a ruler.
#pragma once

#include <string>
#include <vector>

struct TRoundMarks {
    std::vector<double> Values;  // Ascending, distinct, all within the range.
    double Step = 0;             // Their spacing, 0 when there are none.
    int Decimals = 0;            // Decimals a label needs to tell two marks apart.
};

// The round values between A and B (either order, both included) whose step
// cuts the range into about Intervals parts (at least 1). A range that is
// empty or not finite has no marks; a range too wide for a double is taken
// by halves. The number of marks never exceeds 2 * Intervals + 2.
TRoundMarks RoundMarks(double A, double B, int Intervals);

// The label pattern of round marks: the thousands grouping of Format (a ","
// before its decimal point) and exactly Decimals decimals, at most
// RoundMarkDecimalsMax.
std::string RoundMarkFormat(const std::string& Format, int Decimals);
inline constexpr int RoundMarkDecimalsMax = 30;
