// The sized faces and the glyph cache: a face at one em, its characters'
// glyphs and advances, and the glyph images turned by one escapement,
// rendered once with FreeType and kept until the cache outgrows its budget.
#include "toolkit/graphics/FontEnginePrivate.h"

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <numbers>

using namespace font_detail;

// Row extents of the non-blank coverage, so blending skips blank margins.
void font_detail::FillRowExtents(TGlyphImage& g)
{
    g.RowBegin.assign(g.Height, 0);
    g.RowEnd.assign(g.Height, 0);
    for (int y = 0; y < g.Height; ++y) {
        const std::uint8_t* row = g.Coverage.data() + std::size_t(y) * g.Width;
        int b = 0;
        while (b < g.Width && row[b] == 0)
            ++b;
        int e = g.Width;
        while (e > b && row[e - 1] == 0)
            --e;
        if (b == e)
            b = e = 0;
        g.RowBegin[y] = static_cast<std::uint16_t>(b);
        g.RowEnd[y] = static_cast<std::uint16_t>(e);
    }
    // Solid and partly covered stretches, so blending fills the first and
    // mixes only the second.
    g.Runs.clear();
    g.RowRuns.assign(std::size_t(g.Height) + 1, 0);
    for (int y = 0; y < g.Height; ++y) {
        g.RowRuns[std::size_t(y)] = std::uint32_t(g.Runs.size());
        const std::uint8_t* row = g.Coverage.data() + std::size_t(y) * g.Width;
        for (int x = g.RowBegin[y]; x < g.RowEnd[y];) {
            if (row[x] == 0) {
                ++x;
                continue;
            }
            const bool solid = row[x] == 255;
            int e = x + 1;
            while (e < g.RowEnd[y] && (solid ? row[e] == 255 : (row[e] != 0 && row[e] != 255)))
                ++e;
            g.Runs.push_back({std::uint16_t(x), std::uint16_t(e), solid});
            x = e;
        }
    }
    g.RowRuns[std::size_t(g.Height)] = std::uint32_t(g.Runs.size());
}

