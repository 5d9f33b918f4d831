#include "toolkit/graphics/FontEngine.h"
#include "toolkit/system/Encoding.h"

#include "FontsConf.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <unordered_map>

// ------------------------------------------------------------ font sizes

namespace {

std::atomic<int> defaultPixelsPerInch{96};

// a * b / c rounded half away from zero, clamped to int.
int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return 0;
    std::int64_t n = a * b;
    bool negative = (n < 0) != (c < 0);
    std::int64_t an = n < 0 ? -n : n;
    std::int64_t ac = c < 0 ? -c : c;
    std::int64_t q = (an + ac / 2) / ac;
    q = negative ? -q : q;
    return static_cast<int>(std::clamp<std::int64_t>(q, INT32_MIN + 1, INT32_MAX));
}

int EffectivePpi(int ppi) { return ppi > 0 ? ppi : 96; }

}  // namespace

int TFont::DefaultPixelsPerInch() { return defaultPixelsPerInch.load(std::memory_order_relaxed); }

void TFont::SetDefaultPixelsPerInch(int ppi)
{
    if (ppi > 0)
        defaultPixelsPerInch.store(ppi, std::memory_order_relaxed);
}

int TFont::Size() const
{
    if (pointsGiven_ && Height == pointsHeight_ && PixelsPerInch == pointsPpi_)
        return points_;
    int ppi = EffectivePpi(PixelsPerInch);
    if (Height < 0)
        return MulDiv(-static_cast<std::int64_t>(Height), 72, ppi);
    // A cell height (or the default) says nothing of the em until the face
    // is known.
    return MulDiv(FontEngine::Instance().Face(*this).Em, 72, ppi);
}

void TFont::SetSize(int points)
{
    Height = -MulDiv(points, EffectivePpi(PixelsPerInch), 72);
    pointsGiven_ = true;
    points_ = points;
    pointsHeight_ = Height;
    pointsPpi_ = PixelsPerInch;
}

// ----------------------------------------------------------------- engine

namespace {

// Ems are clamped so that no font description, however large, can ask for
// glyphs of unbounded size.
constexpr int kMaxEm = 2048;
// Coverage kept before the glyph cache starts over.
constexpr std::size_t kCacheBudget = std::size_t(64) << 20;
// Sized faces kept before the cache starts over (each holds an FT_Face).
constexpr std::size_t kMaxSizes = 64;
// A height of 0 asks for the default size: 12 points.
constexpr int kDefaultPoints = 12;
// Longest decoration bar in one piece (RowBegin/RowEnd are 16-bit).
constexpr int kMaxBar = 16384;

// Fontconfig reports configuration and cache problems on stderr; nothing of
// ours may print there, so stderr points at /dev/null while it sets up.
class QuietStderr {
public:
    QuietStderr()
    {
        std::fflush(stderr);
        saved_ = ::dup(2);
        int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, 2);
        if (null >= 0)
            ::close(null);
    }
    ~QuietStderr()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, 2);
            ::close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

// Decodes one character and advances p. A byte that does not begin a
// well-formed sequence is taken as a Latin-1 character on its own.
inline char32_t NextChar(const unsigned char*& p, const unsigned char* end)
{
    char32_t cp;
    const std::size_t n =
        DecodeUtf8(std::string_view(reinterpret_cast<const char*>(p), std::size_t(end - p)), 0, cp);
    if (n == 0) {
        return *p++;
    }
    p += n;
    return cp;
}

// Row extents of the non-blank coverage, so blending skips blank margins.
void FillRowExtents(TGlyphImage& g)
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
    return sizeof(TGlyphImage) + (g ? g->Coverage.size() + g->RowBegin.size() * 8 + g->Runs.size() * sizeof(TCoverageRun) : 0);
}

}  // namespace

struct FontEngine::Impl {
    // A face file as resolved from a name and the bold/italic bits.
    struct Face {
        std::string file;
        int index = 0;
        std::string family;
        std::string style;
        bool syntheticBold = false;
        bool syntheticItalic = false;
        // Design metrics in font units; descent and line offsets are
        // positive downward.
        int unitsPerEm = 0;
        int ascent = 0;
        int descent = 0;
        int underlinePos = 0;  // centre of the underline
        int underlineSize = 0;
        int strikePos = 0;  // top of the strike-out stroke, above the baseline
        int strikeSize = 0;
        bool ok = false;
    };

    struct CharInfo {
        std::uint32_t glyph = 0;
        int advance = 0;
        bool ready = false;
    };

    struct Size;

