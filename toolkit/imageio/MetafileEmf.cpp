// Enhanced metafiles (the 32-bit format): the records and how they are
// played.

#include "toolkit/imageio/MetafilePlayer.h"

#include <algorithm>
#include <cmath>

namespace imageio::metafile_detail {

namespace {

constexpr std::uint32_t EmfSignature = 0x464D4520;  // " EMF"

LogFont ReadEmfFont(const Record& r, std::size_t o)
{
    LogFont f;
    f.Height = r.I32(o);
    f.Escapement = r.I32(o + 8);
    f.Weight = r.I32(o + 16);
    const std::uint8_t* b = r.At(o + 20, 4);
    f.Italic = b[0] != 0;
    f.Underline = b[1] != 0;
    f.StrikeOut = b[2] != 0;
    f.Charset = b[3];
    f.Face = FromUtf16(r.At(o + 28, 64), 32, true);
    return f;
}

std::vector<TPointF> ReadEmfPoints(const Record& r, std::size_t o, std::size_t count, bool small)
{
    std::size_t each = small ? 4 : 8;
    if (count > r.Size() / each)
        throw ShortRecord{};
    r.At(o, count * each);
    std::vector<TPointF> pts(count);
    for (std::size_t i = 0; i < count; ++i)
        pts[i] = small ? TPointF{double(r.I16(o + 4 * i)), double(r.I16(o + 4 * i + 2))}
                       : TPointF{double(r.I32(o + 8 * i)), double(r.I32(o + 8 * i + 4))};
    return pts;
}

TAffine ReadXform(const Record& r, std::size_t o)
{
    return {r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16), r.F32(o + 20)};
}

// Draws a DIB carried by a record at the given offsets.
void EmfBitmap(Player& pl, const Record& r, std::size_t offBmi, std::size_t cbBmi, std::size_t offBits,
               std::size_t cbBits, std::uint32_t usage, double sx, double sy, double sw, double sh, double dx, double dy,
               double dw, double dh, std::uint32_t rop)
{
    if (cbBmi == 0) {
        pl.PatternBlt(dx, dy, dw, dh, rop);
        return;
    }
    if (usage != 0)
        return;  // colours given as palette indices
    Bytes header = r.Span(offBmi, cbBmi);
    Bytes bits = r.Span(offBits, cbBits);
    TBitmap picture;
    if (!DecodeDib(header, bits, picture, pl.DibLimits()))
        return;
    TRect src = SourceRect(header, picture, static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy),
                           static_cast<std::int64_t>(sw), static_cast<std::int64_t>(sh));
    pl.DrawBitmap(picture, src, dx, dy, dw, dh, rop);
}

