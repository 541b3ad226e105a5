#include "page/EmbeddedAssets.h"

#include <cassert>

#include "embedded/zem_asset.h"

namespace zem::assets {

#define ZEM_BLOB(symbol) \
  Blob { symbol, symbol##_size }

Blob Icon() { return ZEM_BLOB(zem_asset_icon_ico); }

Blob CubeFace(int k) {
  static const Blob kFaces[6] = {ZEM_BLOB(zem_asset_cube1_jpg), ZEM_BLOB(zem_asset_cube2_jpg),
                                 ZEM_BLOB(zem_asset_cube3_jpg), ZEM_BLOB(zem_asset_cube4_jpg),
                                 ZEM_BLOB(zem_asset_cube5_jpg), ZEM_BLOB(zem_asset_cube6_jpg)};
  assert(k >= 1 && k <= 6);
  return kFaces[(k >= 1 && k <= 6) ? k - 1 : 0];
}

Blob Backdrop() { return ZEM_BLOB(zem_asset_backdrop_png); }
Blob Band() { return ZEM_BLOB(zem_asset_band_png); }
Blob PageCorner() { return ZEM_BLOB(zem_asset_corner_png); }
Blob PageEdge() { return ZEM_BLOB(zem_asset_edge_jpg); }
Blob Fold() { return ZEM_BLOB(zem_asset_fold_png); }
Blob Logo() { return ZEM_BLOB(zem_asset_logo_png); }

}  // namespace zem::assets
