#include "plugin/CCommandZEMWriteWebGL.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/CRhinoApp.h"
#include "host/CRhinoDoc.h"
#include "host/CRhinoGet.h"
#include "platform/AnswerQueue.h"
#include "platform/MessageLoop.h"
#include "platform/ScriptedPerson.h"
#include "platform/Window.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "plugin/HelpLocation.h"
#include "plugin/ZEM_AboutDialog.h"

namespace {

constexpr std::wstring_view kModePrompt = L"Export Mode";

// A dialog that records what the command asks of it. The test owns it.
class FakeDialog : public ZEM_WebGL_DialogInterface {
 public:
  bool CreateExportWindow() override {
    calls.push_back(L"create");
    return windowCreated;
  }
  void ShowForExport() override { calls.push_back(L"show"); }
  void PrepareForShow(bool sendByMail) override { calls.push_back(sendByMail ? L"prepare mail" : L"prepare file"); }
  void Discard() override { calls.push_back(L"discard"); }

  bool windowCreated = true;
  HWND parent = nullptr;
  HelpAddressProvider help;
  std::vector<std::wstring> calls;
};

class WriteWebGLCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zem::AnswerQueue::Instance().Clear();
    zem::ClearPromptsShown();
    RhinoApp().NewDocument();
    SetWebGLDialogFactory([this](HWND parent, ZEM_WebGL_DialogInterface::HelpAddressProvider help) {
      auto& made = dialogs.emplace_back(std::make_unique<FakeDialog>());
      made->parent = parent;
      made->help = std::move(help);
      made->windowCreated = nextWindowCreated;
      return made.get();
    });
  }
  void TearDown() override {
    SetWebGLDialogFactory({});
    zem::AnswerQueue::Instance().Clear();
    RhinoApp().CloseDocument();
  }
  // Runs a command object of the test's own (the module's keeps its dialog
  // for the whole process), with the mode answered.
  CRhinoCommand::result Run(CCommandZEMWriteWebGL& command, std::wstring_view mode) {
    zem::AnswerQueue::Instance().Push(kModePrompt, mode);
    return command.RunCommand(CRhinoCommandContext(RhinoApp().ActiveDoc(), CRhinoCommandContext::interactive_ui));
  }

  std::vector<std::unique_ptr<FakeDialog>> dialogs;
  bool nextWindowCreated = true;
};

TEST_F(WriteWebGLCommandTest, IsRegisteredByTheModuleAndFailsSilentlyWithoutADocument) {
  EXPECT_EQ(RhinoApp().FindCommand(L"ZEMWriteWebGL"), &WriteWebGLCommand());
  RhinoApp().CloseDocument();
  zem::AnswerQueue::Instance().Push(kModePrompt, L"Email");
  EXPECT_FALSE(RhinoApp().RunScript(L"_ZEMWriteWebGL", 0));
  EXPECT_EQ(RhinoApp().LastCommandResult(), CRhinoCommand::failure);
  EXPECT_TRUE(zem::PromptsShown().empty());
  EXPECT_TRUE(zem::AnswerQueue::Instance().Has(kModePrompt)) << "no prompt took the answer";
  EXPECT_TRUE(dialogs.empty());
}

TEST_F(WriteWebGLCommandTest, MakesTheDialogOnceAndShowsItAgainInTheModeAnswered) {
  CCommandZEMWriteWebGL command;
  // Enter and Escape continue as a file export.
  for (std::wstring_view mode :
       {std::wstring_view(L"Email"), std::wstring_view(), std::wstring_view(L"File"), zem::kEscapeAnswer})
    EXPECT_EQ(Run(command, mode), CRhinoCommand::success);
  ASSERT_EQ(zem::PromptsShown().size(), 4u);
  EXPECT_EQ(zem::PromptsShown()[0].options, (std::vector<std::wstring>{L"File", L"Email", L"About"}));
  EXPECT_EQ(zem::PromptsShown()[0].defaultValue, L"File");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(command.Dialog(), dialogs[0].get());
  EXPECT_EQ(dialogs[0]->parent, RhinoApp().MainWnd());
  EXPECT_EQ(dialogs[0]->calls, (std::vector<std::wstring>{L"create", L"show", L"prepare mail", L"show", L"prepare file",
                                                          L"show", L"prepare file", L"show", L"prepare file"}));

  // The dialog asks the command for its help address, topic included.
  ON_wString url;
  EXPECT_TRUE(command.GetCommandHelpURL(url));
  EXPECT_EQ(std::wstring(url), HelpAddress(false) + L"::writewebgl.htm");
  EXPECT_EQ(dialogs[0]->help(), std::wstring(url));
}

TEST_F(WriteWebGLCommandTest, ADialogWithoutAWindowIsGivenUpAndMadeAfreshNextTime) {
  CCommandZEMWriteWebGL command;
  nextWindowCreated = false;
  EXPECT_EQ(Run(command, L"File"), CRhinoCommand::success) << "the command still ends well";
  EXPECT_EQ(command.Dialog(), nullptr);
  nextWindowCreated = true;
  EXPECT_EQ(Run(command, L"File"), CRhinoCommand::success);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0]->calls, (std::vector<std::wstring>{L"create", L"discard"}));
  EXPECT_EQ(dialogs[1]->calls, (std::vector<std::wstring>{L"create", L"show", L"prepare file"}));
  EXPECT_EQ(command.Dialog(), dialogs[1].get());
}

TEST_F(WriteWebGLCommandTest, AboutShowsAModalBoxOverTheMainWindowAndNoExportDialog) {
  CCommandZEMWriteWebGL command;
  // Looks at the About box while it runs, then presses its "Ok".
  HWND about = nullptr;
  bool ownerDisabled = false;
  HWND owner = nullptr;
  std::vector<std::wstring> texts;
  const int watch = zem::AddIdleHandler([&] {
    if (about) return;
    about = zem::LastShownWindow(L"#32770");
    if (!about) return;
    ownerDisabled = !::IsWindowEnabled(RhinoApp().MainWnd());
    owner = ::GetWindow(about, GW_OWNER);
    for (HWND child : zem::ChildWindows(about)) texts.push_back(zem::WindowText(child));
  });
  zem::AnswerQueue::Instance().Push(zem::kDialogQuestion, L"press Ok");
  zem::ClearRefusedActions();
  EXPECT_EQ(Run(command, L"About"), CRhinoCommand::success);
  zem::RemoveIdleHandler(watch);

  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(dialogs.empty());
  EXPECT_TRUE(zem::RefusedActions().empty());
  EXPECT_FALSE(::IsWindow(about)) << "the box is gone once it closed";
  EXPECT_EQ(owner, RhinoApp().MainWnd());
  EXPECT_TRUE(ownerDisabled) << "modal over the main window";
  EXPECT_TRUE(::IsWindowEnabled(RhinoApp().MainWnd()));
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], WebGLPlugIn().PlugInName());
  EXPECT_NE(texts[1].find(WebGLPlugIn().PlugInVersion()), std::wstring::npos);
  EXPECT_EQ(texts[2].rfind(L"https://", 0), 0u);
}

}  // namespace
