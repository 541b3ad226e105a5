#include "dialog/ZEM_WebGL_Dialog.h"

#include <utility>

#include "capture/ExportDriver.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/platform/HtmlHelp.h"
#include "standin/platform/Window.h"

namespace {

using Mgr = FLXLayoutMgr;

constexpr unsigned kFilling = Mgr::LayFillWidth | Mgr::LayFillHeight;
constexpr unsigned kRowItem = Mgr::LayFillWidth | Mgr::LayFixedHeight;
constexpr int kBorder = 3;
constexpr int kEditWidth = 150;

const wchar_t kInitialSizeText[] = L"Approximate file size: 0.1 MB";
const wchar_t kCreatingText[] = L"Creating WebGL file...";
const wchar_t kFileCaption[] = L"Export ZEM WebGL HTML file...";
const wchar_t kMailCaption[] = L"Send ZEM WebGL HTML file via email...";

int IdOf(const ZEM_UIComponent& control) { return static_cast<int>(control.Id()); }

}  // namespace

// A parent the window library does not know leaves the owner to the
// framework, which then takes the host's main window.
ZEM_WebGL_Dialog::ZEM_WebGL_Dialog(HWND parent, HelpAddressProvider help)
    : ZEM_Rhino_Dialog(CWnd::FromHandlePermanent(parent)), m_help(std::move(help)) {}

ZEM_WebGL_Dialog::~ZEM_WebGL_Dialog() {
  // No tick may reach a half-destroyed dialog.
  if (::IsWindow(m_hWnd)) KillTimer(kIdleTimer);
}

bool ZEM_WebGL_Dialog::CreateExportWindow() {
  SetStatusText(L"");
  return CreateDialogWindow(false) != FALSE;
}

void ZEM_WebGL_Dialog::ShowForExport() {
  SetClosed(false);
  ShowWindow(SW_SHOW);
  UpdateWindow();
}

void ZEM_WebGL_Dialog::Discard() { Release(); }

void ZEM_WebGL_Dialog::CreateContent(const Mgr::CPaneBase& content) {
  m_sizeLabel.Create(this, kInitialSizeText);
  m_titleLabel.Create(this, kTitleLabel);
  m_authorLabel.Create(this, kAuthorLabel);
  m_titleEdit.Create(this);
  m_authorEdit.Create(this);
  m_linkEdit.Create(this);
  m_linkModeCombo.Create(this);
  // Each item selected as it is added: the last, "No Link", stays selected.
  // The items carry the options' link-mode codes as their data.
  using Mode = zem::ExportOptions::LinkMode;
  for (auto [text, code] :
       {std::pair{kMailLinkItem, Mode::Mail}, {kWebLinkItem, Mode::Web}, {kNoLinkItem, Mode::NoLink}}) {
    const int index = m_linkModeCombo.AddItem(text, static_cast<std::intptr_t>(code));
    if (index >= 0) m_linkModeCombo.SetCurSel(index);
  }
  m_zipCheck.Create(this, kZipBox);
  m_notesCheck.Create(this, kNotesBox);
  m_dotsCheck.Create(this, kDotsBox);
  m_zipCheck.SetChecked(false);
  m_notesCheck.SetChecked(false);
  m_dotsCheck.SetChecked(true);

  // Two columns (labels and boxes | edits), each edit in its label's row,
  // the size estimate below them.
  Mgr& layout = DialogLayout();
  const Mgr::CPaneBase outer = layout.MakePane(Mgr::Vertical, kFilling, kBorder);
  const Mgr::CPaneBase columns = layout.MakePane(Mgr::Horizontal, kFilling, kBorder);
  const Mgr::CPaneBase left = layout.MakePane(Mgr::Vertical, Mgr::LayGreedy, kBorder);
  const Mgr::CPaneBase right = layout.MakePane(Mgr::Vertical, Mgr::LayGreedy, kBorder);
  for (const ZEM_UIComponent* c :
       {static_cast<const ZEM_UIComponent*>(&m_titleLabel), static_cast<const ZEM_UIComponent*>(&m_authorLabel),
        static_cast<const ZEM_UIComponent*>(&m_linkModeCombo), static_cast<const ZEM_UIComponent*>(&m_dotsCheck),
        static_cast<const ZEM_UIComponent*>(&m_notesCheck), static_cast<const ZEM_UIComponent*>(&m_zipCheck)})
    layout.Add(left, layout.MakeItem(IdOf(*c), kRowItem));
  layout.Add(right, layout.MakeItem(IdOf(m_titleEdit), Mgr::LayFixedHeight, kEditWidth, kEditWidth));
  layout.Add(right, layout.MakeItem(IdOf(m_authorEdit), Mgr::LayFixedHeight));
  layout.Add(right, layout.MakeItem(IdOf(m_linkEdit), Mgr::LayFixedHeight));
  layout.Add(columns, left);
  layout.Add(columns, right);
  layout.Add(outer, columns);
  layout.Add(outer, layout.MakeItem(IdOf(m_sizeLabel), kRowItem));
  layout.Add(content, outer);
}