    // A sized face turned by one escapement: the glyph images.
    struct Turned {
        struct Slot {
            const TGlyphImage* image = nullptr;
            int advance = 0;
            bool ready = false;
        };
        Size* size = nullptr;
        int escapement = 0;  // tenths of a degree, 0..3599
        double cos = 1;
        double sin = 0;
        FT_Matrix matrix{0x10000, 0, 0, 0x10000};
        std::array<Slot, 256> latin{};
        std::unordered_map<char32_t, Slot> others;
        std::unordered_map<std::uint32_t, std::unique_ptr<TGlyphImage>> glyphs;
        std::map<std::pair<int, int>, std::unique_ptr<TGlyphImage>> bars;  // (kind, length)

        bool AxisAligned() const { return escapement % 900 == 0; }
        // The unturned pen offset x turned onto the screen, whole pixels.
        TPoint Turn(int x) const
        {
            if (escapement == 0)
                return {x, 0};
            return {static_cast<int>(std::lround(x * cos)), static_cast<int>(std::lround(-x * sin))};
        }
    };

    // A face at one em: an FT_Face of its own, the character map and the
    // advances, and the turned glyph sets.
    struct Size {
        Face* face = nullptr;
        int em = 0;
        FT_Face ft = nullptr;
        TTextMetrics metrics;
        int underlineTop = 0, underlineHeight = 1;
        int strikeTop = 0, strikeHeight = 1;
        std::array<CharInfo, 256> latin{};
        std::unordered_map<char32_t, CharInfo> others;
        std::vector<std::unique_ptr<Turned>> turns;

        ~Size()
        {
            if (ft)
                FT_Done_Face(ft);
        }
    };

    // One recently used font description and what it resolved to.
    struct Recent {
        bool used = false;
        std::string name;
        int height = 0;
        unsigned style = 0;
        int escapement = 0;
        int ppi = 0;
        Face* face = nullptr;
        Size* size = nullptr;
        Turned* turned = nullptr;
        int em = 0;
        TTextMetrics metrics;
    };

    std::mutex mutex;
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::vector<std::unique_ptr<Face>> faces;
    std::map<std::string, Face*> facesByName;  // name + '\0' + bold/italic bits
    std::vector<std::unique_ptr<Size>> sizes;
    std::map<std::pair<Face*, int>, Size*> sizesByEm;
    std::array<Recent, 8> recent;
    std::size_t nextRecent = 0;
    std::size_t cacheBytes = 0;

    Impl()
    {
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
        LoadConfig();
    }

    ~Impl()
    {
        recent = {};
        sizesByEm.clear();
        sizes.clear();
        if (library)
            FT_Done_FreeType(library);
        if (config)
            FcConfigDestroy(config);
    }

