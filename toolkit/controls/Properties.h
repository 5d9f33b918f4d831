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
std::string CaptionFromQString(const QString& caption);

#define TK_COLOR_PROPERTY(Name)                                               \
    QColor Name##Q() const { return ColorToQColor(Name()); }                  \
    void Set##Name##Q(const QColor& value) { Set##Name(ColorFromQColor(value)); }

#define TK_CAPTION_PROPERTY(Name)                                             \
    QString Name##Q() const { return CaptionToQString(Name()); }              \
    void Set##Name##Q(const QString& value) { Set##Name(CaptionFromQString(value)); }
