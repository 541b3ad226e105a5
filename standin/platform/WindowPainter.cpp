#include "standin/platform/WindowPainter.h"

#include <cairo.h>

#include "standin/platform/Controls.h"
#include "standin/platform/FontLayout.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/Resources.h"
#include "standin/platform/SystemMenu.h"
#include "standin/platform/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
  double r, g, b;
};
constexpr Colour kFace{0.941, 0.941, 0.941};
constexpr Colour kWhite{1, 1, 1};
constexpr Colour kText{0, 0, 0};
constexpr Colour kGreyText{0.427, 0.427, 0.427};
constexpr Colour kShadow{0.627, 0.627, 0.627};
constexpr Colour kDarkShadow{0.412, 0.412, 0.412};
constexpr Colour kCaption{0.290, 0.514, 0.769};  // the logo's cube blue
constexpr Colour kCaptionLight{0.498, 0.698, 0.910};
constexpr Colour kAccent{1.0, 0.702, 0.278};  // the logo's orange

void Set(cairo_t* cr, Colour c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void FillRect(cairo_t* cr, double x, double y, double w, double h, Colour c) {
  Set(cr, c);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// A one-pixel line along pixel centres.
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, Colour c) {
  Set(cr, c);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
  cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
  cairo_stroke(cr);
}

// The classic two-pixel sunken (edit, list) or raised (button) edge.
void Edge(cairo_t* cr, const RECT& r, bool sunken) {
  const int w = r.right - r.left - 1, h = r.bottom - r.top - 1;
  const Colour outerTopLeft = sunken ? kShadow : kWhite, outerBottomRight = sunken ? kWhite : kDarkShadow;
  const Colour innerTopLeft = sunken ? kDarkShadow : kFace, innerBottomRight = sunken ? kFace : kShadow;
  Line(cr, 0, 0, w, 0, outerTopLeft);
  Line(cr, 0, 0, 0, h, outerTopLeft);
  Line(cr, 0, h, w, h, outerBottomRight);
  Line(cr, w, 0, w, h, outerBottomRight);
  Line(cr, 1, 1, w - 1, 1, innerTopLeft);
  Line(cr, 1, 1, 1, h - 1, innerTopLeft);
  Line(cr, 1, h - 1, w - 1, h - 1, innerBottomRight);
  Line(cr, w - 1, 1, w - 1, h - 1, innerBottomRight);
}

enum class Align { Left, Centre, Right };

// Draws the text inside (x, y, w, h) of the current origin, vertically
// centred or at the top.
void Text(cairo_t* cr, HWND window, const std::wstring& text, double x, double y, double w, double h, Align align,
          bool middle, Colour c) {
  if (text.empty()) return;
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // "&x" marks a keyboard shortcut; "&&" is an ampersand.
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    shown.push_back(text[i]);
  }
  auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  PangoLayout* layout = zem::CreateTextLayout(cr, font, shown);
  if (!layout) return;
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  const double left = align == Align::Left    ? x
                      : align == Align::Right ? x + w - logical.width
                                              : x + (w - logical.width) / 2;
  const double top = middle ? y + (h - logical.height) / 2 : y;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  Set(cr, c);
  cairo_move_to(cr, std::floor(left), std::floor(top));
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
}

void Picture(cairo_t* cr, const zem::Picture* picture, double x, double y, bool greyed) {
  if (!picture) return;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(picture->pixels.data())), CAIRO_FORMAT_ARGB32,
      picture->width, picture->height, picture->width * 4);
  cairo_set_source_surface(cr, surface, std::floor(x), std::floor(y));
  cairo_paint_with_alpha(cr, greyed ? 0.4 : 1.0);
  cairo_surface_destroy(surface);
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

