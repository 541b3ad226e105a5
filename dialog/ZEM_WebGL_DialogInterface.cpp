#include "dialog/ZEM_WebGL_DialogInterface.h"

#include <utility>

namespace {

ZEM_WebGL_DialogFactory& Factory() {
  static ZEM_WebGL_DialogFactory factory;
  return factory;
}

}  // namespace

ZEM_WebGL_DialogFactory SetWebGLDialogFactory(ZEM_WebGL_DialogFactory factory) {
  return std::exchange(Factory(), std::move(factory));
}

ZEM_WebGL_DialogInterface* NewWebGLDialog(HWND parent, ZEM_WebGL_DialogInterface::HelpAddressProvider help) {
  return Factory() ? Factory()(parent, std::move(help)) : nullptr;
}