void ZEM_WebGL_Dialog::UpdateControlStates() {
  if (!::IsWindow(m_linkEdit.m_hWnd)) return;
  // No selection: the edit keeps its state.
  if (const auto mode = m_linkModeCombo.SelectedData())
    m_linkEdit.EnableWindow(*mode != static_cast<std::intptr_t>(zem::ExportOptions::LinkMode::NoLink));
}

void ZEM_WebGL_Dialog::PrepareForShow(bool sendByMail) {
  // 1. Undo what a running export greyed.
  for (HWND child : zem::ChildWindows(m_hWnd)) ::EnableWindow(child, TRUE);
  Invalidate();
  UpdateWindow();
  // 2.
  m_lastEstimateMB.Reset();
  m_sendByMail = sendByMail;
  // 3.
  m_preview.Activate();
  // 4, 5. What the last export stored, else the document's own.
  const CRhinoDoc* doc = RhinoApp().ActiveDoc();
  if (!m_storedTitle.empty() || doc == nullptr)
    m_titleEdit.SetText(m_storedTitle);
  else
    m_titleEdit.SetText(static_cast<const wchar_t*>(doc->Title()));
  const wchar_t* createdBy =
      doc ? static_cast<const wchar_t*>(doc->Properties().RevisionHistory().m_sCreatedBy) : nullptr;
  if (!m_storedAuthor.empty() || createdBy == nullptr)
    m_authorEdit.SetText(m_storedAuthor);
  else
    m_authorEdit.SetText(createdBy);
  // 6, 7.
  SetTitle(sendByMail ? kMailCaption : kFileCaption);
  m_zipCheck.EnableWindow(sendByMail);
  // 8.
  if (::IsWindow(m_sizeLabel.m_hWnd)) m_sizeLabel.SetText(kInitialSizeText);
  // 9.
  KillTimer(kIdleTimer);
  SetTimer(kIdleTimer, kFirstTickMs);
}

void ZEM_WebGL_Dialog::OnOkHook() { OnApply(); }

zem::ExportOptions ZEM_WebGL_Dialog::ReadOptions() {
  zem::ExportOptions options = m_unshown;
  options.sendByMail = m_sendByMail;
  options.title = m_titleEdit.GetText();
  options.author = m_authorEdit.GetText();
  options.linkText = m_linkEdit.GetText();
  const auto mode = m_linkModeCombo.SelectedData();
  options.linkMode =
      mode ? static_cast<zem::ExportOptions::LinkMode>(*mode) : zem::ExportOptions::LinkMode::NoSelection;
  options.showNotes = m_notesCheck.IsChecked();
  options.showDots = m_dotsCheck.IsChecked();
  options.zip = m_zipCheck.IsChecked();
  return options;
}

void ZEM_WebGL_Dialog::OnApply() {
  // Nothing can be changed while the page is written; the next showing
  // enables the controls again.
  for (HWND child : zem::ChildWindows(m_hWnd)) ::EnableWindow(child, FALSE);
  Invalidate();
  UpdateWindow();
  if (::IsWindow(m_sizeLabel.m_hWnd)) {
    m_sizeLabel.SetText(kCreatingText);
    m_sizeLabel.EnableWindow(TRUE);
  }
  zem::ExportMemory memory{m_storedTitle, m_storedAuthor};
  zem::ExportHooks hooks;
  hooks.hideDialog = [this] { ShowWindow(SW_HIDE); };
  // The outcome reaches whoever listens for exports; the dialog says nothing.
  zem::RunExport(ReadOptions(), memory, hooks);
  m_storedTitle = std::move(memory.storedTitle);
  m_storedAuthor = std::move(memory.storedAuthor);
}

std::wstring ZEM_WebGL_Dialog::SizeText() const { return zem::WindowText(m_sizeLabel.m_hWnd); }

zem::PreviewCounts ZEM_WebGL_Dialog::Counts() const { return m_preview.Counts(); }

void ZEM_WebGL_Dialog::OnIdleTimer() {
  const bool zipped = m_sendByMail && ::IsWindow(m_zipCheck.m_hWnd) && m_zipCheck.IsChecked();
  if (const auto label = m_lastEstimateMB.Update(Counts(), zipped, m_unshown.compact);
      label && ::IsWindow(m_sizeLabel.m_hWnd))
    m_sizeLabel.SetText(*label);
  KillTimer(kIdleTimer);
  SetTimer(kIdleTimer, kTickMs);
}

void ZEM_WebGL_Dialog::OnClosing() {
  KillTimer(kIdleTimer);
  m_preview.Deactivate();
  // The framework's own closing marks the dialog closed and stops its
  // listening to the document's closing; without it, restoring the host
  // window would show again a dialog the person closed.
  ZEM_Rhino_Dialog::OnClosing();
}

void ZEM_WebGL_Dialog::OnDocumentOpened() {
  m_storedTitle.clear();
  m_storedAuthor.clear();
}

void ZEM_WebGL_Dialog::OnNewDocument(CRhinoDoc&) { OnDocumentOpened(); }

BOOL ZEM_WebGL_Dialog::OnHelp(HELPINFO* info) {
  if (m_help) SetHelpPath(m_help());
  return ZEM_Rhino_Dialog::OnHelp(info);
}
