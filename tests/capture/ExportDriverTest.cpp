// One export of the active view, end to end: what the driver takes from
// the document and view, and what it writes or hands on.
#include "capture/ExportDriver.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <limits>
#include <memory>
#include <regex>
#include <thread>

#include "tests/support/CaptureTestSupport.h"
#include "capture/ExportListener.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoBrepObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoView.h"
#include "standin/host/ON_Brep.h"
#include "standin/host/ON_NurbsSurface.h"
#include "standin/platform/AnswerQueue.h"
#include "tests/support/MailTestSupport.h"

namespace zem {
namespace {

using zem::testing::Count;

// A fan of n triangles (or n quads) around the origin.
ON_Mesh Fan(int n, bool quads = false, bool texCoords = false) {
  ON_Mesh mesh;
  for (int i = 0; i <= 2 * n + 1; ++i) mesh.m_V.Append(ON_3fPoint(float(i), float(i % 3), 0.0f));
  for (int i = 0; i < n; ++i) {
    ON_MeshFace f;
    f.vi[0] = 0, f.vi[1] = 2 * i + 1, f.vi[2] = 2 * i + 2, f.vi[3] = quads ? 2 * i + 3 : 2 * i + 2;
    mesh.m_F.Append(f);
  }
  mesh.ComputeVertexNormals();
  if (texCoords)
    for (int i = 0; i < mesh.VertexCount(); ++i) mesh.m_T.Append(ON_2fPoint(0.5f, 0.25f));
  return mesh;
}

class ExportDriverTest : public zem::testing::TempFolderTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    doc = &RhinoApp().NewDocument();
    view = doc->CreateView(L"Perspective");
    RhinoApp().SetActiveView(view);
    ON_Viewport& vp = view->Viewport().VP();
    vp.SetCamera(ON_3dPoint(0, -20, 0), ON_3dPoint(0, 0, 0), ON_3dVector(0, 0, 1));
    zem::AnswerQueue::Instance().Clear();
  }
  void TearDown() override {
    if (rendererInstalled) RhinoApp().UnregisterScriptCommand(L"ZEMWriteWebGL_RT");
    zem::AnswerQueue::Instance().Clear();
    RhinoApp().CloseDocument();
    TempFolderTest::TearDown();
  }
  // A stand-in of the sibling renderer's command: it records what it was
  // asked and answers its probe ("2") always, an export as told.
  void InstallRenderer(bool exportSucceeds) {
    RhinoApp().RegisterScriptCommand(L"ZEMWriteWebGL_RT",
                                     [this, exportSucceeds](const std::vector<std::wstring>& args) {
                                       rendererCalls.push_back(args);
                                       return exportSucceeds || (args.size() == 1 && args[0] == L"2");
                                     });
    rendererInstalled = true;
  }
  CDisplayPipelineAttributes& Display() { return *view->DisplayPipeline()->DisplayAttrs(); }
  CRhinoMeshObject* AddMesh(const ON_Mesh& mesh, int material = -1, bool reference = false) {
    auto* object = new CRhinoMeshObject(mesh);
    ON_3dmObjectAttributes attributes = object->Attributes();
    attributes.m_material_index = material;
    attributes.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
    object->ModifyAttributes(attributes);
    doc->AddObject(object, reference);
    return object;
  }
  ExportResult Run(const ExportOptions& options = {}, bool answer = true, bool preview = false) {
    if (answer) zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, PagePath());
    // Replacing the page of an earlier run: yes.
    if (answer && std::filesystem::exists(folder / "page.html"))
      zem::AnswerQueue::Instance().Push(zem::kMessageBoxQuestion, L"yes");
    ExportHooks hooks;
    hooks.capturePreview = preview;
    return RunExport(options, memory, hooks);
  }
  // The triangle count of every mesh buffer, in page order.
  std::vector<int> TriangleCounts(const std::string& page) {
    std::vector<int> counts;
    for (auto at = page.find("bl.push("); at != std::string::npos; at = page.find("bl.push(", at + 1)) {
      if (at > 0 && page[at - 1] == 'l') continue;  // a curve buffer's lbl.push
      counts.push_back(std::atoi(page.c_str() + at + 8));
    }
    return counts;
  }
  CRhinoDoc* doc = nullptr;
  CRhinoView* view = nullptr;
  ExportMemory memory;
  std::vector<std::vector<std::wstring>> rendererCalls;
  bool rendererInstalled = false;
};

