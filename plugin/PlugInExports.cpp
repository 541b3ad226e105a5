#include "plugin/PlugInExports.h"

extern "C" {
int RhinoPlugInSdkVersion() { return 200612060; }
int RhinoPlugInSdkServiceRelease() { return 200912014; }
const wchar_t* RhinoPlugInDeveloperOrganization() { return L"ZEM WebGL Project"; }
const wchar_t* RhinoPlugInDeveloperAddress() { return L"Postfach 1020\r\n10115 Berlin"; }
const wchar_t* RhinoPlugInDeveloperCountry() { return L"Germany"; }
const wchar_t* RhinoPlugInDeveloperPhone() { return L"+49 30 0000 0000"; }
const wchar_t* RhinoPlugInDeveloperFax() { return L"+49 30 0000 0001"; }
const wchar_t* RhinoPlugInDeveloperEmail() { return L"support@zem-webgl.example"; }
const wchar_t* RhinoPlugInDeveloperWebsite() { return L"https://zem-webgl.example"; }
const wchar_t* RhinoPlugInUpdateURL() { return L"https://zem-webgl.example/download"; }
}
