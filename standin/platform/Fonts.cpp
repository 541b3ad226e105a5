#include "standin/platform/Fonts.h"

#include <cmath>
#include <cwctype>
#include <deque>
#include <filesystem>
#include <optional>

#include "standin/platform/FontLayout.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/WindowMessages.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr double kDefaultPixels = 11.0;  // 8 point at 96 dots per inch

struct FontRecord {
  double pixels = kDefaultPixels;  // em size
  bool bold = false;
  bool italic = false;
};

struct DcRecord {
  HWND window = nullptr;
  HGDIOBJ font = nullptr;
  bool inUse = false;
};

// All live for the whole process: fonts and device contexts are small and
// module-level objects may still use them at exit.
struct FontState {
  std::deque<FontRecord> fonts;
  std::deque<DcRecord> dcs;
  std::wstring error;
  std::optional<std::wstring> fileOverride;
  HFONT stockFont = nullptr;
  PangoContext* context = nullptr;
};

FontState& State() {
  static auto* state = new FontState;
  return *state;
}

FontRecord* FontOf(const void* handle) {
  for (FontRecord& font : State().fonts)
    if (&font == handle) return &font;
  return nullptr;
}

DcRecord* DcOf(HDC dc) {
  for (DcRecord& record : State().dcs)
    if (reinterpret_cast<HDC>(&record) == dc) return record.inUse ? &record : nullptr;
  return nullptr;
}

cairo_font_options_t* FontOptions() {
  static cairo_font_options_t* options = [] {
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    return o;
  }();
  return options;
}

PangoFontDescription* Describe(const FontRecord& font) {
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, kFamily);
  pango_font_description_set_absolute_size(description, font.pixels * PANGO_SCALE);
  pango_font_description_set_weight(description, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return description;
}

PangoContext* MeasuringContext() {
  auto& state = State();
  if (!state.context) {
    state.context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_font_options(state.context, FontOptions());
    pango_cairo_context_set_resolution(state.context, 96.0);
  }
  return state.context;
}

// The font file must be there and fontconfig must give that family, else
// every text would be measured with some other font.
bool FontAvailable() {
  auto& state = State();
  const std::wstring file = zem::DialogFontFile();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(zem::ToUtf8(file), ec)) {
    state.error =
        L"The dialog font file " + file + L" is missing; install the Debian package " + zem::kDialogFontPackage + L".";
    return false;
  }
  PangoFontDescription* description = Describe(FontRecord{});
  PangoFont* font = pango_context_load_font(MeasuringContext(), description);
  pango_font_description_free(description);
  std::string family;
  if (font) {
    PangoFontDescription* loaded = pango_font_describe(font);
    if (const char* name = pango_font_description_get_family(loaded)) family = name;
    pango_font_description_free(loaded);
    g_object_unref(font);
  }
  if (family != kFamily) {
    state.error = L"The font DejaVu Sans cannot be loaded (got \"" + zem::FromUtf8(family) +
                  L"\"); install the Debian package " + zem::kDialogFontPackage + L".";
    return false;
  }
  state.error.clear();
  return true;
}

HFONT MakeFont(FontRecord record) {
  if (!FontAvailable()) return nullptr;
  // Fonts are never freed, so equal ones are shared rather than piled up.
  for (FontRecord& font : State().fonts)
    if (font.pixels == record.pixels && font.bold == record.bold && font.italic == record.italic)
      return reinterpret_cast<HFONT>(&font);
  State().fonts.push_back(record);
  return reinterpret_cast<HFONT>(&State().fonts.back());
}

// The font a device context measures with.
const FontRecord* SelectedFont(HDC dc) {
  DcRecord* record = DcOf(dc);
  if (!record) return nullptr;
  if (const FontRecord* font = FontOf(record->font)) return font;
  return FontOf(GetStockObject(DEFAULT_GUI_FONT));
}

PangoLayout* LayoutFor(PangoContext* context, const FontRecord& font, const std::wstring& text) {
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* description = Describe(font);
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  const std::string utf8 = zem::ToUtf8(text);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  return layout;
}

}  // namespace

HFONT CreateFontW(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  LPCWSTR) {
  FontRecord record;
  record.bold = weight >= 600;
  record.italic = italic != 0;
  if (height < 0) {
    record.pixels = -height;
  } else if (height > 0) {
    // A cell height: the em is the cell less the font's internal leading.
    record.pixels = height * kDefaultPixels / 13.0;
  }
  return MakeFont(record);
}

HGDIOBJ GetStockObject(int object) {
  if (object != DEFAULT_GUI_FONT) return nullptr;
  auto& state = State();
  if (!state.stockFont) state.stockFont = MakeFont(FontRecord{});
  return reinterpret_cast<HGDIOBJ>(state.stockFont);
}