TEST_F(ExportDriverTest, ComposeLinkTargetFollowsTheLinkMode) {
  EXPECT_EQ(zem::ComposeLinkTarget(L"example.com", ExportOptions::LinkMode::Web), L"http://example.com");
  EXPECT_EQ(zem::ComposeLinkTarget(L"ann@example.com", ExportOptions::LinkMode::Mail), L"mailto:ann@example.com");
  EXPECT_EQ(zem::ComposeLinkTarget(L"https://example.com", ExportOptions::LinkMode::Mail), L"https://example.com");
  EXPECT_EQ(zem::ComposeLinkTarget(L"https://example.com", ExportOptions::LinkMode::Web), L"https://example.com");
  EXPECT_EQ(zem::ComposeLinkTarget(L"example.com", ExportOptions::LinkMode::NoLink), L"");
  EXPECT_EQ(zem::ComposeLinkTarget(L"MAILTO:ann@example.com", ExportOptions::LinkMode::Mail),
            L"mailto:MAILTO:ann@example.com");
  EXPECT_EQ(zem::ComposeLinkTarget(L"", ExportOptions::LinkMode::Mail), L"");
  EXPECT_EQ(zem::ComposeLinkTarget(L"example.com", ExportOptions::LinkMode::NoSelection), L"example.com");
}

TEST_F(ExportDriverTest, WithoutADocumentOrViewItEndsAsCancelled) {
  RhinoApp().CloseDocument();
  ExportResult result = Run();
  EXPECT_EQ(result.status, ExportStatus::Cancelled);
  EXPECT_EQ(memory.storedTitle, L"");
  EXPECT_EQ(zem::AnswerQueue::Instance().Pending(), 1u) << "the save dialog was not even shown";
}

TEST_F(ExportDriverTest, TakesVisibleLockedAndReferenceObjectsOnly) {
  auto withMode = [&](CRhinoObject* object, ON_3dmObjectAttributes::object_mode mode) {
    ON_3dmObjectAttributes a = object->Attributes();
    a.SetMode(mode);
    object->ModifyAttributes(a);
  };
  AddMesh(Fan(1));                                                   // 1 triangle: kept
  withMode(AddMesh(Fan(2)), ON_3dmObjectAttributes::hidden_object);  // hidden
  withMode(AddMesh(Fan(3)), ON_3dmObjectAttributes::locked_object);  // locked: kept
  AddMesh(Fan(4), -1, true);                                         // reference: kept
  doc->DeleteObject(AddMesh(Fan(5)));                                // deleted
  ON_Layer hidden;
  hidden.m_name = L"hidden";
  hidden.SetVisible(false);
  const int layer = doc->m_layer_table.AddLayer(hidden);
  CRhinoObject* onHiddenLayer = AddMesh(Fan(6));
  ON_3dmObjectAttributes a = onHiddenLayer->Attributes();
  a.m_layer_index = layer;
  onHiddenLayer->ModifyAttributes(a);
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_EQ(TriangleCounts(ReadPage()), (std::vector<int>{1, 3, 4}));
}

TEST_F(ExportDriverTest, ABrepGivesBuffersOnlyOnceItHasRenderMeshes) {
  ON_NurbsSurface plane(false, 2, 2, 2, 2);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) plane.SetCV(i, j, ON_3dPoint(i, j, 0));
  auto* brep = new CRhinoBrepObject(ON_Brep::FromSurface(plane));
  doc->AddObject(brep);
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_TRUE(TriangleCounts(ReadPage()).empty());
  brep->Brep()->CreateRenderMeshes();
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_FALSE(TriangleCounts(ReadPage()).empty());
}

