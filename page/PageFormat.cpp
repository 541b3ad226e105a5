#include "page/PageFormat.h"

namespace zem::page_format {

namespace {

std::string AttributeCall(const char* location, int size, int stride, int offset) {
  return "gl.vertexAttribPointer(" + std::string(location) + "," + std::to_string(size) + ",gl.FLOAT,false," +
         std::to_string(stride) + "," + std::to_string(offset) + ");";
}

}  // namespace

const std::string& MeshAttributeCalls(bool textured) {
  static const std::string kTextured = AttributeCall("posLoc", 3, kTexturedStride, 0) +
                                       AttributeCall("normLoc", 3, kTexturedStride, kNormalOffset) +
                                       AttributeCall("texLoc", 2, kTexturedStride, kTexCoordOffset);
  static const std::string kPlain =
      AttributeCall("posLoc", 3, kPlainStride, 0) + AttributeCall("normLoc", 3, kPlainStride, kNormalOffset);
  return textured ? kTextured : kPlain;
}

const std::string& CurveAttributeCall() {
  static const std::string kCall = AttributeCall("CposLoc", 3, kCurveStride, 0);
  return kCall;
}

}  // namespace zem::page_format
