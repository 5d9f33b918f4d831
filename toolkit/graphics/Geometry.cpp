#include "toolkit/graphics/Geometry.h"

#include <ostream>

void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }

void PrintTo(const TPointF& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }

void PrintTo(const TRect& r, std::ostream* os)
{
    *os << "(" << r.Left << ", " << r.Top << ")-(" << r.Right << ", " << r.Bottom << ")";
}
