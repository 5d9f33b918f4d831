// The enumerations that controls publish as properties. They are registered
// with Qt, so a property of one of these types reads and writes by the
// classic names ("bvLowered", "alClient") in Designer, in .ui files and
// through QObject::setProperty; the names are also usable unqualified.
#pragma once

#include <QObject>

namespace Tk {
Q_NAMESPACE

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

}  // namespace Tk

using Tk::TAlign;
using Tk::TAlignment;
using Tk::TBevelCut;
using enum Tk::TAlign;
using enum Tk::TAlignment;
using enum Tk::TBevelCut;