TEST_F(ExportDriverTest, WritesBrokenMeshesSoundly) {
  ON_Mesh mesh = Fan(3);
  mesh.m_N.SetCount(2);  // fewer normals than vertices
  ON_MeshFace bad;
  bad.vi[0] = 0, bad.vi[1] = 1, bad.vi[2] = 99, bad.vi[3] = 99;
  mesh.m_F.Append(bad);
  mesh.m_V[6] = ON_3fPoint(std::numeric_limits<float>::quiet_NaN(), 0, 0);  // a corner of the last fan triangle
  AddMesh(mesh);
  ASSERT_EQ(Run().status, ExportStatus::Written);
  std::string page = ReadPage();
  EXPECT_EQ(TriangleCounts(page), (std::vector<int>{2}));
  const auto at = page.find("function initVB(");
  const std::string data = page.substr(at, page.find("function initWebGL", at) - at);
  EXPECT_FALSE(std::regex_search(data, std::regex("[-,=(]nan|[-,=(]inf"))) << data;
}

TEST_F(ExportDriverTest, TheDefaultBackgroundIsTheApplicationsViewportColour) {
  Display().SetBackgroundFillMode(CDisplayPipelineAttributes::FBFM_DEFAULT_COLOR);
  RhinoApp().AppSettings().SetViewportBackgroundColor(ON_Color(0, 255, 0));
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_NE(ReadPage().find("tlc.x=0;tlc.y=1;tlc.z=0;blc.x=0;blc.y=1;blc.z=0;trc.x=0;trc.y=1;trc.z=0;brc.x=0;brc.y=1;"),
            std::string::npos);
}

// The preview needs no temporary file: an unusable temporary folder costs
// the page nothing.
TEST_F(ExportDriverTest, ThePreviewIsRenderedWithoutATemporaryFile) {
  AddMesh(Fan(20));
  ASSERT_EQ(Run({}, true, true).status, ExportStatus::Written);
  if (ReadPage().find("GLPreview") == std::string::npos) GTEST_SKIP() << "no offscreen renderer here";
  zem::testing::ScopedEnv unusable{"TMPDIR", (folder / "no such folder").c_str()};
  ASSERT_EQ(Run({}, true, true).status, ExportStatus::Written);
  const std::string page = ReadPage();
  EXPECT_NE(page.find("<div id=\"GLPreview\" style=\"background-image:url('data:image/jpeg;base64,/9j/"),
            std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "the page alone";
}

// The pipeline of the sibling renderer.
class RendererPipeline : public CRhinoDisplayPipeline {
 public:
  const CRuntimeClass* GetRuntimeClass() const override {
    static const CRuntimeClass runtimeClass{"ZEM_Rhino_GLPipeline"};
    return &runtimeClass;
  }
};

// Asked only when its pipeline draws the view and no text holds a quote;
// when it answers, our own export does not run.
TEST_F(ExportDriverTest, TheRendererWritesThePageWhenItsPipelineDrawsAndItsCommandAnswers) {
  InstallRenderer(true);
  const auto& calls = rendererCalls;
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_TRUE(calls.empty()) << "another pipeline draws the view";
  view->SetDisplayPipeline(std::make_unique<RendererPipeline>());
  ExportOptions options;
  options.title = L"A \"quoted\" title";
  ASSERT_EQ(Run(options).status, ExportStatus::Written);
  EXPECT_TRUE(calls.empty());
  options.title = L"Bike";
  options.author = L"Ann";
  options.showDots = false;
  std::filesystem::remove(folder / "page.html");
  ASSERT_EQ(Run(options).status, ExportStatus::WrittenByRenderer);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (std::vector<std::wstring>{L"2"}));
  ASSERT_EQ(calls[1].size(), 9u);
  const std::vector<std::wstring>& c = calls[1];
  EXPECT_EQ((std::vector{c[0], c[1], c[2], c[3], c[7]}),
            (std::vector<std::wstring>{L"0", PagePath(), L"Bike", L"Ann", L"0"}));
  EXPECT_EQ(calls[1][8].rfind(L"free ZEM WebGL Export for Rhino version ", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder / "page.html")) << "our own export did not run";
}

