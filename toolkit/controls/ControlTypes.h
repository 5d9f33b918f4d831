// The types the controls share: their events, and the enumerations they
// publish as properties. Those are registered with Qt, so a property of one
// of these types reads and writes by the classic names ("bvLowered",
// "alClient") in Designer, in .ui files and through QObject::setProperty;
// the names are also usable unqualified. Each has int as its fixed
// underlying type.
#pragma once

#include <QMetaEnum>
#include <QObject>

#include <functional>

namespace Tk {
Q_NAMESPACE

// The edge of its parent a control keeps to: none, top, bottom, left,
// right, or the whole room the others leave.
enum TAlign : int { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

// The look of a bevel: none, sunk, raised, or blank space of its width.
enum TBevelCut : int { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

// Horizontal placement of text: left, right or centred.
enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

}  // namespace Tk

using Tk::TAlign;
using Tk::TAlignment;
using Tk::TBevelCut;
using enum Tk::TAlign;
using enum Tk::TAlignment;
using enum Tk::TBevelCut;

using TObject = QObject;  // The sender of every event.

// Whether value is one of its enumeration's names. The enumerations above
// (and the components' own) have a fixed underlying type, so any number a
// form or QObject::setProperty brings is a value of the type; the setters
// keep their old value for one that names nothing.
template <class E>
bool NamedValue(E value)
{
    return QMetaEnum::fromType<E>().valueToKey(static_cast<int>(value)) != nullptr;
}

// The first step of a property setter: stores value and tells whether it
// changed, so the setter lays out or repaints only then.
template <class T>
bool ChangeField(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// The mouse button of a press or release.
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// The bits of a TShiftState: keys and buttons held, and ssDouble for the
// press of a double click.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;  // TShiftFlag bits, or-ed together.

// A handler of an event that brings nothing but its Sender; empty: none.
using TNotifyEvent = std::function<void(TObject* Sender)>;
// A handler of a button press or release at pixel (X, Y) of Sender.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
// A handler of the pointer moving to pixel (X, Y) of Sender.
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
