// Publishing a component's toolkit values as Qt properties, so they show in
// Designer, are kept in .ui files and can be set with QObject::setProperty.
//
// A TColor is published as a QColor, a caption (UTF-8 std::string) as a
// QString. In the class, after its getter Name() and setter SetName:
//
//     Q_PROPERTY(QColor Color READ ColorQ WRITE SetColorQ)          // clBtnFace
//     Q_PROPERTY(QString Caption READ CaptionQ WRITE SetCaptionQ)   // ""
//     ...
//     TK_COLOR_PROPERTY(Color)
//     TK_CAPTION_PROPERTY(Caption)
//
// The adapters go through the setter, so a change through Qt compares,
// stores and repaints as any other. Enumerations come from ControlTypes.h
// and are published as they are.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string>

// A plain colour 0x00BBGGRR is the opaque QColor of the same red, green and
// blue. The others keep what they are in the alpha channel, with the colour
// they resolve to as red, green and blue so they show right: system colour
// n (0..24) has alpha 254 - n, clDefault alpha 1 and clNone alpha 0. So
// every colour a component uses comes back unchanged, also after a .ui
// file has kept it in 8-bit channels.
QColor ColorToQColor(TColor color);
// The inverse; any other alpha is taken as a plain colour (an invalid
// QColor as clNone).
TColor ColorFromQColor(const QColor& color);

// The text as the canvas draws it: UTF-8, where a byte that starts no
// well-formed sequence stands for the character of the same number.
QString CaptionToQString(const std::string& caption);
std::string CaptionFromQString(const QString& caption);  // The inverse of CaptionToQString.

// NameQ and SetNameQ, the QColor adapters of a TColor property Name.
#define TK_COLOR_PROPERTY(Name)                                               \
    QColor Name##Q() const { return ColorToQColor(Name()); }                  \
    void Set##Name##Q(const QColor& value) { Set##Name(ColorFromQColor(value)); }

// NameQ and SetNameQ, the QString adapters of a text property Name.
#define TK_CAPTION_PROPERTY(Name)                                             \
    QString Name##Q() const { return CaptionToQString(Name()); }              \
    void Set##Name##Q(const QString& value) { Set##Name(CaptionFromQString(value)); }

// A font as Designer edits it: face, size in points and the four styles.
// The size is exact for a font given by its character height (a negative
// Height, as SetSize makes), also through a .ui file when the size is a
// whole number of points. Colour, character set and escapement are not
// part of a QFont: FontFromQFont keeps those of Base.
QFont FontToQFont(const TFont& font);
TFont FontFromQFont(const QFont& font, TFont Base);  // The inverse of FontToQFont.

// Needs Name() returning the TFont and SetName(const TFont&).
#define TK_FONT_PROPERTY(Name)                                                \
    QFont Name##Q() const { return FontToQFont(Name()); }                     \
    void Set##Name##Q(const QFont& value) { Set##Name(FontFromQFont(value, Name())); }
