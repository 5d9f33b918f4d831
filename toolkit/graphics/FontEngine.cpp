// Font sizes, the resolution of a font description to a face, a size and a
// turned glyph set, and the engine's public calls: metrics, widths, layouts.
#include "toolkit/graphics/FontEnginePrivate.h"
#include "toolkit/system/Encoding.h"

#include <atomic>

using namespace font_detail;

// ------------------------------------------------------------ font sizes

namespace {

std::atomic<int> defaultPixelsPerInch{96};

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

// Longest decoration bar in one piece (RowBegin/RowEnd are 16-bit).
constexpr int kMaxBar = 16384;

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

}  // namespace

FontEngine::Impl::Impl()
{
    if (FT_Init_FreeType(&library) != 0)
        library = nullptr;
    LoadConfig();
}

FontEngine::Impl::~Impl()
{
    recent = {};
    sizesByEm.clear();
    sizes.clear();
    if (library)
        FT_Done_FreeType(library);
    if (config)
        FcConfigDestroy(config);
}

// ------------------------------------------------------------ resolution

auto FontEngine::Impl::Resolve(const TFont& font) -> Recent*
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
            // A large size's bar is rendered in parts anyway: one piece.
            const int piece = size.large ? pen : kMaxBar;
            for (int x = 0; x < pen; x += piece) {
                int length = std::min(piece, pen - x);
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