void PlayEmfRecord(Player& pl, std::uint32_t type, const Record& r)
{
    auto i32 = [&](std::size_t o) { return double(r.I32(o)); };
    switch (type) {
    case 2:  // poly Bézier, polygon, polyline, Bézier to, polyline to
    case 3:
    case 4:
    case 5:
    case 6:
    case 85:
    case 86:
    case 87:
    case 88:
    case 89: {
        bool small = type >= 85;
        unsigned kind = small ? type - 83 : type;
        std::vector<TPointF> pts = ReadEmfPoints(r, 28, r.U32(24), small);
        if (kind == 2 || kind == 5) {
            std::vector<TPointF> curve;
            std::size_t i = 0;
            TPointF last = pl.Dc.Position;
            if (kind == 2) {
                if (pts.empty())
                    break;
                last = pts[0];
                curve.push_back(last);
                i = 1;
            } else {
                curve.push_back(last);
            }
            for (; i + 3 <= pts.size(); i += 3) {
                AddBezier(curve, last, pts[i], pts[i + 1], pts[i + 2]);
                last = pts[i + 2];
            }
            if (kind == 5) {
                pl.Dc.Position = last;
                if (pl.InPath()) {
                    for (std::size_t k = 1; k < curve.size(); ++k)
                        pl.PathPoint(curve[k]);
                    break;
                }
            }
            pl.Polyline(curve);
        } else if (kind == 3) {
            pl.Polygons({pts});
        } else if (kind == 4) {
            pl.Polyline(pts);
        } else {  // polyline to
            if (pl.InPath()) {
                for (const TPointF& p : pts)
                    pl.PathPoint(p);
            } else {
                pts.insert(pts.begin(), pl.Dc.Position);
                pl.Polyline(pts);
            }
            if (!pts.empty())
                pl.Dc.Position = pts.back();
        }
        break;
    }
    case 7:  // poly-polyline, poly-polygon
    case 8:
    case 90:
    case 91: {
        bool small = type >= 90;
        std::size_t polys = r.U32(24);
        if (polys > r.Size() / 4)
            break;
        r.At(32, polys * 4);
        std::size_t o = 32 + polys * 4;
        std::vector<std::vector<TPointF>> rings;
        for (std::size_t i = 0; i < polys; ++i) {
            std::size_t n = r.U32(32 + 4 * i);
            if (n > 0)
                rings.push_back(ReadEmfPoints(r, o, n, small));
            o += n * (small ? 4 : 8);
        }
        if (type == 8 || type == 91)
            pl.Polygons(rings);
        else
            for (const auto& ring : rings)
                pl.Polyline(ring);
        break;
    }
    case 9:
        pl.Dc.WinExt = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 10:
        pl.Dc.WinOrg = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 11:
        pl.Dc.VpExt = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 12:
        pl.Dc.VpOrg = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 15:
        pl.SetPixel({i32(8), i32(12)}, r.Color(16));
        break;
    case 17:
        pl.Dc.MapMode = r.I32(8);
        pl.UpdateTransform();
        break;
    case 18:
        pl.Dc.BkMode = r.I32(8);
        break;
    case 20:
        pl.Dc.Rop2 = r.I32(8);
        break;
    case 22:
        pl.Dc.TextAlign = r.U32(8);
        break;
    case 24:
        pl.Dc.TextColor = r.Color(8);
        break;
    case 25:
        pl.Dc.BkColor = r.Color(8);
        break;
    case 27:
        pl.MoveTo({i32(8), i32(12)});
        break;
    case 33:
        pl.SaveDc();
        break;
    case 34:
        pl.RestoreDc(r.I32(8));
        break;
    case 35:
        pl.Dc.World = ReadXform(r, 8);
        pl.UpdateTransform();
        break;
    case 36: {
        TAffine x = ReadXform(r, 8);
        switch (r.U32(32)) {
        case 1:
            pl.Dc.World = TAffine{};
            break;
        case 2:
            pl.Dc.World = x.Then(pl.Dc.World);
            break;
        case 3:
            pl.Dc.World = pl.Dc.World.Then(x);
            break;
        case 4:
            pl.Dc.World = x;
            break;
        default:
            break;
        }
        pl.UpdateTransform();
        break;
    }
    case 37:
        pl.Select(r.U32(8));
        break;
    case 38: {
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        obj.Pen = {static_cast<int>(r.U32(12)), i32(16), false, r.Color(24)};
        pl.Store(r.U32(8), obj);
        break;
    }
    case 95: {  // extended pen: cosmetic ones are one pixel wide
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        std::uint32_t style = r.U32(28);
        obj.Pen = {static_cast<int>(style & 0x0F), i32(32), (style & 0x10000) == 0, r.Color(40)};
        if (r.U32(36) == BsNull)
            obj.Pen.Style = PsNull;
        pl.Store(r.U32(8), obj);
        break;
    }
    case 39: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        std::uint32_t style = r.U32(12);
        // Hatches are drawn solid in their colour.
        obj.Brush = {style == BsNull ? BsNull : BsSolid, r.Color(16)};
        pl.Store(r.U32(8), obj);
        break;
    }
    case 93:
    case 94: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        obj.Brush = {BsSolid, clGray};
        if (r.U32(12) == 0)
            obj.Brush = pl.PatternBrush(r.Span(r.U32(16), r.U32(20)), r.Span(r.U32(24), r.U32(28)), false);
        pl.Store(r.U32(8), obj);
        break;
    }
    case 82: {
        GdiObject obj;
        obj.Kind = ObjectKind::Font;
        obj.Font = ReadEmfFont(r, 12);
        pl.Store(r.U32(8), obj);
        break;
    }
    case 40:
        pl.Delete(r.U32(8));
        break;
    case 42:
        pl.EllipseShape(i32(8), i32(12), i32(16), i32(20));
        break;
    case 43:
        pl.RectangleShape(i32(8), i32(12), i32(16), i32(20));
        break;
    case 44:
        pl.RoundRectShape(i32(8), i32(12), i32(16), i32(20), i32(24), i32(28));
        break;
    case 54:
        pl.LineTo({i32(8), i32(12)});
        break;
    case 59:
        pl.BeginPath();
        break;
    case 60:
        pl.EndPath();
        break;
    case 61:
        pl.CloseFigure();
        break;
    case 62:
        pl.DrawPath(true, false);
        break;
    case 63:
        pl.DrawPath(true, true);
        break;
    case 64:
        pl.DrawPath(false, true);
        break;
    case 68:
        pl.AbortPath();
        break;
    case 76:
    case 77: {  // bit-block transfer, stretched or not
        double dx = i32(24), dy = i32(28), dw = i32(32), dh = i32(36);
        std::uint32_t rop = r.U32(40);
        double sx = i32(44), sy = i32(48);
        double sw = type == 77 ? i32(100) : dw, sh = type == 77 ? i32(104) : dh;
        EmfBitmap(pl, r, r.U32(84), r.U32(88), r.U32(92), r.U32(96), r.U32(80), sx, sy, sw, sh, dx, dy, dw, dh, rop);
        break;
    }
    case 80:  // bits to the device, one to one
        EmfBitmap(pl, r, r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(64), i32(32), i32(36), i32(40), i32(44),
                  i32(24), i32(28), i32(40), i32(44), cmSrcCopy);
        break;
    case 81:
        EmfBitmap(pl, r, r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(64), i32(32), i32(36), i32(40), i32(44),
                  i32(24), i32(28), i32(72), i32(76), r.U32(68));
        break;
    case 83:
    case 84: {
        TPointF at{i32(36), i32(40)};
        std::size_t n = r.U32(44);
        std::size_t offString = r.U32(48);
        unsigned options = r.U32(52);
        if (options & EtoGlyphIndex)
            break;  // glyph numbers of a font we do not have
        std::optional<std::array<double, 4>> box;
        if (options & (EtoOpaque | EtoClipped))
            box = std::array<double, 4>{i32(56), i32(60), i32(64), i32(68)};
        std::size_t unit = type == 84 ? 2 : 1;
        if (n > r.Size() / unit)
            break;
        const std::uint8_t* s = r.At(offString, n * unit);
        std::string text = type == 84 ? FromUtf16(s, n, false) : FromAnsi(s, n, false);
        pl.Text(at, text, options, box);
        break;
    }
    default:
        break;
    }
}

}  // namespace

