#include "standin/platform/Resources.h"

#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <tuple>

namespace {

enum class Kind { Bitmap, Icon };

struct ResourceStore {
  std::map<std::pair<HINSTANCE, UINT>, zem::DialogTemplate> templates;
  // Pictures never move, so their addresses serve as handles.
  std::deque<zem::Picture> pictures;
  std::map<std::tuple<HINSTANCE, Kind, UINT>, std::vector<const zem::Picture*>> byId;
};

// Lives for the whole process, as the window registry does.
ResourceStore& Store() {
  static auto* store = new ResourceStore;
  return *store;
}

struct PngSource {
  const unsigned char* data;
  std::size_t left;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* source = static_cast<PngSource*>(closure);
  if (length > source->left) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, source->data, length);
  source->data += length;
  source->left -= length;
  return CAIRO_STATUS_SUCCESS;
}

bool Decode(const unsigned char* png, std::size_t size, zem::Picture& picture) {
  if (!png) return false;
  PngSource source{png, size};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &source);
  bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(surface),
                                                       cairo_image_surface_get_height(surface));
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(argb);
    picture.width = cairo_image_surface_get_width(argb);
    picture.height = cairo_image_surface_get_height(argb);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    const int stride = cairo_image_surface_get_stride(argb);
    const unsigned char* data = cairo_image_surface_get_data(argb);
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(&picture.pixels[static_cast<std::size_t>(y) * picture.width], data + y * stride,
                  static_cast<std::size_t>(picture.width) * 4);
    cairo_surface_destroy(argb);
  }
  cairo_surface_destroy(surface);
  return ok;
}

bool Register(HINSTANCE module, Kind kind, UINT id, const unsigned char* png, std::size_t size) {
  zem::Picture picture;
  if (!Decode(png, size, picture)) return false;
  auto& store = Store();
  store.pictures.push_back(std::move(picture));
  store.byId[{module, kind, id}].push_back(&store.pictures.back());
  return true;
}

// Resource names are ids (MAKEINTRESOURCEW); named resources are not kept.
bool IdOf(LPCWSTR name, UINT& id) {
  const auto value = reinterpret_cast<std::uintptr_t>(name);
  if (value > 0xFFFF) return false;
  id = static_cast<UINT>(value);
  return true;
}

const zem::Picture* Find(HINSTANCE module, Kind kind, LPCWSTR name, int cx, int cy) {
  UINT id = 0;
  if (!IdOf(name, id)) return nullptr;
  auto it = Store().byId.find({module ? module : AfxGetResourceHandle(), kind, id});
  if (it == Store().byId.end()) return nullptr;
  const zem::Picture* best = nullptr;
  int bestDistance = 0;
  for (const zem::Picture* picture : it->second) {
    const int distance = cx <= 0 ? 0 : std::abs(picture->width - cx) + std::abs(picture->height - cy);
    if (!best || distance < bestDistance) {
      best = picture;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

void zem::RegisterDialogTemplate(HINSTANCE module, UINT id, DialogTemplate dialogTemplate) {
  Store().templates[{module, id}] = std::move(dialogTemplate);
}

bool zem::RegisterBitmap(HINSTANCE module, UINT id, const unsigned char* png, std::size_t size) {
  return Register(module, Kind::Bitmap, id, png, size);
}

bool zem::RegisterIcon(HINSTANCE module, UINT id, const unsigned char* png, std::size_t size) {
  return Register(module, Kind::Icon, id, png, size);
}

const zem::DialogTemplate* zem::FindDialogTemplate(UINT id) {
  auto it = Store().templates.find({AfxGetResourceHandle(), id});
  return it == Store().templates.end() ? nullptr : &it->second;
}

const zem::Picture* zem::PictureOf(const void* handle) {
  for (const Picture& picture : Store().pictures)
    if (&picture == handle) return &picture;
  return nullptr;
}

HICON LoadIconW(HINSTANCE module, LPCWSTR name) {
  return reinterpret_cast<HICON>(const_cast<zem::Picture*>(Find(module, Kind::Icon, name, 32, 32)));
}

HANDLE LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT) {
  const Kind kind = type == 1 ? Kind::Icon : Kind::Bitmap;
  if (kind == Kind::Icon && cx <= 0) cx = cy = 32;
  return const_cast<zem::Picture*>(Find(module, kind, name, cx, cy));
}

HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name) {
  return reinterpret_cast<HBITMAP>(const_cast<zem::Picture*>(Find(module, Kind::Bitmap, name, 0, 0)));
}
