#include "standin/host/CRhinoCommand.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoGet.h"
#include "standin/platform/AnswerQueue.h"

namespace {

// A command that asks one option prompt, may run a script, and records
// what it was given.
template <typename Base>
class ProbeCommand : public Base {
 public:
  explicit ProbeCommand(const wchar_t* name) : m_name(name) {}
  ON_UUID CommandUUID() override { return ON_UUID{0x1234, 1, 2, {}}; }
  const wchar_t* EnglishCommandName() override { return m_name; }
  CRhinoCommand::result RunCommand(const CRhinoCommandContext& context) override {
    contexts.push_back(context);
    CRhinoGetOption get;
    get.SetCommandPrompt(L"Probe Mode");
    for (const wchar_t* option : {L"Alpha", L"Beta", L"Bravo"}) get.AddCommandOption(RHCMDOPTNAME(option));
    got = get.GetOption();
    chosen = get.Option() ? get.Option()->m_option_index : 0;
    if (!script.empty()) scriptRan = RhinoApp().RunScript(script.c_str(), 0);
    return answer;
  }

  const wchar_t* m_name;
  CRhinoCommand::result answer = CRhinoCommand::success;
  std::wstring script;
  std::vector<CRhinoCommandContext> contexts;
  std::optional<bool> scriptRan;
  CRhinoGet::result got = CRhinoGet::no_result;
  int chosen = 0;
};

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override { zem::ClearPromptsShown(); }
  void TearDown() override {
    zem::AnswerQueue::Instance().Clear();
    RhinoApp().CloseDocument();
  }
};

TEST_F(CommandTest, RunsByNameWithAnyPrefixOnTheActiveDocumentAndAnswersItsResult) {
  ProbeCommand<CRhinoCommand> command(L"ProbeRun");
  CRhinoDoc& doc = RhinoApp().NewDocument();
  for (const wchar_t* line : {L"ProbeRun", L"_ProbeRun", L"-ProbeRun", L"_-proberun"})
    EXPECT_TRUE(RhinoApp().RunScript(line, 0)) << line;
  ASSERT_EQ(command.contexts.size(), 4u);
  EXPECT_EQ(command.contexts[0].Document(), &doc);
  EXPECT_TRUE(command.contexts[1].IsInteractive());
  EXPECT_FALSE(command.contexts[2].IsInteractive()) << "the \"-\" prefix runs the scripted form";

  RhinoApp().CloseDocument();
  command.answer = CRhinoCommand::failure;
  EXPECT_FALSE(RhinoApp().RunScript(L"_ProbeRun", 0));
  EXPECT_EQ(RhinoApp().LastCommandResult(), 3);
  EXPECT_EQ(command.contexts.back().Document(), nullptr);
}

TEST_F(CommandTest, TheFirstCommandOfANameKeepsItUntilItIsDestroyed) {
  auto first = std::make_unique<ProbeCommand<CRhinoCommand>>(L"ProbeTwice");
  ProbeCommand<CRhinoCommand> second(L"ProbeTwice");
  EXPECT_EQ(RhinoApp().FindCommand(L"ProbeTwice"), first.get());
  first.reset();
  EXPECT_EQ(RhinoApp().FindCommand(L"ProbeTwice"), &second);
}

TEST_F(CommandTest, OnlyScriptCommandsRunScriptsWhileTheyRun) {
  ProbeCommand<CRhinoCommand> inner(L"ProbeInner"), plain(L"ProbePlain");
  ProbeCommand<CRhinoScriptCommand> scripted(L"ProbeScripted");
  plain.script = scripted.script = L"_ProbeInner";
  RhinoApp().RunScript(L"_ProbePlain", 0);
  RhinoApp().RunScript(L"_ProbeScripted", 0);
  EXPECT_EQ(plain.scriptRan, false);
  EXPECT_EQ(scripted.scriptRan, true);
  EXPECT_EQ(inner.contexts.size(), 1u);
}

TEST_F(CommandTest, WordsAfterTheCommandAnswerItsPromptsBeforeTheQueue) {
  ProbeCommand<CRhinoCommand> command(L"ProbeWords");
  zem::AnswerQueue::Instance().Push(L"Probe Mode", L"Alpha");
  RhinoApp().RunScript(L"_ProbeWords _Bravo", 0);
  EXPECT_EQ(command.chosen, 3);
  RhinoApp().RunScript(L"_ProbeWords", 0);
  EXPECT_EQ(command.chosen, 1) << "the line's words were its own";
}

struct PromptCase {
  const char* name;
  std::vector<std::wstring> answers;  // queued under the prompt
  CRhinoGet::result result;
  int chosen;
  std::vector<std::wstring> refused;
};

class OptionPromptTest : public CommandTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(OptionPromptTest, AnswersFromTheQueueUnderThePrompt) {
  ProbeCommand<CRhinoCommand> command(L"ProbePrompt");
  for (const std::wstring& answer : GetParam().answers) zem::AnswerQueue::Instance().Push(L"Probe Mode", answer);
  zem::AnswerQueue::Instance().Push(L"Other Prompt", L"Beta");  // not this prompt's
  RhinoApp().RunScript(L"_ProbePrompt", 0);
  EXPECT_EQ(command.got, GetParam().result);
  EXPECT_EQ(command.chosen, GetParam().chosen);
  ASSERT_EQ(zem::PromptsShown().size(), 1u);
  EXPECT_EQ(zem::PromptsShown()[0].refused, GetParam().refused);
  EXPECT_TRUE(zem::AnswerQueue::Instance().Has(L"Other Prompt"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OptionPromptTest,
    ::testing::Values(
        PromptCase{"OptionName", {L"Beta"}, CRhinoGet::option, 2, {}},
        PromptCase{"EnglishNameAnyCase", {L"_bRAVO"}, CRhinoGet::option, 3, {}},
        PromptCase{"UnambiguousStart", {L"Al"}, CRhinoGet::option, 1, {}},
        PromptCase{"EmptyIsEnter", {L""}, CRhinoGet::nothing, 0, {}},
        PromptCase{"EscapeAnswer", {std::wstring(zem::kEscapeAnswer)}, CRhinoGet::cancel, 0, {}},
        PromptCase{"NoAnswerIsEscape", {}, CRhinoGet::cancel, 0, {}},
        PromptCase{
            "UnknownAndAmbiguousAreAskedAgain", {L"Gamma", L"B", L"Beta"}, CRhinoGet::option, 2, {L"Gamma", L"B"}},
        PromptCase{"OnlyUnknownAnswersEndAsEscape", {L"Gamma"}, CRhinoGet::cancel, 0, {L"Gamma"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
