#include "capture/TextDotWriter.h"

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoTextDot.h"
#include "page/PageFormat.h"

void CollectTextDots(ZEM_Rhino_WebGLExport& writer, bool dotsWanted) {
  if (dotsWanted) {
    CRhinoObjectIterator it(writer.m_document, CRhinoObjectIterator::all_objects,
                            CRhinoObjectIterator::active_and_reference_objects);
    for (CRhinoObject* object = it.First(); object; object = it.Next()) {
      if (!object->IsVisible() || object->ObjectType() != ON::text_dot) continue;
      const auto* dot = static_cast<const CRhinoTextDot*>(object);
      const ON_Color colour = object->ObjectDrawColor(false);
      const ON_3dPoint& p = dot->Point();
      if (!p.IsValid()) continue;  // a label at no place
      writer.AddDot({p.x, p.y, p.z}, dot->TextString(), colour.Red(), colour.Green(), colour.Blue());
    }
  }
  WriteDotsFunction(writer);
}

bool WriteDotsFunction(ZEM_WebGLExport& writer) {
  if (!writer.IsOpen()) return false;
  writer.WriteRawNarrow(zem::page_format::kInitDots);
  writer.WriteRawNarrow("{\n");
  for (const auto& dot : writer.Dots()) {
    writer.FormatNumbers("dtpts.push(%g,%g,%g);", {dot.point[0], dot.point[1], dot.point[2]});
  }
  writer.WriteRaw(L"};");
  return true;
}
