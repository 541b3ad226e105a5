#pragma once
// The export options dialog: the page's title, author, link and boxes, and a
// live estimate of the page's size while the preview conduit veils every
// viewport but the active one. The command creates it once and shows it again
// at every run; between runs it is only hidden, so the link and the boxes keep
// their last values. Title and author come back from the last export of the
// same document, else from the document itself.
#include <string>

#include "dialog/SizeEstimate.h"
#include "dialog/ZEM_ActiveViewportDisplay.h"
#include "dialog/ZEM_WebGL_DialogInterface.h"
#include "ui/ZEM_CheckBox.h"
#include "ui/ZEM_ComboBox.h"
#include "ui/ZEM_Edit.h"
#include "ui/ZEM_Rhino_Dialog.h"
#include "ui/ZEM_Static.h"

class ZEM_WebGL_Dialog : public ZEM_Rhino_Dialog, public ZEM_WebGL_DialogInterface {
 public:
  // Link-mode codes, carried as the combo items' data.
  enum LinkMode : int { kMailLink = 1, kWebLink = 2, kNoLink = 3 };
  // The estimate's first tick after a showing, then its period.
  static constexpr UINT kFirstTickMs = 50;
  static constexpr UINT kTickMs = 500;

  // `parent`: the host's main window; `help`: the address F1 opens.
  ZEM_WebGL_Dialog(HWND parent, HelpAddressProvider help);
  ~ZEM_WebGL_Dialog() override;

  // The command's face.
  bool CreateExportWindow() override;
  void ShowForExport() override;
  void PrepareForShow(bool sendByMail) override;
  void Discard() override;

  // The framework's hooks.
  void CreateContent(const FLXLayoutMgr::CPaneBase& content) override;
  // The link edit follows the link mode: greyed for "no link".
  void UpdateControlStates() override;
  // Shows the estimate when it changed, then arms the next tick.
  void OnIdleTimer() override;
  // Stops the ticks and the veil, then closes as every framework dialog does.
  void OnClosing() override;
  // A document of its own: the title and author of the last one are forgotten.
  void OnDocumentOpened() override;
  void OnNewDocument(CRhinoDoc& doc) override;
  // F1: the help address with its topic, asked afresh.
  BOOL OnHelp(HELPINFO* info) override;

  // What the last export stored (the export action sets them).
  const std::wstring& StoredTitle() const { return m_storedTitle; }
  const std::wstring& StoredAuthor() const { return m_storedAuthor; }
  void StoreTitleAndAuthor(std::wstring title, std::wstring author);

  ZEM_ActiveViewportDisplay& Preview() { return m_preview; }

 private:
  PreviewCounts Counts() const;

  ZEM_Static m_titleLabel;
  ZEM_Static m_authorLabel;
  ZEM_Static m_sizeLabel;
  ZEM_Edit m_titleEdit;
  ZEM_Edit m_authorEdit;
  ZEM_Edit m_linkEdit;
  ZEM_ComboBox m_linkModeCombo;
  ZEM_CheckBox m_zipCheck;
  ZEM_CheckBox m_notesCheck;
  ZEM_CheckBox m_dotsCheck;
  bool m_sendByMail = false;
  // The estimate shown last (0 after each showing's preparation).
  SizeEstimate m_lastEstimateMB;
  ZEM_ActiveViewportDisplay m_preview;
  std::wstring m_storedTitle;
  std::wstring m_storedAuthor;
  HelpAddressProvider m_help;
};
