#include "gui/platform/linux/FontRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace platform::canvas {
namespace {

struct LoadedFace {
    std::string file;
    FT_Face face = nullptr;
};

// Process-wide FreeType library and faces, one per resolved (face, weight, slant).
class FaceCache {
public:
    static FaceCache& instance() {
        static FaceCache cache;
        return cache;
    }

    // The face at the font's pixel size, or none when nothing could be loaded.
    FT_Face sized(const FontSpec& font, std::string* file = nullptr) {
        LoadedFace& loaded = lookUp(font);
        if (!loaded.face) return nullptr;
        if (file) *file = loaded.file;
        FT_UInt pixels = FT_UInt(std::max(1, std::abs(font.height)));
        if (FT_Set_Pixel_Sizes(loaded.face, 0, pixels) != 0) return nullptr;
        return loaded.face;
    }

    std::mutex lock;

private:
    FaceCache() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    ~FaceCache() {
        for (auto& entry : faces)
            if (entry.second.face) FT_Done_Face(entry.second.face);
        if (library) FT_Done_FreeType(library);
    }

    LoadedFace& lookUp(const FontSpec& font) {
        auto key = std::make_tuple(std::string(font.face ? font.face : ""), font.weight >= 600, font.italic);
        auto found = faces.find(key);
        if (found != faces.end()) return found->second;
        LoadedFace& loaded = faces[key];
        loaded.file = matchFile(font);
        if (library && !loaded.file.empty() && FT_New_Face(library, loaded.file.c_str(), 0, &loaded.face) != 0)
            loaded.face = nullptr;
        return loaded;
    }

    static std::string matchFile(const FontSpec& font) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.face ? font.face : "sans-serif"));
        FcPatternAddInteger(pattern, FC_WEIGHT, font.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        std::string file;
        FcChar8* path = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        return file;
    }

    FT_Library library = nullptr;
    std::map<std::tuple<std::string, bool, bool>, LoadedFace> faces;
};

int roundedPixels(FT_Pos value) { return int((value + 32) >> 6); }

}  // namespace

int FontRenderer::textWidth(const FontSpec& font, const char* text) {
    if (!text) return 0;
    FaceCache& cache = FaceCache::instance();
    std::lock_guard<std::mutex> guard(cache.lock);
    FT_Face face = cache.sized(font);
    if (!face) return 0;
    int width = 0;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_DEFAULT) == 0)
            width += roundedPixels(face->glyph->advance.x);
    }
    return width;
}

TextMetrics FontRenderer::metrics(const FontSpec& font) {
    FaceCache& cache = FaceCache::instance();
    std::lock_guard<std::mutex> guard(cache.lock);
    TextMetrics m;
    FT_Face face = cache.sized(font);
    if (!face) return m;
    m.ascent = roundedPixels(face->size->metrics.ascender);
    m.descent = roundedPixels(-face->size->metrics.descender);
    return m;
}

void FontRenderer::draw(Canvas& canvas, const FontSpec& font, const char* text, int x, int baseline, Pixel color,
                        const CBounds& clipRect) {
    if (!text) return;
    FaceCache& cache = FaceCache::instance();
    std::lock_guard<std::mutex> guard(cache.lock);
    FT_Face face = cache.sized(font);
    if (!face) return;
    int penX = x;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const int y = baseline - glyph->bitmap_top + int(row);
                const unsigned char* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    const int px = penX + glyph->bitmap_left + int(col);
                    if (clipRect.containsStrict(CPos(px, y))) canvas.cover(px, y, color, src[col]);
                }
            }
        }
        penX += roundedPixels(glyph->advance.x);
    }
    if (font.underline) {
        const int thickness = std::max(1, roundedPixels(FT_MulFix(face->underline_thickness, face->size->metrics.y_scale)));
        const int offset = roundedPixels(-FT_MulFix(face->underline_position, face->size->metrics.y_scale));
        for (int t = 0; t < thickness; ++t)
            for (int px = x; px < penX; ++px)
                if (clipRect.containsStrict(CPos(px, baseline + offset + t))) canvas.put(px, baseline + offset + t, color);
    }
}

const char* FontRenderer::resolvedFile(const FontSpec& font) {
    static thread_local std::string file;
    FaceCache& cache = FaceCache::instance();
    std::lock_guard<std::mutex> guard(cache.lock);
    file.clear();
    cache.sized(font, &file);
    return file.c_str();
}

}  // namespace platform::canvas