namespace {

// Coverage kept before the glyph cache starts over.
constexpr std::size_t kCacheBudget = std::size_t(64) << 20;
// Sized faces kept before the cache starts over (each holds an FT_Face).
constexpr std::size_t kMaxSizes = 64;

// Copies a rendered FreeType bitmap into a glyph image; nullptr when it has
// no coverage at all (spaces), so layouts can leave it out.
std::unique_ptr<TGlyphImage> ImageFromBitmap(const FT_Bitmap& bm, int left, int top)
{
    if (bm.width == 0 || bm.rows == 0 || !bm.buffer)
        return nullptr;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO)
        return nullptr;
    auto g = std::make_unique<TGlyphImage>();
    g->Left = left;
    g->Top = top;
    g->Width = static_cast<int>(bm.width);
    g->Height = static_cast<int>(bm.rows);
    g->Coverage.resize(std::size_t(g->Width) * g->Height);
    std::size_t stride = static_cast<std::size_t>(bm.pitch < 0 ? -bm.pitch : bm.pitch);
    bool any = false;
    for (int y = 0; y < g->Height; ++y) {
        int srcRow = bm.pitch >= 0 ? y : g->Height - 1 - y;
        const unsigned char* src = bm.buffer + stride * srcRow;
        std::uint8_t* dst = g->Coverage.data() + std::size_t(y) * g->Width;
        for (int x = 0; x < g->Width; ++x) {
            std::uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_GRAY ? src[x]
                                                                 : ((src[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0);
            dst[x] = v;
            any |= v != 0;
        }
    }
    if (!any)
        return nullptr;
    FillRowExtents(*g);
    return g;
}

std::size_t Footprint(const TGlyphImage* g)
{
    if (g && g->Outline)
        return sizeof(TGlyphImage) + sizeof(TGlyphOutline) + g->Outline->Points.size() * 24;
    return sizeof(TGlyphImage) + (g ? g->Coverage.size() + g->RowBegin.size() * 8 + g->Runs.size() * sizeof(TCoverageRun) : 0);
}

// Renders a bar's outline (26.6, y upward), turned by matrix.
std::unique_ptr<TGlyphImage> RenderBar(FT_Library library, FT_Outline& outline, const FT_Matrix* matrix)
{
    if (matrix)
        FT_Outline_Transform(&outline, matrix);
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    FT_Pos x0 = box.xMin & ~63, y0 = box.yMin & ~63;
    FT_Pos x1 = (box.xMax + 63) & ~63, y1 = (box.yMax + 63) & ~63;
    FT_Outline_Translate(&outline, -x0, -y0);
    int w = static_cast<int>((x1 - x0) >> 6), h = static_cast<int>((y1 - y0) >> 6);
    if (w <= 0 || h <= 0)
        return nullptr;
    std::vector<unsigned char> buffer(std::size_t(w) * h, 0);
    FT_Bitmap bm{};
    bm.rows = static_cast<unsigned>(h);
    bm.width = static_cast<unsigned>(w);
    bm.pitch = w;
    bm.buffer = buffer.data();
    bm.num_grays = 256;
    bm.pixel_mode = FT_PIXEL_MODE_GRAY;
    // FreeType's bitmap rows run top-down from y1.
    if (FT_Outline_Get_Bitmap(library, &outline, &bm) != 0)
        return nullptr;
    return ImageFromBitmap(bm, static_cast<int>(x0 >> 6), -static_cast<int>(y1 >> 6));
}

// What FT_GlyphSlot_Embolden and FT_GlyphSlot_Oblique do, for an outline
// in font units (they work from the size, which a large one does not set).
void SynthesizeUnscaled(FT_GlyphSlot slot, int unitsPerEm, bool bold, bool italic)
{
    if (bold) {
        const FT_Pos strength = unitsPerEm / 24;
        FT_Outline_EmboldenXY(&slot->outline, strength, strength);
        if (slot->advance.x)
            slot->advance.x += strength;
    }
    if (italic) {
        const FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
}

}  // namespace

void FontEngine::Impl::ClearSizes()
{
    recent = {};
    nextRecent = 0;
    sizesByEm.clear();
    sizes.clear();
    cacheBytes = 0;
}

void FontEngine::Impl::TrimIfOverBudget()
{
    if (cacheBytes > kCacheBudget || sizes.size() > kMaxSizes)
        ClearSizes();
}

// ----------------------------------------------------------------- sizes

auto FontEngine::Impl::SizeFor(Face* face, int em) -> Size*
{
    if (!face->ok || !library)
        return nullptr;
    auto key = std::make_pair(face, em);
    if (auto it = sizesByEm.find(key); it != sizesByEm.end())
        return it->second;
    auto size = std::make_unique<Size>();
    size->face = face;
    size->em = em;
    size->large = em > kMaxRasterEm;
    if (FT_New_Face(library, face->file.c_str(), face->index, &size->ft) != 0) {
        size->ft = nullptr;
    } else if (!size->large && FT_Set_Pixel_Sizes(size->ft, 0, static_cast<FT_UInt>(em)) != 0) {
        FT_Done_Face(size->ft);
        size->ft = nullptr;
    }
    const int upem = face->unitsPerEm;
    int height = MulDiv(em, face->ascent + face->descent, upem);
    size->metrics.Ascent = MulDiv(em, face->ascent, upem);
    size->metrics.Height = std::max(height, size->metrics.Ascent);
    size->metrics.Descent = size->metrics.Height - size->metrics.Ascent;
    size->underlineHeight = std::max(1, MulDiv(em, face->underlineSize, upem));
    size->underlineTop = MulDiv(em, face->underlinePos, upem) - size->underlineHeight / 2;
    size->strikeHeight = std::max(1, MulDiv(em, face->strikeSize, upem));
    size->strikeTop = -MulDiv(em, face->strikePos, upem);
    cacheBytes += sizeof(Size) + 64 * 1024;  // the FT_Face and its tables, roughly
    Size* raw = size.get();
    sizes.push_back(std::move(size));
    sizesByEm.emplace(key, raw);
    return raw;
}

// Loads a glyph's outline at the size, with synthetic styles applied;
// false when there is nothing to draw from.
bool FontEngine::Impl::LoadOutline(Size& size, std::uint32_t glyph, bool hinted)
{
    if (!size.ft)
        return false;
    FT_Int32 flags = FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_TARGET_NORMAL : FT_LOAD_NO_HINTING);
    if (size.large)
        flags = FT_LOAD_NO_BITMAP | FT_LOAD_NO_SCALE;
    if (FT_Load_Glyph(size.ft, glyph, flags) != 0)
        return false;
    FT_GlyphSlot slot = size.ft->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    if (size.large) {
        SynthesizeUnscaled(slot, size.face->unitsPerEm, size.face->syntheticBold, size.face->syntheticItalic);
        return true;
    }
    if (size.face->syntheticBold)
        FT_GlyphSlot_Embolden(slot);
    if (size.face->syntheticItalic)
        FT_GlyphSlot_Oblique(slot);
    return true;
}

auto FontEngine::Impl::CharFor(Size& size, char32_t cp) -> const CharInfo&
{
    CharInfo& info = cp < 256 ? size.latin[cp] : size.others[cp];
    if (info.ready)
        return info;
    info.ready = true;
    if (!size.ft)
        return info;
    info.glyph = FT_Get_Char_Index(size.ft, cp);
    // Advances are the unturned hinted ones rounded to whole pixels, the
    // same for every escapement (a large size's, in font units, scaled).
    if (LoadOutline(size, info.glyph, true))
        info.advance = size.large ? MulDiv(size.ft->glyph->advance.x, size.em, size.face->unitsPerEm)
                                  : static_cast<int>((size.ft->glyph->advance.x + 32) >> 6);
    return info;
}

// ------------------------------------------------------------ glyph sets

auto FontEngine::Impl::TurnedFor(Size& size, int escapement) -> Turned*
{
    for (auto& t : size.turns)
        if (t->escapement == escapement)
            return t.get();
    auto t = std::make_unique<Turned>();
    t->size = &size;
    t->escapement = escapement;
    switch (escapement) {
    case 0: t->cos = 1, t->sin = 0; break;
    case 900: t->cos = 0, t->sin = 1; break;
    case 1800: t->cos = -1, t->sin = 0; break;
    case 2700: t->cos = 0, t->sin = -1; break;
    default: {
        double a = escapement * std::numbers::pi / 1800.0;
        t->cos = std::cos(a);
        t->sin = std::sin(a);
    }
    }
    // FreeType's y runs upward, so this turns counter-clockwise on the
    // screen as well.
    t->matrix.xx = static_cast<FT_Fixed>(std::lround(t->cos * 65536.0));
    t->matrix.xy = static_cast<FT_Fixed>(std::lround(-t->sin * 65536.0));
    t->matrix.yx = static_cast<FT_Fixed>(std::lround(t->sin * 65536.0));
    t->matrix.yy = static_cast<FT_Fixed>(std::lround(t->cos * 65536.0));
    cacheBytes += sizeof(Turned);
    size.turns.push_back(std::move(t));
    return size.turns.back().get();
}

const TGlyphImage* FontEngine::Impl::GlyphImage(Turned& t, std::uint32_t glyph)
{
    if (auto it = t.glyphs.find(glyph); it != t.glyphs.end())
        return it->second.get();
    std::unique_ptr<TGlyphImage> image;
    Size& size = *t.size;
    // Hinting works on the pixel grid, which a slanting baseline leaves.
    if (size.large && LoadOutline(size, glyph, false)) {
        image = LargeGlyph(size.ft->glyph->outline, double(size.em) / size.face->unitsPerEm, t.cos, t.sin);
    } else if (!size.large && LoadOutline(size, glyph, t.AxisAligned())) {
        FT_GlyphSlot slot = size.ft->glyph;
        if (t.escapement != 0)
            FT_Outline_Transform(&slot->outline, &t.matrix);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0)
            image = ImageFromBitmap(slot->bitmap, slot->bitmap_left, -slot->bitmap_top);
    }
    const TGlyphImage* raw = image.get();
    cacheBytes += Footprint(raw);
    t.glyphs.emplace(glyph, std::move(image));
    return raw;
}

