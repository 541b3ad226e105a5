#include "capture/TextDotWriter.h"

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoTextDot.h"
#include "page/DataFunctions.h"

namespace zem {

void CollectTextDots(ZEM_Rhino_WebGLExport& writer, bool dotsWanted) {
  if (dotsWanted) {
    CRhinoObjectIterator it(writer.Context().Document(), CRhinoObjectIterator::all_objects,
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

bool WriteDotsFunction(ZEM_WebGLExport& writer) { return WriteInitDotsFunction(writer); }

}  // namespace zem
