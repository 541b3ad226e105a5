// zem-webgl through the plug-in's command and export dialog: the estimate
// as the dialog shows it, options the dialog refuses, the dialog's picture,
// and the page the command path writes against the export driver's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/ExportDriver.h"
#include "capture/PageWireSelection.h"
#include "dialog/SizeEstimate.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoView.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"
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
using zem::PageTakesWires;
using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;

const fs::path kDemoDocument = fs::path(ZEM_TEST_DATA_DIR) / ".." / ".." / "assets" / "demo" / "demo.json";

// What the page of the active view would hold, counted here from the
// document's objects: render meshes and their triangles (a textured one
// weighs a third more) while the mode shades, and the wire curves the page
// takes with the points of their polylines.
zem::PreviewCounts CountActiveView() {
  zem::PreviewCounts counts;
  const CRhinoView* view = RhinoApp().ActiveView();
  const CDisplayPipelineAttributes& display = *view->DisplayPipeline()->DisplayAttrs();
  CRhinoObjectIterator it(*RhinoApp().ActiveDoc(), CRhinoObjectIterator::all_objects);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible()) continue;
    const bool solid = object->ObjectType() == ON::mesh_object || object->ObjectType() == ON::brep_object;
    ON_SimpleArray<const ON_Mesh*> meshes;
    if (display.m_bShadingOn && solid) object->GetMeshes(ON::render_mesh, meshes);
    for (int i = 0; i < meshes.Count(); ++i) {
      const long long n = meshes[i]->TriangleCount() + 2LL * meshes[i]->QuadCount();
      counts.meshes += 1;
      counts.triangles += meshes[i]->HasTextureCoordinates() ? n + n / 3 : n;
    }
    if (!PageTakesWires(*object, display)) continue;
    ON_SimpleArray<ON_Curve*> curves;
    object->GetWireframeCurves(curves);
    for (int i = 0; i < curves.Count(); ++i) {
      ON_PolylineCurve polyline;
      RhinoConvertCurveToPolyline(*curves[i], 0, 0, 0.25, 1.0, 0, 0, 0, 0, &polyline, true, nullptr);
      counts.curves += 1;
      counts.points += polyline.PointCount();
      delete curves[i];
    }
  }
  return counts;
}

struct EstimateCase {
  const char* name;
  std::vector<std::string> options;
  const char* view;  // null: the document's active view
  const char* mode;  // null: the view's own
  bool zipped;
  bool compact = false;
};

class DialogPathTest : public zem::testing::ProgramTest, public ::testing::WithParamInterface<EstimateCase> {};

TEST_F(DialogPathTest, AnEmptyModelIsEstimatedAtTheFixedPartAlone) {
  std::ofstream(folder / "empty.json") << R"({"format": "zem-document", "version": 1})";
  const Outcome run = Zem({"estimate", (folder / "empty.json").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "Approximate file size: 0.1 MB\n");
}

TEST_P(DialogPathTest, TheDemosEstimatePrintsWhatTheDocumentsObjectsGiveForTheViewAndMode) {
  const EstimateCase& c = GetParam();
  std::vector<std::string> args{"estimate", kDemoDocument.string()};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const Outcome run = Zem(args);
  ASSERT_EQ(run.code, 0) << run.err;

  zem::ModelReport report;
  ASSERT_TRUE(zem::OpenModelFile(zem::FromUtf8(kDemoDocument.string()), report)) << zem::ToUtf8(report.error);
  CRhinoDoc& doc = *RhinoApp().ActiveDoc();
  if (c.view) RhinoApp().SetActiveView(doc.FindView(zem::FromUtf8(c.view).c_str()));
  if (c.mode) RhinoApp().ActiveView()->SetDisplayMode(*zem::FindDisplayMode(zem::FromUtf8(c.mode).c_str()));
  const zem::PreviewCounts counts = CountActiveView();
  RhinoApp().CloseDocument();
  ASSERT_GT(counts.triangles + counts.points, 0);
  EXPECT_EQ(run.out,
            zem::ToUtf8(zem::SizeEstimate::Label(zem::SizeEstimate::Megabytes(counts, c.zipped, c.compact))) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    ViewsModesAndMail, DialogPathTest,
    ::testing::Values(EstimateCase{"ActiveView", {}, nullptr, nullptr, false},
                      EstimateCase{"Wireframe", {"--display-mode", "Wireframe"}, nullptr, "Wireframe", false},
                      EstimateCase{"TopView", {"--view", "Top"}, "Top", nullptr, false},
                      EstimateCase{"Email", {"--email"}, nullptr, nullptr, false},
                      EstimateCase{"EmailZipped", {"--email", "--zip"}, nullptr, nullptr, true},
                      EstimateCase{"Compact", {"--compact"}, nullptr, nullptr, false, true},
                      EstimateCase{"CompactZipped", {"--email", "--zip", "--compact"}, nullptr, nullptr, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

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
