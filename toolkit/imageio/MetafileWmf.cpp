// Windows metafiles of the 16-bit format, with or without the placeable
// header: the records and how they are played.

#include "toolkit/imageio/MetafilePlayer.h"

#include <algorithm>
#include <cmath>

namespace imageio::metafile_detail {

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

LogFont ReadWmfFont(const Record& r, std::size_t o)
{
    LogFont f;
    f.Height = r.I16(o);
    f.Escapement = r.I16(o + 4);
    f.Weight = r.I16(o + 8);
    const std::uint8_t* b = r.At(o + 10, 8);
    f.Italic = b[0] != 0;
    f.Underline = b[1] != 0;
    f.StrikeOut = b[2] != 0;
    f.Charset = b[3];
    std::size_t faceBytes = std::min<std::size_t>(32, r.Size() > o + 18 ? r.Size() - (o + 18) : 0);
    f.Face = FromAnsi(r.At(o + 18, faceBytes), faceBytes, true);
    return f;
}

std::vector<TPointF> ReadWmfPoints(const Record& r, std::size_t o, std::size_t count)
{
    r.At(o, count * 4);
    std::vector<TPointF> pts(count);
    for (std::size_t i = 0; i < count; ++i)
        pts[i] = {double(r.I16(o + 4 * i)), double(r.I16(o + 4 * i + 2))};
    return pts;
}

void PlayWmfRecord(Player& pl, unsigned function, const Record& r)
{
    constexpr std::size_t P = 6;  // parameters start after size and function
    auto s = [&](std::size_t word) { return double(r.I16(P + 2 * word)); };
    switch (function) {
    case 0x0201:
        pl.Dc.BkColor = r.Color(P);
        break;
    case 0x0102:
        pl.Dc.BkMode = r.U16(P);
        break;
    case 0x0103:
        pl.Dc.MapMode = r.U16(P);
        break;
    case 0x0104:
        pl.Dc.Rop2 = r.U16(P);
        break;
    case 0x012E:
        pl.Dc.TextAlign = r.U16(P);
        break;
    case 0x0209:
        pl.Dc.TextColor = r.Color(P);
        break;
    case 0x020B:
        pl.Dc.WinOrg = {s(1), s(0)};
        pl.UpdateTransform();
        break;
    case 0x020C:
        pl.Dc.WinExt = {s(1), s(0)};
        pl.UpdateTransform();
        break;
    case 0x020F:
        pl.Dc.WinOrg.X += s(1);
        pl.Dc.WinOrg.Y += s(0);
        pl.UpdateTransform();
        break;
    case 0x0410:
        if (s(0) != 0 && s(2) != 0) {
            pl.Dc.WinExt.X = pl.Dc.WinExt.X * s(3) / s(2);
            pl.Dc.WinExt.Y = pl.Dc.WinExt.Y * s(1) / s(0);
            pl.UpdateTransform();
        }
        break;
    case 0x001E:
        pl.SaveDc();
        break;
    case 0x0127:
        pl.RestoreDc(r.I16(P));
        break;
    case 0x0214:
        pl.MoveTo({s(1), s(0)});
        break;
    case 0x0213:
        pl.LineTo({s(1), s(0)});
        break;
    case 0x041B:
        pl.RectangleShape(s(3), s(2), s(1), s(0));
        break;
    case 0x0418:
        pl.EllipseShape(s(3), s(2), s(1), s(0));
        break;
    case 0x061C:
        pl.RoundRectShape(s(5), s(4), s(3), s(2), s(1), s(0));
        break;
    case 0x0324:
    case 0x0325: {
        std::size_t n = r.U16(P);
        auto pts = ReadWmfPoints(r, P + 2, n);
        if (function == 0x0324)
            pl.Polygons({pts});
        else
            pl.Polyline(pts);
        break;
    }
    case 0x0538: {
        std::size_t polys = r.U16(P);
        std::size_t o = P + 2 + 2 * polys;
        r.At(P + 2, 2 * polys);
        std::vector<std::vector<TPointF>> rings;
        for (std::size_t i = 0; i < polys; ++i) {
            std::size_t n = r.U16(P + 2 + 2 * i);
            rings.push_back(ReadWmfPoints(r, o, n));
            o += 4 * n;
        }
        pl.Polygons(rings);
        break;
    }
    case 0x041F:
        pl.SetPixel({s(3), s(2)}, r.Color(P));
        break;
    case 0x0521: {
        std::size_t n = r.U16(P);
        std::size_t padded = (n + 1) & ~std::size_t(1);
        std::string text = FromAnsi(r.At(P + 2, n), n, false);
        double y = r.I16(P + 2 + padded), x = r.I16(P + 4 + padded);
        pl.Text({x, y}, text, 0, std::nullopt);
        break;
    }
    case 0x0A32: {
        double y = s(0), x = s(1);
        std::size_t n = r.U16(P + 4);
        unsigned options = r.U16(P + 6);
        std::size_t o = P + 8;
        std::optional<std::array<double, 4>> box;
        if (options & (EtoOpaque | EtoClipped)) {
            box = std::array<double, 4>{double(r.I16(o)), double(r.I16(o + 2)), double(r.I16(o + 4)),
                                        double(r.I16(o + 6))};
            o += 8;
        }
        std::string text = FromAnsi(r.At(o, n), n, false);
        pl.Text({x, y}, text, options, box);
        break;
    }
    case 0x02FA: {
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        obj.Pen = {r.U16(P), s(1), false, r.Color(P + 6)};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x02FC: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        int style = r.U16(P);
        obj.Brush = {style == BsNull ? BsNull : BsSolid, r.Color(P + 2)};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x02FB: {
        GdiObject obj;
        obj.Kind = ObjectKind::Font;
        obj.Font = ReadWmfFont(r, P);
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x0142: {  // DIB pattern brush: style, usage, packed DIB
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        obj.Brush = pl.PatternBrush(r.Span(P + 4, r.Size() - std::min(r.Size(), P + 4)), {}, true);
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x00F7:
    case 0x01F9:
    case 0x06FF: {
        // Palettes, old pattern brushes, regions: they only take a slot.
        GdiObject obj;
        obj.Kind = function == 0x01F9 ? ObjectKind::Brush : ObjectKind::Other;
        obj.Brush = {BsSolid, clGray};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x012D:
        pl.Select(r.U16(P));
        break;
    case 0x01F0:
        pl.Delete(r.U16(P));
        break;
    case 0x0940:
    case 0x0B41:
    case 0x0F43: {
        std::uint32_t rop = r.U32(P);
        // The record's high byte counts its parameter words; one more word
        // means no bitmap (a pattern operation).
        std::size_t words = r.Size() / 2;
        bool noBitmap = function != 0x0F43 && words == (function >> 8) + 3;
        std::size_t q = P + 4 + (noBitmap ? 2 : 0) + (function == 0x0F43 ? 2 : 0);
        auto w = [&](std::size_t i) { return double(r.I16(q + 2 * i)); };
        double sx, sy, sw, sh, dx, dy, dw, dh;
        if (function == 0x0940) {
            sy = w(0), sx = w(1), dh = sh = w(2), dw = sw = w(3), dy = w(4), dx = w(5);
            q += 12;
        } else {
            sh = w(0), sw = w(1), sy = w(2), sx = w(3), dh = w(4), dw = w(5), dy = w(6), dx = w(7);
            q += 16;
        }
        if (noBitmap) {
            pl.PatternBlt(dx, dy, dw, dh, rop);
            break;
        }
        Bytes dib = r.Span(q, r.Size() - std::min(r.Size(), q));
        if (function == 0x0F43 && r.U16(P + 4) != 0)
            break;  // colours given as palette indices
        TBitmap picture;
        if (!DecodePackedDib(dib, picture, pl.DibLimits()))
            break;
        TRect src = SourceRect(dib, picture, static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy),
                               static_cast<std::int64_t>(sw), static_cast<std::int64_t>(sh));
        pl.DrawBitmap(picture, src, dx, dy, dw, dh, rop);
        break;
    }
    default:
        break;
    }
}

}  // namespace

void PlayWmf(Bytes data, TBitmap& out, const Limits& limits)
{
    std::size_t start = 0;
    std::optional<std::array<double, 4>> bbox;
    double inch = 1440;
    if (data.size() >= 4 && Le32(data.data()) == PlaceableKey) {
        if (data.size() < 22)
            throw DecodeError("truncated file");
        const std::uint8_t* p = data.data();
        bbox = std::array<double, 4>{double(std::int16_t(Le16(p + 6))), double(std::int16_t(Le16(p + 8))),
                                     double(std::int16_t(Le16(p + 10))), double(std::int16_t(Le16(p + 12)))};
        if (Le16(p + 14) != 0)
            inch = Le16(p + 14);
        start = 22;
    }
    const std::uint8_t* h = data.data() + start;
    auto looksLikeHeader = [&] { return (Le16(h) == 1 || Le16(h) == 2) && Le16(h + 2) == 9; };
    if (start == 0 && (data.size() < 4 || !looksLikeHeader()))
        throw DecodeError("not a metafile");
    if (data.size() < start + 18)
        throw DecodeError("truncated file");
    if (!looksLikeHeader())
        throw DecodeError("not a metafile");
    std::uint64_t declared = std::uint64_t(Le32(h + 6)) * 2;
    if (declared > data.size() - start)
        throw DecodeError("truncated file");
    std::size_t objects = Le16(h + 10);
    std::size_t first = start + 18;

    // Walks the records; the callback returns false to stop.
    auto walk = [&](auto&& visit) {
        std::size_t pos = first;
        while (pos + 6 <= data.size()) {
            std::uint64_t size = std::uint64_t(Le32(data.data() + pos)) * 2;
            unsigned function = Le16(data.data() + pos + 4);
            if (size < 6)
                throw DecodeError("corrupt metafile (record of " + std::to_string(size) + " bytes)");
            if (size > data.size() - pos)
                throw DecodeError("truncated file");
            if (function == 0 || !visit(function, Record(data.data() + pos, static_cast<std::size_t>(size))))
                return;
            pos += static_cast<std::size_t>(size);
        }
        if (pos < data.size() && pos + 6 > data.size())
            throw DecodeError("truncated file");
    };

    std::array<double, 4> window{};
    if (bbox) {
        window = *bbox;
    } else {
        // No physical size: the first window the file sets, in pixels.
        std::optional<TPointF> org, ext;
        walk([&](unsigned f, const Record& r) {
            try {
                if (f == 0x020B && !org)
                    org = TPointF{double(r.I16(8)), double(r.I16(6))};
                if (f == 0x020C && !ext)
                    ext = TPointF{double(r.I16(8)), double(r.I16(6))};
            } catch (const ShortRecord&) {
            }
            return !ext;
        });
        if (!ext)
            throw DecodeError("no picture size in the metafile");
        TPointF o = org.value_or(TPointF{});
        window = {o.X, o.Y, o.X + ext->X, o.Y + ext->Y};
    }

    double w = std::fabs(window[2] - window[0]), hgt = std::fabs(window[3] - window[1]);
    if (bbox) {
        w = w * 96 / inch;
        hgt = hgt * 96 / inch;
    }
    MakeBitmap(out, std::llround(w), std::llround(hgt), limits);

    Player pl(out, limits, false);
    pl.SetObjectCount(objects);
    pl.Dc.WinOrg = {window[0], window[1]};
    pl.Dc.WinExt = {window[2] - window[0], window[3] - window[1]};
    pl.UpdateTransform();
    walk([&](unsigned f, const Record& r) {
        try {
            PlayWmfRecord(pl, f, r);
        } catch (const ShortRecord&) {
        }
        return true;
    });
}

}  // namespace imageio::metafile_detail
