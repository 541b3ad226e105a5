// zem-webgl through the plug-in's command and export dialog: the estimate
// as the dialog shows it, options the dialog refuses, the dialog's picture,
// and the page the command path writes against the export driver's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/ExportDriver.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/ModelFile.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/ScriptedPerson.h"
#include "standin/platform/TextEncoding.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/MailTestSupport.h"

namespace {

namespace fs = std::filesystem;
using zem::ExportMemory;
using zem::ExportOptions;
using zem::ExportResult;
using zem::ExportStatus;
using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

const fs::path kDemoDocument = fs::path(ZEM_TEST_DATA_DIR) / ".." / ".." / "assets" / "demo" / "demo.json";

class DialogPathTest : public zem::testing::ProgramTest {};

// The estimate is the dialog's, for the view, display mode and delivery the
// options name (how counts and weights make it is the preview's and the
// estimate's own test); an empty model costs the fixed part alone.
TEST_F(DialogPathTest, TheEstimateFollowsTheViewModeAndDeliveryTheOptionsName) {
  std::ofstream(folder / "empty.json") << R"({"format": "zem-document", "version": 1})";
  const std::string demo = kDemoDocument.string();
  for (const auto& [args, megabytes] :
       std::vector<std::pair<std::vector<std::string>, const char*>>{{{demo}, "0.6"},
                                                                     {{demo, "--display-mode", "Wireframe"}, "0.1"},
                                                                     {{demo, "--view", "Top"}, "0.1"},
                                                                     {{demo, "--email"}, "0.6"},
                                                                     {{demo, "--email", "--zip"}, "0.1"},
                                                                     {{demo, "--compact"}, "0.2"},
                                                                     {{demo, "--email", "--zip", "--compact"}, "0.0"},
                                                                     {{(folder / "empty.json").string()}, "0.1"}}) {
    std::vector<std::string> command{"estimate"};
    command.insert(command.end(), args.begin(), args.end());
    const Outcome run = Zem(command);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string("Approximate file size: ") + megabytes + " MB\n") << args.back();
  }
}

TEST_F(DialogPathTest, AnOptionTheDialogRefusesCancelsItAndWritesNothing) {
  const fs::path page = folder / "refused.html";
  const Outcome run = Zem({"demo", "-o", page.string(), "--link", "ann@example.com", "--link-mode", "none"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("ann@example.com"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("disabled"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(page));
  EXPECT_EQ(zem::AnswerQueue::Instance().Pending(), 0u);
  // The dialog was cancelled, not left open: the next run works.
  const Outcome next = Zem({"demo", "-o", page.string(), "--quiet"});
  EXPECT_EQ(next.code, 0) << next.err;
  EXPECT_TRUE(fs::exists(page));
}

TEST_F(DialogPathTest, ADialogThatNeverFinishesItsWorkIsAnErrorNotAHang) {
  // Something keeps giving the dialog more to do at every pass.
  const int busy =
      zem::AddIdleHandler([] { zem::AnswerQueue::Instance().Push(zem::kDialogQuestion, L"check Show Dots"); });
  const fs::path page = folder / "never.html";
  const Outcome run = Zem({"demo", "-o", page.string()});
  zem::RemoveIdleHandler(busy);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("export dialog"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(page));
}

// On export the picture shows what a person sees before pressing Ok: the
// dialog as estimate shows it, size estimate and all (fresh processes, so
// that both start from the document's own title).
TEST_F(DialogPathTest, TheDialogsPictureIsSavedOnExportAndEstimate) {
  const fs::path page = folder / "p.html", shown = folder / "export.png", estimated = folder / "estimate.png";
  ASSERT_EQ(zem::testing::ZemAlone(
                {"export", kDemoDocument.string(), "-o", page.string(), "--dialog-picture", shown.string()}),
            0);
  ASSERT_EQ(zem::testing::ZemAlone({"estimate", kDemoDocument.string(), "--dialog-picture", estimated.string()}), 0);
  EXPECT_EQ(ReadFileBytes(shown).substr(1, 3), "PNG");
  EXPECT_TRUE(ReadFileBytes(shown) == ReadFileBytes(estimated));
  EXPECT_TRUE(fs::exists(page));
  const Outcome nowhere =
      Zem({"estimate", kDemoDocument.string(), "--dialog-picture", (folder / "no" / "p.png").string()});
  EXPECT_EQ(nowhere.code, 1);
  EXPECT_NE(nowhere.err.find("p.png"), std::string::npos) << nowhere.err;
}

// The page of the demo with every page option changed, written by the
// export driver itself.
bool WriteDirectPage(const fs::path& page) {
  zem::ModelReport report;
  if (!zem::OpenDemoDocument(report)) return false;
  const ExportOptions options{.title = L"T & <t>",
                              .author = L"Ann",
                              .linkText = L"example.com/ann",
                              .linkMode = ExportOptions::LinkMode::Web,
                              .showNotes = true,
                              .showDots = false,
                              .threads = 2,
                              .compact = true};
  zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, zem::FromUtf8(page.string()));
  ExportMemory memory;
  const ExportResult result = RunExport(options, memory);
  RhinoApp().CloseDocument();
  zem::AnswerQueue::Instance().Clear();
  return result.status == ExportStatus::Written;
}

TEST_F(DialogPathTest, TheCommandWritesTheDemoPageTheExportDriverWrites) {
  // Run again by itself below: it writes the driver's page and ends.
  if (const char* page = std::getenv("ZEM_TEST_DIRECT_PAGE")) {
    ASSERT_TRUE(WriteDirectPage(page));
    return;
  }
  zem::testing::ScopedEnv epoch{"SOURCE_DATE_EPOCH", "1000000000"};
  const fs::path viaCommand = folder / "command.html", direct = folder / "direct.html";
  // Each page is written by a fresh process: an export in a process that
  // has exported before is known to number the page's buffers on.
  ASSERT_EQ(
      zem::testing::ZemAlone({"demo", "-o", viaCommand.string(), "--title", "T & <t>", "--author", "Ann", "--link",
                              "example.com/ann", "--notes", "--no-dots", "--threads", "2", "--compact"}),
      0);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string self = "ZEM_TEST_DIRECT_PAGE='" + direct.string() + "' '" +
                           fs::read_symlink("/proc/self/exe").string() + "' --gtest_filter=" + test->test_suite_name() +
                           "." + test->name() + " > /dev/null";
  ASSERT_EQ(std::system(self.c_str()), 0) << self;
  const std::string expected = ReadFileBytes(direct);
  ASSERT_GT(expected.size(), 10000u);
  EXPECT_TRUE(ReadFileBytes(viaCommand) == expected);
}

}  // namespace
