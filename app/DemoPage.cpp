#include "app/DemoPage.h"

#include "ZemVersion.h"
#include "page/TextFormat.h"
#include "page/ZEM_WebGLExport.h"

namespace zem::app {

namespace {

// A page writer with no materials, so no texture either.
class DemoExport : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

// The data functions of a scene without meshes, curves or textures; the
// dots are the only content, and initDots places them.
void WriteDataFunctions(DemoExport& page) {
  page.WriteRaw(L"function initVB(gl,posLoc,normLoc,texLoc,mi,buff,bl,mat,bbmin,bbmax){\n");
  page.FormatNumbers("bbmin.x=%g;bbmin.y=%g;bbmin.z=%g;bbmax.x=%g;bbmax.y=%g;bbmax.z=%g;}\n",
                     {page.boxMin[0], page.boxMin[1], page.boxMin[2], page.boxMax[0], page.boxMax[1],
                      page.boxMax[2]});
  page.WriteRaw(L"function initTextures(textures){\n}\n");
  page.WriteRaw(L"function initCurves(gl,CposLoc,cols,lbuff,lbl,bbmin,bbmax){\n}\n");
  page.WriteRaw(L"function initDots(dtpts){\n");
  for (double coordinate : page.dotPoints) page.FormatNumbers("dtpts.push(%g);", {coordinate});
  page.WriteRaw(L"\n}\n");
  page.WriteRaw(L"function initView(veye,vtar,vx,vy){\nreturn 45;\n}\n");
  page.WriteRaw(L"function initBack(tlc,blc,trc,brc){\n}\n");
}

}  // namespace

PageWriteResult WriteDemoPage(const std::wstring& path) {
  DemoExport page;
  page.title = L"ZEM WebGL Demo";
  page.author = L"ZEM";
  page.authorLink = L"https://zem-webgl.example.com/";
  page.notes =
      L"This page was written by the built-in demo of zem-webgl.\n"
      L"Export your own model with: zem-webgl export MODEL";
  page.createdUsing = zem::FormatText(L"free ZEM WebGL Export for Rhino version %d.%d.%d",
                                      {ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR, ZEM_VERSION_BUILD});
  if (!page.OpenPage(path)) return PageWriteResult::NotCreated;
  page.AddDot({0.0, 0.0, 0.0}, L"Origin", 255, 204, 0);
  page.AddDot({0.0, 0.0, 10.0}, L"Top", 30, 60, 140);
  WriteDataFunctions(page);
  page.WriteBody();
  return page.ClosePage() ? PageWriteResult::Written : PageWriteResult::Broken;
}

}  // namespace zem::app