BOOL DeleteObject(HGDIOBJ object) {
  // Fonts stay: windows may still refer to them.
  return FontOf(object) ? TRUE : FALSE;
}

HDC GetDC(HWND window) {
  const DcRecord fresh{window, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)), true};
  // Released contexts are taken again.
  for (DcRecord& record : State().dcs) {
    if (!record.inUse) {
      record = fresh;
      return reinterpret_cast<HDC>(&record);
    }
  }
  State().dcs.push_back(fresh);
  return reinterpret_cast<HDC>(&State().dcs.back());
}

int ReleaseDC(HWND, HDC dc) {
  DcRecord* record = DcOf(dc);
  if (!record) return 0;
  *record = DcRecord{};
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  DcRecord* record = DcOf(dc);
  if (!record || !FontOf(object)) return nullptr;
  HGDIOBJ previous = record->font ? record->font : GetStockObject(DEFAULT_GUI_FONT);
  record->font = object;
  return previous;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int length, SIZE* size) {
  const FontRecord* font = SelectedFont(dc);
  if (!font || !size || length < 0 || (length > 0 && !text)) return FALSE;
  PangoLayout* layout =
      LayoutFor(MeasuringContext(), *font, std::wstring(text ? text : L"", static_cast<std::size_t>(length)));
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  g_object_unref(layout);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  size->cx = logical.width;
  size->cy = metrics.tmHeight;
  return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
  const FontRecord* font = SelectedFont(dc);
  if (!font || !metrics) return FALSE;
  PangoFontDescription* description = Describe(*font);
  PangoFontMetrics* m = pango_context_get_metrics(MeasuringContext(), description, nullptr);
  pango_font_description_free(description);
  *metrics = TEXTMETRICW{};
  metrics->tmAscent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(m));
  metrics->tmDescent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(m));
  metrics->tmHeight = metrics->tmAscent + metrics->tmDescent;
  metrics->tmInternalLeading = std::max<LONG>(0, metrics->tmHeight - static_cast<LONG>(std::lround(font->pixels)));
  metrics->tmAveCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(m));
  metrics->tmMaxCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_digit_width(m)) * 2;
  metrics->tmWeight = font->bold ? FW_BOLD : FW_NORMAL;
  pango_font_metrics_unref(m);
  return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  if (!rect || !IsWindow(dialog)) return FALSE;
  auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (!font) font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  int baseX = 0, baseY = 0;
  if (!zem::DialogBaseUnits(font, baseX, baseY)) return FALSE;
  *rect = zem::DialogUnitsToPixels(*rect, baseX, baseY);
  return TRUE;
}

const std::wstring& zem::FontError() { return State().error; }

HFONT zem::CreateDialogFont(LPCWSTR, int pointSize) {
  // Point size to pixels at 96 dots per inch, rounded as Windows does.
  return CreateFontW(-static_cast<int>(std::lround(pointSize * 96.0 / 72.0)), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0,
                     0, L"MS Shell Dlg");
}

bool zem::DialogBaseUnits(HFONT font, int& baseX, int& baseY) {
  if (!FontOf(font)) return false;
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = GetDC(nullptr);
  SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
  SIZE extent;
  const bool ok = GetTextExtentPoint32W(dc, kLetters, 52, &extent) && extent.cx > 0;
  ReleaseDC(nullptr, dc);
  if (!ok) return false;
  baseX = static_cast<int>((extent.cx / 26 + 1) / 2);
  baseY = static_cast<int>(extent.cy);
  return baseY > 0;
}

RECT zem::DialogUnitsToPixels(const RECT& units, int baseX, int baseY) {
  // MulDiv rounds to nearest.
  const auto mul = [](LONG v, int base, int div) {
    return static_cast<LONG>(std::lround(static_cast<double>(v) * base / div));
  };
  return RECT{mul(units.left, baseX, 4), mul(units.top, baseY, 8), mul(units.right, baseX, 4),
              mul(units.bottom, baseY, 8)};
}

std::wstring zem::DialogFontFile() {
  if (State().fileOverride) return *State().fileOverride;
  return L"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

void zem::OverrideDialogFontFile(const std::wstring& path) {
  State().fileOverride = path.empty() ? std::nullopt : std::optional<std::wstring>(path);
}

PangoLayout* zem::CreateTextLayout(cairo_t* cr, HFONT font, const std::wstring& text) {
  const FontRecord* record = FontOf(font);
  if (!record) record = FontOf(GetStockObject(DEFAULT_GUI_FONT));
  if (!record) return nullptr;
  PangoContext* context = pango_cairo_create_context(cr);
  pango_cairo_context_set_font_options(context, FontOptions());
  pango_cairo_context_set_resolution(context, 96.0);
  PangoLayout* layout = LayoutFor(context, *record, text);
  g_object_unref(context);
  return layout;
}
