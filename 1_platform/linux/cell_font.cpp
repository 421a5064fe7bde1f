// Fitting a font to the cell and painting runs of cells with it.
#if KALDORIN_HAVE_WINDOW
#include "1_platform/linux/cell_font.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

namespace kal {

namespace {

constexpr int kLargestSize = 512;

// Weights from 600 (semi-bold) up are drawn bold.
constexpr int kBoldWeight = 600;

// The best match for a pattern: its file, the family it really has and its
// weight (fontconfig's scale).
struct Match {
  std::string file, family;
  int weight = FC_WEIGHT_REGULAR;
};

bool MatchFont(FcPattern* pattern, Match* out) {
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool found = false;
  if (match) {
    FcChar8* f = nullptr;
    FcChar8* fam = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch) {
      out->file = reinterpret_cast<const char*>(f);
      found = true;
    }
    if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch)
      out->family = reinterpret_cast<const char*>(fam);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &out->weight);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

// A pattern of a family (taken as a value, never parsed as a pattern) in the
// weight asked for.
FcPattern* FamilyPattern(const char* family, int weight) {
  FcPattern* p = FcPatternCreate();
  FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  if (weight > 0) FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(weight));
  return p;
}

FontSource SourceOf(const Match& m, int weight) {
  return {m.file, weight >= kBoldWeight && m.weight < FC_WEIGHT_DEMIBOLD};
}

}  // namespace

FontSource FindFont(const std::string& face, int weight) {
  if (!FcInit()) return {};
  Match m;
  if (!face.empty() && MatchFont(FamilyPattern(face.c_str(), weight), &m) &&
      strcasecmp(m.family.c_str(), face.c_str()) == 0)
    return SourceOf(m, weight);
  FcPattern* p = FamilyPattern("monospace", weight);
  FcPatternAddInteger(p, FC_SPACING, FC_MONO);
  m = Match{};
  if (!MatchFont(p, &m)) return {};
  return SourceOf(m, weight);
}

CellFont::~CellFont() {
  if (font_) TTF_CloseFont(font_);
}

bool CellFont::Fit(const FontSource& source, int w, int h) {
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (!font_ || source != source_) {
    if (font_) TTF_CloseFont(font_);
    font_ = TTF_OpenFont(source.file.c_str(), 12);
    source_ = source;
    glyphs_.clear();
    if (!font_) return false;
    if (source.embolden) TTF_SetFontStyle(font_, TTF_STYLE_BOLD);
  }
  if (w == w_ && h == h_ && !glyphs_.empty()) return true;
  auto fits = [&](int size) {
    if (TTF_SetFontSize(font_, size) != 0) return false;
    int advance = 0;
    if (TTF_GlyphMetrics32(font_, 'M', nullptr, nullptr, nullptr, nullptr, &advance) != 0) return false;
    return TTF_FontHeight(font_) <= h && advance <= w;
  };
  int lo = 1, hi = kLargestSize;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (fits(mid)) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  TTF_SetFontSize(font_, lo);
  w_ = w;
  h_ = h;
  RenderGlyphs();
  return true;
}

// Each glyph on a cell of its own: rendered white on black, the palette
// index giving the coverage; the font's line is centred in the cell.
void CellFont::RenderGlyphs() {
  glyphs_.assign(static_cast<size_t>(256) * w_ * h_, 0);
  int top = std::max(0, (h_ - TTF_FontHeight(font_)) / 2);
  baseline_ = std::min(h_ - 1, top + TTF_FontAscent(font_));
  SDL_Color white{255, 255, 255, 255}, black{0, 0, 0, 255};
  for (int c = 33; c < 256; ++c) {
    if (c >= 0x7F && c < 0xA0) continue;  // control codes: blank cells
    SDL_Surface* s = TTF_RenderGlyph32_Shaded(font_, static_cast<Uint32>(c), white, black);
    if (!s) continue;
    if (s->format->BytesPerPixel == 1 && s->format->palette) {
      uint8_t* map = &glyphs_[static_cast<size_t>(c) * w_ * h_];
      SDL_Color* colours = s->format->palette->colors;
      int ncolours = s->format->palette->ncolors;
      for (int y = 0; y < s->h && top + y < h_; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < s->w && x < w_; ++x)
          map[(top + y) * w_ + x] = row[x] < ncolours ? colours[row[x]].r : 0;
      }
    }
    SDL_FreeSurface(s);
  }
  shades_.clear();
}

const std::array<uint32_t, 256>& CellFont::Shades(SDL_PixelFormat* format, Rgb fg, Rgb bg) {
  if (format->format != shades_format_) {
    shades_.clear();
    shades_format_ = format->format;
  }
  uint64_t key = (uint64_t(fg.r) << 40) | (uint64_t(fg.g) << 32) | (uint64_t(fg.b) << 24) | (bg.r << 16) |
                 (bg.g << 8) | bg.b;
  auto it = shades_.find(key);
  if (it != shades_.end()) return it->second;
  std::array<uint32_t, 256> s;
  for (int i = 0; i < 256; ++i) {
    auto mix = [i](uint8_t f, uint8_t b) { return static_cast<Uint8>(b + (int(f) - int(b)) * i / 255); };
    s[i] = SDL_MapRGB(format, mix(fg.r, bg.r), mix(fg.g, bg.g), mix(fg.b, bg.b));
  }
  return shades_.emplace(key, s).first->second;
}

void CellFont::PaintRun(SDL_Surface* dst, int x, int y, const std::string& text, Rgb fg, Rgb bg) {
  if (glyphs_.empty() || dst->format->BytesPerPixel != 4) return;
  const std::array<uint32_t, 256>& shade = Shades(dst->format, fg, bg);
  int y0 = std::max(0, -y), y1 = std::min(h_, dst->h - y);
  for (size_t i = 0; i < text.size(); ++i, x += w_) {
    int x0 = std::max(0, -x), x1 = std::min(w_, dst->w - x);
    if (x1 <= x0 || y1 <= y0) continue;
    const uint8_t* map = &glyphs_[static_cast<size_t>(static_cast<uint8_t>(text[i])) * w_ * h_];
    for (int gy = y0; gy < y1; ++gy) {
      uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(dst->pixels) + (y + gy) * dst->pitch) + x;
      const uint8_t* cov = map + gy * w_;
      for (int gx = x0; gx < x1; ++gx) out[gx] = shade[cov[gx]];
    }
  }
}

}  // namespace kal

#endif  // KALDORIN_HAVE_WINDOW