auto FontEngine::Impl::SlotFor(Turned& t, char32_t cp) -> const Turned::Slot&
{
    Turned::Slot& slot = cp < 256 ? t.latin[cp] : t.others[cp];
    if (slot.ready)
        return slot;
    const CharInfo& info = CharFor(*t.size, cp);
    slot.advance = info.advance;
    slot.image = GlyphImage(t, info.glyph);
    slot.ready = true;
    return slot;
}

// A bar along the baseline from 0 to length, top..top+thickness below
// it (y downward), turned like the glyphs: underline and strike-out.
const TGlyphImage* FontEngine::Impl::Bar(Turned& t, int kind, int length, int top, int thickness)
{
    auto key = std::make_pair(kind, length);
    if (auto it = t.bars.find(key); it != t.bars.end())
        return it->second.get();
    std::unique_ptr<TGlyphImage> image;
    if (library && length > 0 && thickness > 0) {
        // Corners in 26.6, y upward.
        const FT_Pos right = FT_Pos(length) * 64, upper = -FT_Pos(top) * 64, lower = upper - FT_Pos(thickness) * 64;
        FT_Vector points[4] = {{0, upper}, {right, upper}, {right, lower}, {0, lower}};
        char tags[4] = {FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON};
        short contours[1] = {3};
        FT_Outline outline{};
        outline.n_contours = 1;
        outline.n_points = 4;
        outline.points = points;
        outline.tags = tags;
        outline.contours = contours;
        outline.flags = FT_OUTLINE_NONE;
        if (t.size->large)
            image = LargeGlyph(outline, 1.0 / 64, t.cos, t.sin);
        else
            image = RenderBar(library, outline, t.escapement != 0 ? &t.matrix : nullptr);
    }
    const TGlyphImage* raw = image.get();
    cacheBytes += Footprint(raw);
    t.bars.emplace(key, std::move(image));
    return raw;
}
