// Faces: the engine's own fontconfig configuration, matching a face name
// and style to a face file, and the face's design metrics.
#include "toolkit/graphics/FontEnginePrivate.h"

#include "FontsConf.h"

#include FT_TRUETYPE_TABLES_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

using namespace font_detail;

namespace {

// A height of 0 asks for the default size: 12 points.
constexpr int kDefaultPoints = 12;

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

}  // namespace

// The project's aliases are parsed before the system configuration, so
// their strong family comes first whatever the system's rules add.
void FontEngine::Impl::LoadConfig()
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

bool FontEngine::Impl::HasFontDirs()
{
    FcStrList* dirs = FcConfigGetFontDirs(config);
    if (!dirs)
        return false;
    bool any = FcStrListNext(dirs) != nullptr;
    FcStrListDone(dirs);
    return any;
}

// ----------------------------------------------------------------- faces

// Reads a face's design metrics; false when FreeType cannot use it.
bool FontEngine::Impl::ReadFace(Face& f)
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
bool FontEngine::Impl::MatchFace(const std::string& name, bool bold, bool italic, Face& out)
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

auto FontEngine::Impl::FaceFor(const std::string& name, unsigned style) -> Face*
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

int FontEngine::Impl::EmFor(const Face& face, int height, int ppi)
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
