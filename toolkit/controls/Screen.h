// The screen: its size and resolution, and the table of cursors.
#pragma once

#include <QCursor>

#include <string>
#include <utility>
#include <vector>

// Cursor numbers: the stock shapes are negative, loaded ones positive.
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6;
constexpr TCursor crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18;
constexpr TCursor crHandPoint = -21, crSizeAll = -22;

class TScreen {
public:
    int Width() const;
    int Height() const;
    int PixelsPerInch() const;
    // Stock cursors by their (negative) numbers, loaded ones by theirs.
    QCursor Cursors(TCursor index) const;
    void SetCursor(TCursor index, const QCursor& cursor);

private:
    std::vector<std::pair<TCursor, QCursor>> loaded_;
};

extern TScreen* Screen;

// A cursor from the program's resources (":/cursors/NAME.png", hot spot in
// ":/cursors/NAME.hot" as "x y" when not the centre); crDefault's shape
// when there is none.
QCursor LoadCursorFromResource(const std::string& name);
