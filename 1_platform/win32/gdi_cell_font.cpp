// Fitting and painting GDI cell fonts.
#include "1_platform/win32/gdi_cell_font.h"

#include <algorithm>
#include <vector>

namespace kal {

namespace {

constexpr wchar_t kFallbackFace[] = L"Courier New";

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

// A weight of 0 is the regular style; others go to GDI as they are (700 is
// bold; GDI thickens a face that has no bold style).
HFONT MakeFont(const std::wstring& face, int weight, int height) {
  return CreateFontW(height, 0, 0, 0, weight > 0 ? weight : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN,
                     face.c_str());
}

struct Measures {
  int line = 0, advance = 0, ascent = 0;
};

Measures Measure(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE m{};
  GetTextExtentPoint32W(dc, L"M", 1, &m);
  SelectObject(dc, old);
  return {static_cast<int>(tm.tmHeight), static_cast<int>(m.cx), static_cast<int>(tm.tmAscent)};
}

}  // namespace

std::wstring ChooseFace(const std::string& face) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  // Latin-1 as it is; a name longer than a face name can be is no face.
  if (face.empty() || face.size() >= LF_FACESIZE) return kFallbackFace;
  for (size_t i = 0; i < face.size(); ++i) lf.lfFaceName[i] = static_cast<unsigned char>(face[i]);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &lf, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found ? std::wstring(lf.lfFaceName) : std::wstring(kFallbackFace);
}

GdiCellFont::~GdiCellFont() { Release(); }

void GdiCellFont::Release() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
}

// The largest cell height (GDI's positive font height) whose line and
// advance fit, found by halving the range.
bool GdiCellFont::Fit(const std::wstring& face, int weight, int w, int h) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  int lo = 1, hi = h;
  HFONT best = nullptr;
  Measures best_m;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    HFONT f = MakeFont(face, weight, mid);
    Measures m = f ? Measure(dc, f) : Measures{};
    if (f && m.line <= h && m.advance <= w) {
      if (best) DeleteObject(best);
      best = f;
      best_m = m;
      lo = mid + 1;
    } else {
      if (f) DeleteObject(f);
      hi = mid - 1;
    }
  }
  if (!best) best = MakeFont(face, weight, 1), best_m = best ? Measure(dc, best) : Measures{};
  DeleteDC(dc);
  if (!best) return false;
  Release();
  font_ = best;
  w_ = w;
  h_ = h;
  top_ = std::max(0, (h - best_m.line) / 2);
  baseline_ = top_ + best_m.ascent;
  return true;
}

void GdiCellFont::PaintRun(HDC dc, int x, int y, const std::string& text, Rgb fg, Rgb bg) const {
  if (!font_ || text.empty()) return;
  std::wstring wide(text.size(), L' ');
  for (size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  std::vector<INT> advances(text.size(), w_);
  RECT cells{x, y, x + static_cast<int>(text.size()) * w_, y + h_};
  HGDIOBJ old = SelectObject(dc, font_);
  SetTextColor(dc, RGB(fg.r, fg.g, fg.b));
  SetBkColor(dc, RGB(bg.r, bg.g, bg.b));
  SetBkMode(dc, OPAQUE);
  ExtTextOutW(dc, x, y + top_, ETO_OPAQUE | ETO_CLIPPED, &cells, wide.data(), static_cast<UINT>(wide.size()),
              advances.data());
  SelectObject(dc, old);
}

}  // namespace kal