void PlayEmf(Bytes data, TBitmap& out, const Limits& limits)
{
    if (data.size() >= 44 && Le32(data.data() + 40) != EmfSignature)
        throw DecodeError("not a metafile");
    if (data.size() < 88)
        throw DecodeError("truncated file");
    Record header(data.data(), data.size());
    std::uint32_t headerSize = header.U32(4);
    std::uint64_t fileSize = header.U32(48);
    if (headerSize < 88 || headerSize % 4 != 0 || headerSize > data.size())
        throw DecodeError("corrupt metafile (header of " + std::to_string(headerSize) + " bytes)");
    if (fileSize > data.size())
        throw DecodeError("truncated file");

    const double boundsL = header.I32(8), boundsT = header.I32(12), boundsR = header.I32(16), boundsB = header.I32(20);
    const double frameL = header.I32(24), frameT = header.I32(28), frameR = header.I32(32), frameB = header.I32(36);
    const double devW = header.I32(72), devH = header.I32(76), mmW = header.I32(80), mmH = header.I32(84);

    double ppmX = devW > 0 && mmW > 0 ? devW / mmW : 96 / 25.4;
    double ppmY = devH > 0 && mmH > 0 ? devH / mmH : 96 / 25.4;

    // The frame (hundredths of a millimetre, inclusive) gives the size at
    // 96 pixels per inch; without one, the bounds in device pixels.
    double width = 0, height = 0;
    TAffine device;
    if (frameR > frameL && frameB > frameT) {
        width = (frameR - frameL) / 2540 * 96;
        height = (frameB - frameT) / 2540 * 96;
        double x0 = frameL / 100 * ppmX, y0 = frameT / 100 * ppmY;
        double sx = width / ((frameR - frameL) / 100 * ppmX), sy = height / ((frameB - frameT) / 100 * ppmY);
        device = {sx, 0, 0, sy, -x0 * sx, -y0 * sy};
    } else if (boundsR >= boundsL && boundsB >= boundsT) {
        width = boundsR - boundsL + 1;
        height = boundsB - boundsT + 1;
        device = {1, 0, 0, 1, -boundsL, -boundsT};
    }
    if (!(width < 1e9) || !(height < 1e9))
        throw DecodeError("picture too large");
    MakeBitmap(out, std::llround(width), std::llround(height), limits);

    Player pl(out, limits, true);
    pl.Device = device;
    pl.PixelsPerMmX = ppmX;
    pl.PixelsPerMmY = ppmY;
    pl.SetObjectCount(header.U16(56));
    pl.UpdateTransform();

    const std::size_t end = fileSize >= headerSize ? static_cast<std::size_t>(fileSize) : data.size();
    std::size_t pos = headerSize;
    while (pos < end) {
        if (end - pos < 8)
            throw DecodeError("truncated file");
        std::uint32_t type = Le32(data.data() + pos);
        std::uint32_t size = Le32(data.data() + pos + 4);
        if (size < 8 || size % 4 != 0)
            throw DecodeError("corrupt metafile (record of " + std::to_string(size) + " bytes)");
        if (size > end - pos)
            throw DecodeError("truncated file");
        if (type == 14)  // end of file
            break;
        try {
            PlayEmfRecord(pl, type, Record(data.data() + pos, size));
        } catch (const ShortRecord&) {
        }
        pos += size;
    }
}

}  // namespace imageio::metafile_detail
