#include "toolkit/controls/Properties.h"
#include "toolkit/system/Encoding.h"

namespace {

// The system colours with a place in the classic table.
constexpr int SystemColorCount = 25;
constexpr int SystemAlphaTop = 254;
constexpr int DefaultAlpha = 1;
constexpr int NoneAlpha = 0;

bool IsTableSystemColor(TColor c)
{
    return c < 0 && (static_cast<std::uint32_t>(c) & 0x7FFFFF00u) == 0 && (c & 0xFF) < SystemColorCount;
}

}  // namespace

QColor ColorToQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    int alpha = 255;
    if (color == clNone)
        alpha = NoneAlpha;
    else if (color == clDefault)
        alpha = DefaultAlpha;
    else if (IsTableSystemColor(color))
        alpha = SystemAlphaTop - (color & 0xFF);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), alpha);
}

TColor ColorFromQColor(const QColor& color)
{
    if (!color.isValid())
        return clNone;
    const int alpha = color.alpha();
    if (alpha == NoneAlpha)
        return clNone;
    if (alpha == DefaultAlpha)
        return clDefault;
    if (alpha <= SystemAlphaTop && alpha > SystemAlphaTop - SystemColorCount)
        return SystemColor(SystemAlphaTop - alpha);
    return RGB(color.red(), color.green(), color.blue());
}

QString CaptionToQString(const std::string& caption)
{
    QString out;
    out.reserve(qsizetype(caption.size()));
    for (std::size_t i = 0; i < caption.size();) {
        char32_t cp;
        const std::size_t n = DecodeUtf8(caption, i, cp);
        if (n == 0) {
            cp = static_cast<unsigned char>(caption[i]);
            i += 1;
        } else {
            i += n;
        }
        const char32_t one[1] = {cp};
        out += QString::fromUcs4(one, 1);
    }
    return out;
}

std::string CaptionFromQString(const QString& caption) { return caption.toStdString(); }
