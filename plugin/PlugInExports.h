#pragma once
// The module's exported identification, read by the host before it loads
// the plug-in. None of them has side effects.
extern "C" {
int RhinoPlugInSdkVersion();
int RhinoPlugInSdkServiceRelease();
const wchar_t* RhinoPlugInDeveloperOrganization();
const wchar_t* RhinoPlugInDeveloperAddress();
const wchar_t* RhinoPlugInDeveloperCountry();
const wchar_t* RhinoPlugInDeveloperPhone();
const wchar_t* RhinoPlugInDeveloperFax();
const wchar_t* RhinoPlugInDeveloperEmail();
const wchar_t* RhinoPlugInDeveloperWebsite();
const wchar_t* RhinoPlugInUpdateURL();
}