void PaintStatic(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const DWORD style = StyleOf(window);
  const double w = r.right - r.left, h = r.bottom - r.top;
  const DWORD type = style & SS_TYPEMASK;
  if (type == SS_ETCHEDVERT) {
    Line(cr, 0, 0, 0, h - 1, kShadow);
    Line(cr, 1, 0, 1, h - 1, kWhite);
    return;
  }
  if (type == SS_BITMAP) {
    const zem::Picture* picture =
        zem::PictureOf(reinterpret_cast<void*>(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    if (!picture) return;
    const bool centred = style & SS_CENTERIMAGE;
    Picture(cr, picture, centred ? (w - picture->width) / 2 : 0, centred ? (h - picture->height) / 2 : 0, false);
    return;
  }
  const Align align = type == SS_CENTER ? Align::Centre : type == SS_RIGHT ? Align::Right : Align::Left;
  Text(cr, window, zem::WindowText(window), 0, 0, w, h, align, (style & SS_CENTERIMAGE) != 0,
       enabled ? kText : kGreyText);
}

void PaintEdit(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const double w = r.right - r.left, h = r.bottom - r.top;
  FillRect(cr, 0, 0, w, h, enabled ? kWhite : kFace);
  Edge(cr, r, true);
  const Align align = (StyleOf(window) & ES_RIGHT) ? Align::Right : Align::Left;
  Text(cr, window, zem::WindowText(window), 4, 2, w - 8, h - 4, align, true, enabled ? kText : kGreyText);
}

void PaintComboBox(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const double w = r.right - r.left, h = r.bottom - r.top;
  FillRect(cr, 0, 0, w, h, enabled ? kWhite : kFace);
  Edge(cr, r, true);
  std::wstring text;
  const LRESULT selection = SendMessageW(window, CB_GETCURSEL, 0, 0);
  if (selection >= 0) {
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(window, CB_GETLBTEXTLEN, selection, 0))));
    SendMessageW(window, CB_GETLBTEXT, selection, reinterpret_cast<LPARAM>(text.data()));
  }
  const double arrow = 17;
  Text(cr, window, text, 4, 2, w - arrow - 6, h - 4, Align::Left, true, enabled ? kText : kGreyText);
  // The arrow button.
  cairo_save(cr);
  cairo_translate(cr, w - arrow - 2, 2);
  FillRect(cr, 0, 0, arrow, h - 4, kFace);
  Edge(cr, RECT{0, 0, static_cast<LONG>(arrow), static_cast<LONG>(h - 4)}, false);
  Set(cr, enabled ? kText : kGreyText);
  const double cx = arrow / 2, cy = (h - 4) / 2;
  cairo_move_to(cr, cx - 4, cy - 2);
  cairo_line_to(cr, cx + 4, cy - 2);
  cairo_line_to(cr, cx, cy + 2);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_restore(cr);
}

void PaintCheckBox(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const double h = r.bottom - r.top, w = r.right - r.left;
  const double box = 13, top = std::floor((h - box) / 2);
  const LRESULT state = SendMessageW(window, BM_GETCHECK, 0, 0);
  cairo_save(cr);
  cairo_translate(cr, 0, top);
  FillRect(cr, 0, 0, box, box, enabled && state != BST_INDETERMINATE ? kWhite : kFace);
  Edge(cr, RECT{0, 0, 13, 13}, true);
  if (state == BST_CHECKED || state == BST_INDETERMINATE) {
    Set(cr, enabled && state == BST_CHECKED ? kText : kGreyText);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, 3, 6.5);
    cairo_line_to(cr, 5.5, 9);
    cairo_line_to(cr, 10, 3.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  Text(cr, window, zem::WindowText(window), 16, 0, w - 16, h, Align::Left, true, enabled ? kText : kGreyText);
}

void PaintPushButton(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const double w = r.right - r.left, h = r.bottom - r.top;
  const DWORD style = StyleOf(window);
  FillRect(cr, 0, 0, w, h, kFace);
  if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
    // The default button wears a dark outline.
    Set(cr, kText);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, 1, 1);
    Edge(cr, RECT{0, 0, static_cast<LONG>(w - 2), static_cast<LONG>(h - 2)}, false);
    cairo_restore(cr);
  } else {
    Edge(cr, r, false);
  }
  if (const zem::Picture* icon =
          zem::PictureOf(reinterpret_cast<void*>(SendMessageW(window, BM_GETIMAGE, IMAGE_ICON, 0)))) {
    Picture(cr, icon, (w - icon->width) / 2, (h - icon->height) / 2, !enabled);
    return;
  }
  Text(cr, window, zem::WindowText(window), 3, 2, w - 6, h - 4, Align::Centre, true, enabled ? kText : kGreyText);
}

void PaintButton(cairo_t* cr, HWND window, const RECT& r, bool enabled) {
  const DWORD type = StyleOf(window) & BS_TYPEMASK;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE)
    return PaintCheckBox(cr, window, r, enabled);
  PaintPushButton(cr, window, r, enabled);
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t className[64];
  GetClassNameW(window, className, 64);
  return std::wstring_view(className) == name;
}