TEST_F(ExportDriverTest, FailedRendererRunsFallBackToOurOwnExport) {
  InstallRenderer(false);
  view->SetDisplayPipeline(std::make_unique<RendererPipeline>());
  ASSERT_EQ(Run().status, ExportStatus::Written);
  EXPECT_EQ(rendererCalls.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(folder / "page.html"));
}

// Records what the driver tells it, and on which thread.
class RecordingListener : public ExportListener {
 public:
  void OnExportProgress(long long written) override {
    progress.push_back(written);
    threads.push_back(std::this_thread::get_id());
  }
  void OnExportFinished(const ExportResult& result) override {
    outcomes.push_back(result);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<long long> progress;
  std::vector<ExportResult> outcomes;
  std::vector<std::thread::id> threads;
};

TEST_F(ExportDriverTest, TheListenerHearsProgressAndOutcomeOnTheExportingThread) {
  AddMesh(Fan(8000));
  RecordingListener listener;
  ExportResult result;
  {
    ScopedExportListener listening(listener);
    ExportOptions options;
    options.threads = 4;
    result = Run(options);
  }
  ASSERT_EQ(result.status, ExportStatus::Written);
  // One report per buffer of at most 3555 triangles, growing to the whole.
  EXPECT_EQ(listener.progress, (std::vector<long long>{3555, 7110, 8000}));
  ASSERT_EQ(listener.outcomes.size(), 1u);
  EXPECT_EQ(listener.outcomes[0].status, result.status);
  EXPECT_EQ(listener.outcomes[0].pagePath, result.pagePath);
  for (const std::thread::id& thread : listener.threads) EXPECT_EQ(thread, std::this_thread::get_id());

  // Uninstalled with its scope: a later export is not heard.
  Run();
  EXPECT_EQ(listener.outcomes.size(), 1u);

  // An export that ends before any page is heard too.
  ScopedExportListener listening(listener);
  Run({}, false);  // the save dialog cancelled
  ASSERT_EQ(listener.outcomes.size(), 2u);
  EXPECT_EQ(listener.outcomes[1].status, ExportStatus::Cancelled);
}

// A failed write never costs the page it was to replace: the new page is
// written beside it and renamed, under a short temporary name when the
// page's own name leaves no room for a longer one.
TEST_F(ExportDriverTest, AFailedWriteKeepsTheEarlierPageWhateverTheLengthOfItsName) {
  AddMesh(Fan(10));
  auto exportWithFilesUpTo = [&](const std::filesystem::path& page, rlim_t bytes) {
    zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, page.wstring());
    zem::AnswerQueue::Instance().Push(zem::kMessageBoxQuestion, L"yes");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ExportHooks hooks;
    hooks.capturePreview = false;
    const ExportStatus status = RunExport({}, memory, hooks).status;
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousSignal);
    return status;
  };
  for (const std::string& name : {std::string("page.html"), std::string(250, 'p') + ".html"}) {
    SCOPED_TRACE(name.size());
    const std::filesystem::path page = folder / name;
    zem::testing::WriteBytes(page, "earlier page");
    EXPECT_EQ(exportWithFilesUpTo(page, 4096), ExportStatus::WriteFailed);
    EXPECT_EQ(zem::testing::ReadFileBytes(page), "earlier page");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "nothing left beside it";
    EXPECT_EQ(exportWithFilesUpTo(page, RLIM_INFINITY), ExportStatus::Written);
    EXPECT_GT(std::filesystem::file_size(page), 4096u);
    std::filesystem::remove(page);
  }
}

}  // namespace
}  // namespace zem
