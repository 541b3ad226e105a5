#pragma once
// The page's labels: text dots of the document, stored on the writer for
// the body's label elements, and initDots with their anchor points.

class ZEM_WebGLExport;
class ZEM_Rhino_WebGLExport;

// When dotsWanted, stores every visible text dot with AddDot; then writes
// initDots.
namespace zem {

void CollectTextDots(ZEM_Rhino_WebGLExport& writer, bool dotsWanted);

// Writes initDots from the stored dots.
bool WriteDotsFunction(ZEM_WebGLExport& writer);

}  // namespace zem