void PaintChildren(cairo_t* cr, HWND parent, bool parentEnabled) {
  for (HWND child : zem::ChildWindows(parent)) {
    if (!(StyleOf(child) & WS_VISIBLE)) continue;
    RECT r;
    GetWindowRect(child, &r);
    const bool enabled = parentEnabled && IsWindowEnabled(child);
    cairo_save(cr);
    cairo_translate(cr, r.left, r.top);
    cairo_rectangle(cr, 0, 0, r.right - r.left, r.bottom - r.top);
    cairo_clip(cr);
    if (IsClass(child, L"Static"))
      PaintStatic(cr, child, r, enabled);
    else if (IsClass(child, L"Edit"))
      PaintEdit(cr, child, r, enabled);
    else if (IsClass(child, L"ComboBox"))
      PaintComboBox(cr, child, r, enabled);
    else if (IsClass(child, L"Button"))
      PaintButton(cr, child, r, enabled);
    PaintChildren(cr, child, enabled);
    cairo_restore(cr);
  }
}

void PaintFrame(cairo_t* cr, HWND window, double width, double height) {
  FillRect(cr, 0, 0, width, height, kCaption);
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, zem::kCaptionHeight);
  cairo_pattern_add_color_stop_rgb(gradient, 0, kCaptionLight.r, kCaptionLight.g, kCaptionLight.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, kCaption.r, kCaption.g, kCaption.b);
  cairo_set_source(cr, gradient);
  cairo_rectangle(cr, 0, 0, width, zem::kCaptionHeight + zem::kFrameWidth);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
  Line(cr, 0, height - 1, width - 1, height - 1, kAccent);
  double textLeft = zem::kFrameWidth + 4;
  if (const zem::Picture* icon = zem::PictureOf(reinterpret_cast<void*>(SendMessageW(window, WM_GETICON, 0, 0)))) {
    Picture(cr, icon, textLeft, zem::kFrameWidth + (zem::kCaptionHeight - icon->height) / 2.0, false);
    textLeft += icon->width + 4;
  }
  const double box = zem::kCaptionHeight - 6;
  Text(cr, window, zem::WindowText(window), textLeft, zem::kFrameWidth, width - textLeft - box - 10,
       zem::kCaptionHeight, Align::Left, true, kWhite);
  if (!(StyleOf(window) & WS_SYSMENU)) return;
  // The close box, greyed while the system menu's Close is.
  const bool greyed = zem::IsCloseGreyed(window);
  const double x = width - zem::kFrameWidth - box - 2, y = zem::kFrameWidth + 3;
  FillRect(cr, x, y, box, box, greyed ? kShadow : Colour{0.78, 0.25, 0.2});
  cairo_set_source_rgb(cr, greyed ? 0.85 : 1, greyed ? 0.85 : 1, greyed ? 0.85 : 1);
  cairo_set_line_width(cr, 1.6);
  cairo_move_to(cr, x + 4.5, y + 4.5);
  cairo_line_to(cr, x + box - 4.5, y + box - 4.5);
  cairo_move_to(cr, x + box - 4.5, y + 4.5);
  cairo_line_to(cr, x + 4.5, y + box - 4.5);
  cairo_stroke(cr);
}

}  // namespace

bool zem::RenderWindowToPng(HWND window, const std::string& path, std::wstring* error) {
  const auto fail = [error](std::wstring why) {
    if (error) *error = std::move(why);
    return false;
  };
  if (!IsWindow(window) || (StyleOf(window) & WS_CHILD)) return fail(L"not a top-level window");
  if (!GetStockObject(DEFAULT_GUI_FONT)) return fail(FontError());
  RECT client;
  GetClientRect(window, &client);
  const bool framed = (StyleOf(window) & WS_CAPTION) == WS_CAPTION;
  const int left = framed ? kFrameWidth : 0, top = framed ? kFrameWidth + kCaptionHeight : 0;
  const int width = client.right + 2 * left, height = client.bottom + top + left;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 1), std::max(height, 1));
  cairo_t* cr = cairo_create(surface);
  if (framed) PaintFrame(cr, window, width, height);
  cairo_translate(cr, left, top);
  FillRect(cr, 0, 0, client.right, client.bottom, kFace);
  PaintChildren(cr, window, IsWindowEnabled(window) != FALSE);
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    return fail(L"cannot write the picture: " + zem::FromUtf8(cairo_status_to_string(status)));
  return true;
}
