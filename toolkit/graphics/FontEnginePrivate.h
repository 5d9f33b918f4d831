// What the font engine's source files share: the integer size arithmetic,
// the em limit and the engine's state. The faces live in FontEngineFaces.cpp,
// the sized faces and the glyph cache in FontEngineGlyphs.cpp, and point
// sizes, the resolution of a font description and the public calls in
// FontEngine.cpp.
#pragma once

#include "toolkit/graphics/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace font_detail {

// a * b / c rounded half away from zero, clamped to int.
inline int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
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

inline int EffectivePpi(int ppi) { return ppi > 0 ? ppi : 96; }

// Ems up to this are rendered whole and kept as coverage; a larger glyph
// keeps its outline, and only the part of it that lands on a bitmap is
// rendered (FontEngineOutlines.cpp).
constexpr int kMaxRasterEm = 2048;
// Ems are held at this, a glyph some million pixels high: every position
// and box of a line of text then stays well inside the int range.
constexpr int kMaxEm = 1 << 22;

// Row extents and runs of a glyph image's coverage.
void FillRowExtents(TGlyphImage& g);

}  // namespace font_detail

// A large glyph's outline in pixels from the pen position, y downward,
// turned like the glyph: contours of points tagged as FreeType tags them
// (on the curve, conic or cubic control point). The part last rendered is
// kept, as a paint tends to ask for the same part again.
struct TGlyphOutline {
    struct Point {
        double X = 0;
        double Y = 0;
    };
    std::vector<Point> Points;
    std::vector<char> Tags;
    std::vector<int> Ends;  // index of each contour's last point

    bool HasPart = false;
    TRect Part;
    TGlyphImage Image;
};

namespace font_detail {

// The outline of an FT_Outline, its coordinates multiplied by scale and
// turned by (cos, sin) counter-clockwise; nullptr when it has no points.
std::unique_ptr<TGlyphImage> LargeGlyph(const FT_Outline& outline, double scale, double cos, double sin);
// Renders the part of a large glyph's outline inside the box (pixels from
// the pen, y downward) into image.
void RenderOutlinePart(FT_Library library, const TGlyphOutline& outline, const TRect& box, TGlyphImage& image);

}  // namespace font_detail

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
        // Above kMaxRasterEm: outlines in font units, scaled here.
        bool large = false;
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

    Impl();
    ~Impl();

    // The glyph cache's budget.
    void ClearSizes();
    void TrimIfOverBudget();

    // Faces: the configuration, matching a name and reading the design
    // metrics.
    void LoadConfig();
    bool HasFontDirs();
    bool ReadFace(Face& f);
    bool MatchFace(const std::string& name, bool bold, bool italic, Face& out);
    Face* FaceFor(const std::string& name, unsigned style);
    static int EmFor(const Face& face, int height, int ppi);

    // Sizes and turned glyph sets.
    Size* SizeFor(Face* face, int em);
    bool LoadOutline(Size& size, std::uint32_t glyph, bool hinted);
    const CharInfo& CharFor(Size& size, char32_t cp);
    Turned* TurnedFor(Size& size, int escapement);
    const TGlyphImage* GlyphImage(Turned& t, std::uint32_t glyph);
    const Turned::Slot& SlotFor(Turned& t, char32_t cp);
    const TGlyphImage* Bar(Turned& t, int kind, int length, int top, int thickness);

    // What a font description resolves to, kept for the last few.
    Recent* Resolve(const TFont& font);
};
