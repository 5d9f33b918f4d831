// Glyphs too large to render whole: their outlines are kept, and only the
// part of one that lands on a bitmap is rendered. The curves are flattened
// finely only where they come near that part and the contours are clipped
// to it before FreeType renders them, so the cost follows the part's area
// and not the glyph's size.
#include "toolkit/graphics/FontEnginePrivate.h"

#include FT_OUTLINE_H

using namespace font_detail;

namespace {

using Pt = TGlyphOutline::Point;

// Largest deviation of a flattened curve from the true one, in pixels.
constexpr double kTolerance = 1.0 / 16;
// Points handed to FreeType in one outline (its counts are 16-bit).
constexpr std::size_t kMaxPoints = 30000;

Pt Mid(Pt a, Pt b) { return {(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

// The contours of an outline as polygons clipped to a box. A curve is
// replaced by its chord where its control points lie wholly outside the
// box (the two differ only inside their hull, so nothing inside the box
// changes), and subdivided where it comes near; clipping a polygon to a
// convex box keeps its winding number at every point of the box.
class Clipper {
public:
    Clipper(double left, double top, double right, double bottom) : l_(left), t_(top), r_(right), b_(bottom) {}

    void Contour(const std::vector<Pt>& points, const std::vector<char>& tags, int first, int last)
    {
        poly_.clear();
        const int n = last - first + 1;
        if (n < 2)
            return;
        auto at = [&](int i) { return points[std::size_t(first + (i % n + n) % n)]; };
        auto tag = [&](int i) { return FT_CURVE_TAG(tags[std::size_t(first + (i % n + n) % n)]); };
        // Start on a point of the curve: the first one on it, or the middle
        // of the last and first points when all are conic control points.
        int start = 0;
        while (start < n && tag(start) != FT_CURVE_TAG_ON)
            ++start;
        Pt from;
        if (start == n) {
            from = Mid(at(n - 1), at(0));
            start = 0;
        } else {
            from = at(start);
            ++start;
        }
        poly_.push_back(from);
        for (int k = 0; k < n;) {
            const int i = start + k;
            const Pt p = at(i);
            switch (tag(i)) {
            case FT_CURVE_TAG_ON:
                poly_.push_back(p);
                from = p;
                ++k;
                break;
            case FT_CURVE_TAG_CONIC: {
                // Two control points in a row have a point of the curve
                // half-way between them.
                const bool on = tag(i + 1) == FT_CURVE_TAG_ON;
                const Pt to = on ? at(i + 1) : Mid(p, at(i + 1));
                Conic(from, p, to, 0);
                from = to;
                k += on ? 2 : 1;
                break;
            }
            default: {  // cubic: two control points, then a point on the curve
                const Pt to = at(i + 2);
                Cubic(from, p, at(i + 1), to, 0);
                from = to;
                k += 3;
                break;
            }
            }
        }
        Clip();
    }

    const std::vector<Pt>& Polygon() const { return poly_; }

private:
    bool Meets(std::initializer_list<Pt> ps) const
    {
        double x0 = ps.begin()->X, x1 = x0, y0 = ps.begin()->Y, y1 = y0;
        for (const Pt& p : ps) {
            x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
            y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
        }
        return x1 >= l_ && x0 <= r_ && y1 >= t_ && y0 <= b_;
    }

    void Conic(Pt p0, Pt c, Pt p1, int depth)
    {
        const double dx = p0.X - 2 * c.X + p1.X, dy = p0.Y - 2 * c.Y + p1.Y;
        if (depth >= 40 || !Meets({p0, c, p1}) || std::hypot(dx, dy) / 4 <= kTolerance) {
            poly_.push_back(p1);
            return;
        }
        const Pt a = Mid(p0, c), b = Mid(c, p1), m = Mid(a, b);
        Conic(p0, a, m, depth + 1);
        Conic(m, b, p1, depth + 1);
    }

    void Cubic(Pt p0, Pt c1, Pt c2, Pt p1, int depth)
    {
        const double d1 = std::hypot(p0.X - 2 * c1.X + c2.X, p0.Y - 2 * c1.Y + c2.Y);
        const double d2 = std::hypot(c1.X - 2 * c2.X + p1.X, c1.Y - 2 * c2.Y + p1.Y);
        if (depth >= 40 || !Meets({p0, c1, c2, p1}) || std::max(d1, d2) * 3 / 4 <= kTolerance) {
            poly_.push_back(p1);
            return;
        }
        const Pt a = Mid(p0, c1), b = Mid(c1, c2), c = Mid(c2, p1);
        const Pt ab = Mid(a, b), bc = Mid(b, c), m = Mid(ab, bc);
        Cubic(p0, a, ab, m, depth + 1);
        Cubic(m, bc, c, p1, depth + 1);
    }

    // Sutherland-Hodgman against the four sides in turn.
    void Clip()
    {
        auto side = [&](auto inside, auto cross) {
            if (poly_.empty())
                return;
            out_.clear();
            Pt prev = poly_.back();
            bool prevIn = inside(prev);
            for (const Pt& p : poly_) {
                const bool in = inside(p);
                if (in != prevIn)
                    out_.push_back(cross(prev, p));
                if (in)
                    out_.push_back(p);
                prev = p;
                prevIn = in;
            }
            poly_.swap(out_);
        };
        auto atX = [](Pt a, Pt b, double x) {
            return Pt{x, a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X)};
        };
        auto atY = [](Pt a, Pt b, double y) {
            return Pt{a.X + (b.X - a.X) * (y - a.Y) / (b.Y - a.Y), y};
        };
        side([&](Pt p) { return p.X >= l_; }, [&](Pt a, Pt b) { return atX(a, b, l_); });
        side([&](Pt p) { return p.X <= r_; }, [&](Pt a, Pt b) { return atX(a, b, r_); });
        side([&](Pt p) { return p.Y >= t_; }, [&](Pt a, Pt b) { return atY(a, b, t_); });
        side([&](Pt p) { return p.Y <= b_; }, [&](Pt a, Pt b) { return atY(a, b, b_); });
    }

    double l_, t_, r_, b_;
    std::vector<Pt> poly_, out_;
};

// Renders the rows [top, top + rows) of the box into coverage (rows of
// width pixels, top-down), halving the rows until the clipped outline fits
// FreeType's counts.
void RenderRows(FT_Library library, const TGlyphOutline& o, int left, int top, int width, int rows,
                std::uint8_t* coverage)
{
    // A pixel of margin keeps the clipped edges off the rendered pixels.
    Clipper clipper(left - 1.0, top - 1.0, left + width + 1.0, top + rows + 1.0);
    std::vector<FT_Vector> points;
    std::vector<short> ends;
    int first = 0;
    for (int last : o.Ends) {
        clipper.Contour(o.Points, o.Tags, first, last);
        first = last + 1;
        const auto& poly = clipper.Polygon();
        if (poly.size() < 3)
            continue;
        for (const Pt& p : poly)  // 26.6 from the rows' bottom-left, y upward
            points.push_back({FT_Pos(std::lround((p.X - left) * 64)), FT_Pos(std::lround((top + rows - p.Y) * 64))});
        if (points.size() > kMaxPoints)
            break;
        ends.push_back(short(points.size() - 1));
    }
    if (points.size() > kMaxPoints) {
        if (rows > 1) {
            const int half = rows / 2;
            RenderRows(library, o, left, top, width, half, coverage);
            RenderRows(library, o, left, top + half, width, rows - half, coverage + std::size_t(half) * width);
        }
        return;
    }
    if (ends.empty())
        return;
    std::vector<char> tags(points.size(), FT_CURVE_TAG_ON);
    FT_Outline outline{};
    outline.n_contours = static_cast<decltype(outline.n_contours)>(ends.size());
    outline.n_points = static_cast<decltype(outline.n_points)>(points.size());
    outline.points = points.data();
    outline.tags = tags.data();
    outline.contours = ends.data();
    outline.flags = FT_OUTLINE_NONE;
    FT_Bitmap bm{};
    bm.rows = static_cast<unsigned>(rows);
    bm.width = static_cast<unsigned>(width);
    bm.pitch = width;
    bm.buffer = coverage;
    bm.num_grays = 256;
    bm.pixel_mode = FT_PIXEL_MODE_GRAY;
    FT_Outline_Get_Bitmap(library, &outline, &bm);
}

}  // namespace

std::unique_ptr<TGlyphImage> font_detail::LargeGlyph(const FT_Outline& outline, double scale, double cos, double sin)
{
    if (outline.n_points <= 0 || outline.n_contours <= 0)
        return nullptr;
    auto o = std::make_shared<TGlyphOutline>();
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (int i = 0; i < outline.n_points; ++i) {
        const double x = outline.points[i].x * scale, y = outline.points[i].y * scale;
        // Turned counter-clockwise with y upward, then y downward.
        const Pt p{x * cos - y * sin, -(x * sin + y * cos)};
        if (i == 0)
            x0 = x1 = p.X, y0 = y1 = p.Y;
        x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
        y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
        o->Points.push_back(p);
        o->Tags.push_back(outline.tags[i]);
    }
    for (int c = 0; c < outline.n_contours; ++c)
        o->Ends.push_back(std::clamp<int>(outline.contours[c], 0, outline.n_points - 1));
    auto g = std::make_unique<TGlyphImage>();
    g->Left = int(std::floor(x0));
    g->Top = int(std::floor(y0));
    g->Width = int(std::ceil(x1)) - g->Left;
    g->Height = int(std::ceil(y1)) - g->Top;
    if (g->Width <= 0 || g->Height <= 0)
        return nullptr;
    g->Outline = std::move(o);
    return g;
}

void font_detail::RenderOutlinePart(FT_Library library, const TGlyphOutline& o, const TRect& box, TGlyphImage& image)
{
    image = TGlyphImage{};
    image.Left = box.Left;
    image.Top = box.Top;
    image.Width = box.Width();
    image.Height = box.Height();
    image.Coverage.assign(std::size_t(image.Width) * std::size_t(image.Height), 0);
    if (library && !image.Coverage.empty())
        RenderRows(library, o, box.Left, box.Top, image.Width, image.Height, image.Coverage.data());
    FillRowExtents(image);
}

const TGlyphImage& FontEngine::RenderPart(const TGlyphImage& glyph, const TRect& part)
{
    std::lock_guard lock(impl_->mutex);
    static const TGlyphImage none;
    if (!glyph.Outline)
        return none;
    TGlyphOutline& o = *glyph.Outline;
    const TRect wanted = part.Intersected({0, 0, glyph.Width, glyph.Height});
    if (wanted.Empty())
        return none;
    if (!o.HasPart || o.Part != wanted) {
        impl_->cacheBytes -= std::min(impl_->cacheBytes, o.Image.Coverage.size());
        RenderOutlinePart(impl_->library, o, wanted.Offset(glyph.Left, glyph.Top), o.Image);
        impl_->cacheBytes += o.Image.Coverage.size();
        o.HasPart = true;
        o.Part = wanted;
    }
    return o.Image;
}
