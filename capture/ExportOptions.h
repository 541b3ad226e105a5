#pragma once
// The values that steer one export, as the export dialog holds them, and
// what the export derives from them.
#include <string>

namespace zem {

struct ExportOptions {
  // The numbers are the link-mode choices as the export dialog lists them.
  enum class LinkMode { Mail = 1, Web = 2, NoLink = 3, NoSelection = -1 };

  bool sendByMail = false;
  std::wstring title;
  std::wstring author;
  std::wstring linkText;
  LinkMode linkMode = LinkMode::NoLink;  // NoSelection when no link mode is chosen
  bool showNotes = false;
  bool showDots = true;
  bool zip = false;      // e-mail only
  int threads = 0;       // threads that write the page; 0: the machine's cores
  bool compact = false;  // mesh data stored indexed as base64, decoded by the page
};

// "free ZEM WebGL Export for Rhino version " and the product version.
std::wstring GeneratorNotice();

// The link target of the author line: empty for "No Link"; "mailto:" or
// "http://" put in front of a mail or web link that has neither "://" nor
// "mailto:"; otherwise the text as it is.
std::wstring ComposeLinkTarget(const std::wstring& linkText, zem::ExportOptions::LinkMode linkMode);

}  // namespace zem
