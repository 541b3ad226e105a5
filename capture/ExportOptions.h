#pragma once
// The values that steer one export, as the export dialog holds them, and
// what the export derives from them.
#include <string>

struct ExportOptions {
  enum LinkMode { kMailLink = 1, kWebLink = 2, kNoLink = 3, kNoSelection = -1 };

  bool sendByMail = false;
  std::wstring title;
  std::wstring author;
  std::wstring linkText;
  int linkMode = kNoLink;  // kNoSelection when no link mode is chosen
  bool showNotes = false;
  bool showDots = true;
  bool zip = false;  // e-mail only
  int threads = 0;   // threads that write the page; 0: the machine's cores
  bool compact = false;  // mesh data stored indexed as base64, decoded by the page
};

// The link target of the author line: empty for "No Link"; "mailto:" or
// "http://" put in front of a mail or web link that has neither "://" nor
// "mailto:"; otherwise the text as it is.
std::wstring ComposeLinkTarget(const std::wstring& linkText, int linkMode);

// "free ZEM WebGL Export for Rhino version " and the product version.
std::wstring GeneratorNotice();
