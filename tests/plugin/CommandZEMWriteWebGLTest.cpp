#include "plugin/CCommandZEMWriteWebGL.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoGet.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/HtmlHelp.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/ScriptedPerson.h"
#include "standin/platform/Window.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "plugin/HelpLocation.h"
#include "plugin/ZEM_AboutDialog.h"
#include "tests/support/UiTestSupport.h"

namespace {

constexpr std::wstring_view kModePrompt = L"Export Mode";

class CommandZEMWriteWebGLTest : public zem::testing::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    zem::AnswerQueue::Instance().Clear();
    zem::ClearPromptsShown();
    zem::ClearRefusedActions();
    RhinoApp().NewDocument().SetTitle(L"Bridge");
  }
  void TearDown() override {
    // The command never deletes its dialog; the test's own command does.
    if (ZEM_WebGL_Dialog* dialog = command.Dialog()) {
      dialog->DestroyWindow();
      dialog->Discard();
    }
    zem::OverrideDialogFontFile(L"");
    zem::AnswerQueue::Instance().Clear();
    RhinoApp().CloseDocument();
    FrameworkTest::TearDown();
  }
  // Runs the test's own command object (the module's keeps its dialog for
  // the whole process) with the mode answered, then lets the person act.
  CRhinoCommand::result Run(std::wstring_view mode) {
    zem::AnswerQueue::Instance().Push(kModePrompt, mode);
    const auto result =
        command.RunCommand(CRhinoCommandContext(RhinoApp().ActiveDoc(), CRhinoCommandContext::interactive_ui));
    zem::RunMessageLoop([] { return !zem::AnswerQueue::Instance().Has(zem::kDialogQuestion); }, 2000);
    return result;
  }
  void Person(std::wstring_view action) { zem::AnswerQueue::Instance().Push(zem::kDialogQuestion, action); }
  HWND Control(const std::wstring& text) const { return Child(command.Dialog()->m_hWnd, text); }

  CCommandZEMWriteWebGL command;
};

TEST_F(CommandZEMWriteWebGLTest, IsRegisteredByTheModuleAndFailsSilentlyWithoutADocument) {
  EXPECT_EQ(RhinoApp().FindCommand(L"ZEMWriteWebGL"), &WriteWebGLCommand());
  const ZEM_WebGL_Dialog* before = WriteWebGLCommand().Dialog();
  RhinoApp().CloseDocument();
  zem::AnswerQueue::Instance().Push(kModePrompt, L"Email");
  EXPECT_FALSE(RhinoApp().RunScript(L"_ZEMWriteWebGL", 0));
  EXPECT_EQ(RhinoApp().LastCommandResult(), CRhinoCommand::failure);
  EXPECT_TRUE(zem::PromptsShown().empty());
  EXPECT_TRUE(zem::AnswerQueue::Instance().Has(kModePrompt)) << "no prompt took the answer";
  EXPECT_EQ(WriteWebGLCommand().Dialog(), before);
  EXPECT_TRUE(!before || !before->IsWindowVisible());
}

TEST_F(CommandZEMWriteWebGLTest, ShowsOneDialogAgainInTheModeAnsweredWithTheLinkAndBoxesAsLeft) {
  EXPECT_EQ(Run(L"Email"), CRhinoCommand::success);
  ZEM_WebGL_Dialog* dialog = command.Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsWindowVisible());
  EXPECT_EQ(zem::WindowText(dialog->m_hWnd), L"Send ZEM WebGL HTML file via email...");
  EXPECT_EQ(::GetWindow(dialog->m_hWnd, GW_OWNER), RhinoApp().MainWnd());
  for (const wchar_t* action : {L"select Web Link", L"type Web Link=example.org", L"check Send ZIP file",
                                L"uncheck Show Dots", L"press Cancel"})
    Person(action);
  zem::RunMessageLoop([] { return !zem::AnswerQueue::Instance().Has(zem::kDialogQuestion); }, 2000);
  ASSERT_TRUE(zem::RefusedActions().empty()) << zem::ToUtf8(zem::RefusedActions()[0].action);
  EXPECT_FALSE(dialog->IsWindowVisible());

  // Enter and Escape continue as a file export, in the same dialog.
  for (std::wstring_view mode : {std::wstring_view(L"File"), std::wstring_view(), zem::kEscapeAnswer}) {
    EXPECT_EQ(Run(mode), CRhinoCommand::success);
    EXPECT_EQ(command.Dialog(), dialog);
    EXPECT_TRUE(dialog->IsWindowVisible());
    EXPECT_EQ(zem::WindowText(dialog->m_hWnd), L"Export ZEM WebGL HTML file...");
    EXPECT_EQ(zem::WindowText(Control(L"example.org")), L"example.org");
    EXPECT_TRUE(Checked(Control(L"Send ZIP file")));
    EXPECT_FALSE(Checked(Control(L"Show Dots")));
  }
  EXPECT_EQ(zem::PromptsShown().size(), 4u);

  // F1 in the dialog opens the command's help address, topic included.
  ON_wString url;
  EXPECT_TRUE(command.GetCommandHelpURL(url));
  EXPECT_EQ(std::wstring(url), zem::HelpAddress(false) + L"::writewebgl.htm");
  zem::ClearHelpRequests();
  Person(L"key F1");
  zem::RunMessageLoop([] { return !zem::HelpRequests().empty(); }, 2000);
  ASSERT_EQ(zem::HelpRequests().size(), 1u);
  EXPECT_EQ(zem::HelpRequests()[0].address, std::wstring(url));
}

TEST_F(CommandZEMWriteWebGLTest, ADialogWithoutAWindowIsGivenUpAndMadeAfreshNextTime) {
  const int timers = zem::TimerCount();
  zem::OverrideDialogFontFile(L"/nonexistent/fonts/DejaVuSans.ttf");
  EXPECT_EQ(Run(L"File"), CRhinoCommand::success) << "the command still ends well";
  EXPECT_EQ(command.Dialog(), nullptr);
  EXPECT_EQ(zem::TimerCount(), timers) << "no estimate ticks for a dialog never shown";
  zem::OverrideDialogFontFile(L"");
  EXPECT_EQ(Run(L"File"), CRhinoCommand::success);
  ASSERT_NE(command.Dialog(), nullptr);
  EXPECT_TRUE(command.Dialog()->IsWindowVisible());
}

TEST_F(CommandZEMWriteWebGLTest, AboutShowsTheAboutBoxAndNoExportDialog) {
  // Reads the About box while it runs, then presses its "Ok".
  std::vector<std::wstring> texts;
  const int watch = zem::AddIdleHandler([&] {
    if (HWND about = zem::LastShownWindow(L"#32770"); about && texts.empty())
      for (HWND child : zem::ChildWindows(about)) texts.push_back(zem::WindowText(child));
  });
  Person(L"press Ok");
  EXPECT_EQ(Run(L"About"), CRhinoCommand::success);
  zem::RemoveIdleHandler(watch);
  EXPECT_EQ(command.Dialog(), nullptr);
  EXPECT_TRUE(zem::RefusedActions().empty());
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], WebGLPlugIn().PlugInName());
  EXPECT_NE(texts[1].find(WebGLPlugIn().PlugInVersion()), std::wstring::npos);
}

}  // namespace
