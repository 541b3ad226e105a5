#include "plugin/CRhino_WebGLApp.h"

CRhino_WebGLApp::CRhino_WebGLApp() : CWinApp(nullptr) {}

CRhino_WebGLApp::~CRhino_WebGLApp() = default;