    // The project's aliases are parsed before the system configuration, so
    // their strong family comes first whatever the system's rules add.
    void LoadConfig()
    {
        QuietStderr quiet;
        config = FcConfigCreate();
        if (!config)
            return;
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kFontsConf), FcFalse);
        // Without the system configuration there are no font folders; look
        // in the usual ones.
        if (!FcConfigParseAndLoad(config, nullptr, FcTrue) || !HasFontDirs()) {
            static const char* fallback =
                "<fontconfig><dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir>"
                "<dir prefix=\"xdg\">fonts</dir><cachedir prefix=\"xdg\">fontconfig</cachedir></fontconfig>";
            FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(fallback), FcFalse);
        }
        FcConfigBuildFonts(config);
    }

    bool HasFontDirs()
    {
        FcStrList* dirs = FcConfigGetFontDirs(config);
        if (!dirs)
            return false;
        bool any = FcStrListNext(dirs) != nullptr;
        FcStrListDone(dirs);
        return any;
    }

    void ClearSizes()
    {
        recent = {};
        nextRecent = 0;
        sizesByEm.clear();
        sizes.clear();
        cacheBytes = 0;
    }

    void TrimIfOverBudget()
    {
        if (cacheBytes > kCacheBudget || sizes.size() > kMaxSizes)
            ClearSizes();
    }

    // --------------------------------------------------------- faces

    // Reads a face's design metrics; false when FreeType cannot use it.
    bool ReadFace(Face& f)
    {
        if (!library)
            return false;
        FT_Face ft = nullptr;
        if (FT_New_Face(library, f.file.c_str(), f.index, &ft) != 0)
            return false;
        bool ok = FT_IS_SCALABLE(ft) && ft->units_per_EM > 0;
        if (ok) {
            f.unitsPerEm = ft->units_per_EM;
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
            bool hasOs2 = os2 && os2->version != 0xFFFF;
            if (hasOs2 && os2->usWinAscent + os2->usWinDescent > 0) {
                f.ascent = os2->usWinAscent;
                f.descent = os2->usWinDescent;
            } else {
                f.ascent = ft->ascender;
                f.descent = -ft->descender;
            }
            if (f.ascent + f.descent <= 0) {
                f.ascent = f.unitsPerEm * 4 / 5;
                f.descent = f.unitsPerEm - f.ascent;
            }
            f.underlinePos = -ft->underline_position;
            f.underlineSize = ft->underline_thickness;
            if (f.underlineSize <= 0) {
                f.underlineSize = f.unitsPerEm / 20;
                f.underlinePos = f.unitsPerEm / 10;
            }
            if (hasOs2 && os2->yStrikeoutSize > 0) {
                f.strikePos = os2->yStrikeoutPosition;
                f.strikeSize = os2->yStrikeoutSize;
            } else {
                f.strikeSize = f.underlineSize;
                f.strikePos = f.unitsPerEm * 3 / 10;
            }
            if (f.family.empty() && ft->family_name)
                f.family = ft->family_name;
            if (f.style.empty() && ft->style_name)
                f.style = ft->style_name;
        }
        FT_Done_Face(ft);
        return ok;
    }

    // Asks fontconfig for the best face; an empty family gives its default.
    bool MatchFace(const std::string& name, bool bold, bool italic, Face& out)
    {
        if (!config)
            return false;
        FcPattern* pattern = FcPatternCreate();
        if (!pattern)
            return false;
        if (!name.empty())
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match)
            return false;
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        FcChar8* style = nullptr;
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcBool embolden = FcFalse;
        bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
        if (ok) {
            out.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            out.index = index;
            if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family)
                out.family = reinterpret_cast<const char*>(family);
            if (FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch && style)
                out.style = reinterpret_cast<const char*>(style);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
            out.syntheticBold = bold && (weight < FC_WEIGHT_DEMIBOLD || embolden);
            out.syntheticItalic = italic && slant == FC_SLANT_ROMAN;
        }
        FcPatternDestroy(match);
        return ok && ReadFace(out);
    }

    Face* FaceFor(const std::string& name, unsigned style)
    {
        bool bold = style & fsBold;
        bool italic = style & fsItalic;
        std::string key = name;
        key += '\0';
        key += static_cast<char>('0' + (bold ? 1 : 0) + (italic ? 2 : 0));
        if (auto it = facesByName.find(key); it != facesByName.end())
            return it->second;

        Face found;
        if (!MatchFace(name, bold, italic, found)) {
            found = Face{};
            if (!MatchFace(std::string(), bold, italic, found))
                found = Face{};
        }
        found.ok = !found.file.empty() && found.unitsPerEm > 0;
        Face* face = nullptr;
        for (auto& f : faces) {
            if (f->ok == found.ok && f->file == found.file && f->index == found.index &&
                f->syntheticBold == found.syntheticBold && f->syntheticItalic == found.syntheticItalic) {
                face = f.get();
                break;
            }
        }
        if (!face) {
            faces.push_back(std::make_unique<Face>(std::move(found)));
            face = faces.back().get();
        }
        facesByName.emplace(std::move(key), face);
        return face;
    }

    static int EmFor(const Face& face, int height, int ppi)
    {
        std::int64_t em;
        if (height < 0)
            em = -static_cast<std::int64_t>(height);
        else if (height == 0)
            em = MulDiv(kDefaultPoints, EffectivePpi(ppi), 72);
        else if (face.ok)
            em = MulDiv(height, face.unitsPerEm, face.ascent + face.descent);  // from the cell
        else
            em = height;
        return static_cast<int>(std::clamp<std::int64_t>(em, 1, kMaxEm));
    }

    // ---------------------------------------------------------- sizes

    Size* SizeFor(Face* face, int em)
    {
        if (!face->ok || !library)
            return nullptr;
        auto key = std::make_pair(face, em);
        if (auto it = sizesByEm.find(key); it != sizesByEm.end())
            return it->second;
        auto size = std::make_unique<Size>();
        size->face = face;
        size->em = em;
        if (FT_New_Face(library, face->file.c_str(), face->index, &size->ft) != 0) {
            size->ft = nullptr;
        } else if (FT_Set_Pixel_Sizes(size->ft, 0, static_cast<FT_UInt>(em)) != 0) {
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
    bool LoadOutline(Size& size, std::uint32_t glyph, bool hinted)
    {
        if (!size.ft)
            return false;
        FT_Int32 flags = FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_TARGET_NORMAL : FT_LOAD_NO_HINTING);
        if (FT_Load_Glyph(size.ft, glyph, flags) != 0)
            return false;
        FT_GlyphSlot slot = size.ft->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;
        if (size.face->syntheticBold)
            FT_GlyphSlot_Embolden(slot);
        if (size.face->syntheticItalic)
            FT_GlyphSlot_Oblique(slot);
        return true;
    }

    const CharInfo& CharFor(Size& size, char32_t cp)
    {
        CharInfo& info = cp < 256 ? size.latin[cp] : size.others[cp];
        if (info.ready)
            return info;
        info.ready = true;
        if (!size.ft)
            return info;
        info.glyph = FT_Get_Char_Index(size.ft, cp);
        // Advances are the unturned hinted ones rounded to whole pixels, the
        // same for every escapement.
        if (LoadOutline(size, info.glyph, true))
            info.advance = static_cast<int>((size.ft->glyph->advance.x + 32) >> 6);
        return info;
    }

    // ------------------------------------------------------- glyph sets

    Turned* TurnedFor(Size& size, int escapement)
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

    const TGlyphImage* GlyphImage(Turned& t, std::uint32_t glyph)
    {
        if (auto it = t.glyphs.find(glyph); it != t.glyphs.end())
            return it->second.get();
        std::unique_ptr<TGlyphImage> image;
        Size& size = *t.size;
        // Hinting works on the pixel grid, which a slanting baseline leaves.
        if (LoadOutline(size, glyph, t.AxisAligned())) {
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

    const Turned::Slot& SlotFor(Turned& t, char32_t cp)
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
    const TGlyphImage* Bar(Turned& t, int kind, int length, int top, int thickness)
    {
        auto key = std::make_pair(kind, length);
        if (auto it = t.bars.find(key); it != t.bars.end())
            return it->second.get();
        std::unique_ptr<TGlyphImage> image;
        if (library && length > 0 && thickness > 0) {
            // Corners in 26.6, y upward.
            FT_Vector points[4] = {{0, -top * 64},
                                   {length * 64, -top * 64},
                                   {length * 64, -(top + thickness) * 64},
                                   {0, -(top + thickness) * 64}};
            char tags[4] = {FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON};
            short contours[1] = {3};
            FT_Outline outline{};
            outline.n_contours = 1;
            outline.n_points = 4;
            outline.points = points;
            outline.tags = tags;
            outline.contours = contours;
            outline.flags = FT_OUTLINE_NONE;
            if (t.escapement != 0)
                FT_Outline_Transform(&outline, &t.matrix);
            FT_BBox box;
            FT_Outline_Get_CBox(&outline, &box);
            FT_Pos x0 = box.xMin & ~63, y0 = box.yMin & ~63;
            FT_Pos x1 = (box.xMax + 63) & ~63, y1 = (box.yMax + 63) & ~63;
            FT_Outline_Translate(&outline, -x0, -y0);
            int w = static_cast<int>((x1 - x0) >> 6), h = static_cast<int>((y1 - y0) >> 6);
            if (w > 0 && h > 0) {
                std::vector<unsigned char> buffer(std::size_t(w) * h, 0);
                FT_Bitmap bm{};
                bm.rows = static_cast<unsigned>(h);
                bm.width = static_cast<unsigned>(w);
                bm.pitch = w;
                bm.buffer = buffer.data();
                bm.num_grays = 256;
                bm.pixel_mode = FT_PIXEL_MODE_GRAY;
                // FreeType's bitmap rows run top-down from y1.
                if (FT_Outline_Get_Bitmap(library, &outline, &bm) == 0)
                    image = ImageFromBitmap(bm, static_cast<int>(x0 >> 6), -static_cast<int>(y1 >> 6));
            }
        }
        const TGlyphImage* raw = image.get();
        cacheBytes += Footprint(raw);
        t.bars.emplace(key, std::move(image));
        return raw;
    }

    // ------------------------------------------------------ resolution

    Recent* Resolve(const TFont& font)
    {
        for (auto& r : recent) {
            if (r.used && r.height == font.Height && r.style == font.Style && r.escapement == font.Escapement &&
                r.ppi == font.PixelsPerInch && r.name == font.Name)
                return &r;
        }
        Recent& r = recent[nextRecent++ % recent.size()];
        r = Recent{};
        r.name = font.Name;
        r.height = font.Height;
        r.style = font.Style;
        r.escapement = font.Escapement;
        r.ppi = font.PixelsPerInch;
        r.face = FaceFor(font.Name, font.Style);
        r.em = EmFor(*r.face, font.Height, font.PixelsPerInch);
        r.size = SizeFor(r.face, r.em);
        if (r.size) {
            r.metrics = r.size->metrics;
            int escapement = font.Escapement % 3600;
            if (escapement < 0)
                escapement += 3600;
            r.turned = TurnedFor(*r.size, escapement);
        } else {
            r.metrics.Ascent = MulDiv(r.em, 4, 5);
            r.metrics.Descent = r.em - r.metrics.Ascent;
            r.metrics.Height = r.em;
        }
        // A cell height asked for is the cell height given (unless the em
        // it needs was out of range).
        if (font.Height > 0 && r.size &&
            MulDiv(font.Height, r.face->unitsPerEm, r.face->ascent + r.face->descent) <= kMaxEm) {
            r.metrics.Height = font.Height;
            r.metrics.Ascent = MulDiv(font.Height, r.face->ascent, r.face->ascent + r.face->descent);
            r.metrics.Descent = font.Height - r.metrics.Ascent;
        }
        r.used = true;
        return &r;
    }
};

FontEngine& FontEngine::Instance()
{
    static FontEngine engine;
    return engine;
}

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {}

FontEngine::~FontEngine() = default;

TTextMetrics FontEngine::Metrics(const TFont& font)
{
    std::lock_guard lock(impl_->mutex);
    return impl_->Resolve(font)->metrics;
}

int FontEngine::TextWidth(const TFont& font, std::string_view utf8)
{
    std::lock_guard lock(impl_->mutex);
    if (utf8.empty())
        return 0;
    impl_->TrimIfOverBudget();
    Impl::Size* size = impl_->Resolve(font)->size;
    if (!size)
        return 0;
    auto p = reinterpret_cast<const unsigned char*>(utf8.data());
    auto end = p + utf8.size();
    std::int64_t width = 0;
    while (p < end) {
        char32_t cp = NextChar(p, end);
        const Impl::CharInfo& info = cp < 256 && size->latin[cp].ready ? size->latin[cp] : impl_->CharFor(*size, cp);
        width += info.advance;
    }
    return static_cast<int>(std::min<std::int64_t>(width, INT32_MAX));
}

void FontEngine::Layout(const TFont& font, std::string_view utf8, std::vector<TPlacedGlyph>& out)
{
    out.clear();
    if (utf8.empty())
        return;
    std::lock_guard lock(impl_->mutex);
    impl_->TrimIfOverBudget();
    Impl::Recent* r = impl_->Resolve(font);
    Impl::Turned* t = r->turned;
    if (!t)
        return;
    auto p = reinterpret_cast<const unsigned char*>(utf8.data());
    auto end = p + utf8.size();
    // Nothing this far along the baseline can land on a bitmap.
    constexpr int kMaxPen = 1 << 26;
    int pen = 0;
    while (p < end && pen < kMaxPen) {
        char32_t cp = NextChar(p, end);
        const Impl::Turned::Slot& slot = cp < 256 && t->latin[cp].ready ? t->latin[cp] : impl_->SlotFor(*t, cp);
        if (slot.image) {
            TPoint at = t->Turn(pen);
            out.push_back({at.X, at.Y, slot.image});
        }
        pen += slot.advance;
    }
    if (font.Style & (fsUnderline | fsStrikeOut)) {
        const Impl::Size& size = *t->size;
        for (int kind = 0; kind < 2; ++kind) {
            if (!(font.Style & (kind == 0 ? fsUnderline : fsStrikeOut)))
                continue;
            int top = kind == 0 ? size.underlineTop : size.strikeTop;
            int thickness = kind == 0 ? size.underlineHeight : size.strikeHeight;
            for (int x = 0; x < pen; x += kMaxBar) {
                int length = std::min(kMaxBar, pen - x);
                if (const TGlyphImage* bar = impl_->Bar(*t, kind, length, top, thickness)) {
                    TPoint at = t->Turn(x);
                    out.push_back({at.X, at.Y, bar});
                }
            }
        }
    }
}

TFaceInfo FontEngine::Face(const TFont& font)
{
    std::lock_guard lock(impl_->mutex);
    Impl::Recent* r = impl_->Resolve(font);
    TFaceInfo info;
    if (r->face->ok) {
        info.Family = r->face->family;
        info.Style = r->face->style;
        info.File = r->face->file;
        info.SyntheticBold = r->face->syntheticBold;
        info.SyntheticItalic = r->face->syntheticItalic;
    }
    info.Em = r->em;
    return info;
}

void FontEngine::ClearCache()
{
    std::lock_guard lock(impl_->mutex);
    impl_->ClearSizes();
}
