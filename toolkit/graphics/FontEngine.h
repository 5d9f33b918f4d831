// Finds faces by name (fontconfig, with the project's own aliases for the
// classic face names) and renders glyphs (FreeType) into a cache. The canvas
// lays the glyphs out and blends them; this file knows nothing of bitmaps.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A stretch of one coverage row: all 255 (Solid) or partly covered pixels.
struct TCoverageRun {
    std::uint16_t Begin = 0;
    std::uint16_t End = 0;
    bool Solid = false;
};

struct TGlyphOutline;

// One rendered glyph: 8-bit coverage, rows top-down. (Left, Top) is the
// offset of the coverage's top-left pixel from the pen position on the
// baseline, y downward (Top is usually negative).
struct TGlyphImage {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Coverage;
    // Per row, the first and one-past-last column with non-zero coverage
    // (equal when the row is empty), so blending can skip blank margins.
    std::vector<std::uint16_t> RowBegin;
    std::vector<std::uint16_t> RowEnd;
    // The non-blank stretches, row by row: those of row y are
    // Runs[RowRuns[y]] up to Runs[RowRuns[y + 1]].
    std::vector<TCoverageRun> Runs;
    std::vector<std::uint32_t> RowRuns;
    // A glyph too large to render whole keeps its outline instead, and no
    // coverage: Left, Top, Width and Height are its box, and the part of it
    // that a bitmap shows comes from FontEngine::RenderPart.
    std::shared_ptr<TGlyphOutline> Outline;
};

// A glyph placed relative to the text's origin on the baseline, y downward.
struct TPlacedGlyph {
    int X = 0;
    int Y = 0;
    const TGlyphImage* Image = nullptr;
};

struct TTextMetrics {
    int Ascent = 0;   // pixels above the baseline
    int Descent = 0;  // pixels below it
    int Height = 0;   // Ascent + Descent: the cell height
};

// The face a font description resolves to, and its em in pixels.
struct TFaceInfo {
    std::string Family;  // empty when no face could be loaded at all
    std::string Style;
    std::string File;
    int Em = 0;
    bool SyntheticBold = false;    // no bold face: the outlines are emboldened
    bool SyntheticItalic = false;  // no italic face: the outlines are slanted
};

// Calls are serialised by a lock; glyph pointers are for the thread that
// asked for them, until its next Layout.
class FontEngine {
public:
    static FontEngine& Instance();

    TTextMetrics Metrics(const TFont& font);
    // The advance of the whole string, unturned, in whole pixels.
    int TextWidth(const TFont& font, std::string_view utf8);
    // Lays the string out along its baseline turned by the font's
    // escapement, starting at the origin (0, 0); blank glyphs are left out,
    // underline and strike-out come as extra coverage. The pointers stay
    // valid until the next Layout or ClearCache (a Layout may drop the
    // glyph cache first when it has outgrown its budget); the vector is
    // reused between calls.
    //
    // Text is UTF-8; a byte that does not start a well-formed sequence is
    // taken as a Latin-1 character, so legacy 8-bit text still shows.
    void Layout(const TFont& font, std::string_view utf8, std::vector<TPlacedGlyph>& out);
    TFaceInfo Face(const TFont& font);
    // The part of a glyph that keeps its outline inside the rectangle part
    // (pixels of the glyph's box, (0, 0) its top-left), rendered as one
    // whose Left and Top are offsets from the pen like the whole glyph's.
    // The cost follows the part's area, not the glyph's size. The answer
    // stays valid until the next RenderPart of the same glyph, Layout or
    // ClearCache.
    const TGlyphImage& RenderPart(const TGlyphImage& glyph, const TRect& part);
    void ClearCache();

private:
    FontEngine();
    ~FontEngine();
    struct Impl;
    const std::unique_ptr<Impl> impl_;
};
