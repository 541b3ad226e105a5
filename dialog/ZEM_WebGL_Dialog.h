#pragma once
// The export options dialog: the page's title, author, link and boxes, and a
// live estimate of the page's size while the preview conduit veils every
// viewport but the active one. The command creates it once and shows it again
// at every run; between runs it is only hidden, so the link and the boxes keep
// their last values. Title and author come back from the last export of the
// same document, else from the document itself.
#include <functional>
#include <string>

#include "capture/ExportOptions.h"
#include "dialog/SizeEstimate.h"
#include "dialog/ZEM_ActiveViewportDisplay.h"
#include "ui/ZEM_CheckBox.h"
#include "ui/ZEM_ComboBox.h"
#include "ui/ZEM_Edit.h"
#include "ui/ZEM_Rhino_Dialog.h"
#include "ui/ZEM_Static.h"

class ZEM_WebGL_Dialog : public ZEM_Rhino_Dialog {
 public:
  // The command's help address (with its topic), asked afresh at each
  // request, since the help language can change while the dialog lives.
  using HelpAddressProvider = std::function<std::wstring()>;
  // The texts of the labels, link-mode items and boxes: a person (and the
  // program's scripted person) finds the controls by them.
  static constexpr const wchar_t* kTitleLabel = L"HTML Title";
  static constexpr const wchar_t* kAuthorLabel = L"Author";
  static constexpr const wchar_t* kMailLinkItem = L"Mail Link";
  static constexpr const wchar_t* kWebLinkItem = L"Web Link";
  static constexpr const wchar_t* kNoLinkItem = L"No Link";
  static constexpr const wchar_t* kZipBox = L"Send ZIP file";
  static constexpr const wchar_t* kNotesBox = L"Show Notes";
  static constexpr const wchar_t* kDotsBox = L"Show Dots";
  // The estimate's first tick after a showing, then its period.
  static constexpr UINT kFirstTickMs = 50;
  static constexpr UINT kTickMs = 500;

  // `parent`: the host's main window; `help`: the address F1 opens.
  ZEM_WebGL_Dialog(HWND parent, HelpAddressProvider help);
  ~ZEM_WebGL_Dialog() override;

  // Creates the hidden, non-resizable window without a status text; false
  // when it cannot be created.
  bool CreateExportWindow();
  // Shows the window activated at its size and place, marked open.
  void ShowForExport();
  // Brings the dialog up to date for this showing: the delivery mode, the
  // caption, title and author, the preview and the size estimate.
  void PrepareForShow(bool sendByMail);
  // Gives up the creator's reference.
  void Discard();

  // The framework's hooks.
  void CreateContent(const FLXLayoutMgr::CPaneBase& content) override;
  // The link edit follows the link mode: greyed for "no link".
  void UpdateControlStates() override;
  // "Ok" exports.
  void OnOkHook() override;
  // The export: greys the dialog but for its "Creating WebGL file..." line,
  // reads the controls over the options it does not show and runs the export,
  // which stores the title and author once the page's place is chosen.
  void OnApply() override;
  // Shows the estimate when it changed, then arms the next tick.
  void OnIdleTimer() override;
  // Stops the ticks and the veil, then closes as every framework dialog does.
  void OnClosing() override;
  // A document of its own: the title and author of the last one are forgotten.
  void OnDocumentOpened() override;
  void OnNewDocument(CRhinoDoc& doc) override;
  // F1: the help address with its topic, asked afresh.
  BOOL OnHelp(HELPINFO* info) override;

  ZEM_ActiveViewportDisplay& Preview() { return m_preview; }
  // The size estimate's line as the dialog shows it.
  std::wstring SizeText() const;
  // The options the dialog does not show (threads, compact), taken from
  // `options` for the exports that follow; default until set.
  void SetUnshownOptions(const zem::ExportOptions& options) {
    m_unshown.threads = options.threads;
    m_unshown.compact = options.compact;
  }

 private:
  zem::PreviewCounts Counts() const;
  // The controls' options over the ones the dialog does not show.
  zem::ExportOptions ReadOptions();

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
  zem::ExportOptions m_unshown;
  // The estimate shown last (0 after each showing's preparation).
  zem::SizeEstimate m_lastEstimateMB;
  ZEM_ActiveViewportDisplay m_preview;
  std::wstring m_storedTitle;
  std::wstring m_storedAuthor;
  HelpAddressProvider m_help;
};
