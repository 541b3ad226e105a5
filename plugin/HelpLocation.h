#pragma once
// The plug-in's compiled help file and its address. The file
// "ZEM_WEBGL_help.chm" lies in the documentation folder D next to the
// module's folder M: M + "\..\Doc\" when that exists, else
// M + "\..\..\Doc\", else none (empty). A language other than English has
// its copy in D + language + "\". The language is the global setting
// "OnlineHelpLanguage" (section "Language"); without one, English, unless a
// "default_language.txt" marks the Japanese or the German folder (German
// wins). A setting that could lead out of D is not a language: English.
#include <string>

// Fills the outputs that are given: D (ends in a separator, or empty), the
// language folder (language + "\", empty for English) and the language
// name. Always true.
namespace zem {

bool FindHelpLocation(std::wstring* docFolder, std::wstring* languageFolder, std::wstring* languageName);

// "mk:@MSITStore:" + D + language folder + "ZEM_WEBGL_help.chm", with the
// command's topic "::writewebgl.htm" when asked for; made afresh each time.
std::wstring HelpAddress(bool withTopic);

// Shows the address in the HTML Help viewer. Its library is loaded at the
// first use and kept; without it nothing is shown.
void OpenHelp(const std::wstring& address);

}  // namespace zem
