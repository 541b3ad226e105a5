#pragma once
// zem-webgl loads the plug-in module as the host would, from the program's
// own folder ("ZEM_Rhino_WebGL.rhp" there), once per process.
#include <ostream>

namespace zem::app {

// True when the plug-in is loaded (now or before); otherwise the loader's
// message goes to `err`.
bool EnsurePlugInLoaded(std::ostream& err);

}  // namespace zem::app
