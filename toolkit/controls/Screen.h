// The screen: its size and resolution, and the table of cursors.
#pragma once

#include <QCursor>

#include <string>
#include <utility>
#include <vector>

// Cursor numbers: the stock shapes are negative, loaded ones positive.
using TCursor = int;
constexpr TCursor crDefault = 0;       // The control's usual pointer.
constexpr TCursor crNone = -1;         // No pointer.
constexpr TCursor crArrow = -2;        // The arrow.
constexpr TCursor crCross = -3;        // A cross-hair.
constexpr TCursor crIBeam = -4;        // The text cursor.
constexpr TCursor crSizeNESW = -6;     // Sizing from bottom left to top right.
constexpr TCursor crSizeNS = -7;       // Sizing up and down.
constexpr TCursor crSizeNWSE = -8;     // Sizing from top left to bottom right.
constexpr TCursor crSizeWE = -9;       // Sizing left and right.
constexpr TCursor crUpArrow = -10;     // An arrow pointing up.
constexpr TCursor crHourGlass = -11;   // Busy.
constexpr TCursor crNo = -18;          // Not allowed.
constexpr TCursor crHandPoint = -21;   // The pointing hand of a link.
constexpr TCursor crSizeAll = -22;     // Moving in any direction.

// The screen the program shows on, and the cursors it uses.
class TScreen {
public:
    int Width() const;          // Of the primary screen, in pixels.
    int Height() const;         // Of the primary screen, in pixels.
    int PixelsPerInch() const;  // The primary screen's logical resolution.
    // Stock cursors by their (negative) numbers, loaded ones by theirs.
    QCursor Cursors(TCursor index) const;
    void SetCursor(TCursor index, const QCursor& cursor);  // Loads a cursor under a positive number.

private:
    std::vector<std::pair<TCursor, QCursor>> loaded_;
};

// The one screen object, there from the start.
extern TScreen* Screen;

// A cursor from the program's resources (":/cursors/NAME.png", hot spot in
// ":/cursors/NAME.hot" as "x y" when not the centre); crDefault's shape
// when there is none.
QCursor LoadCursorFromResource(const std::string& name);
