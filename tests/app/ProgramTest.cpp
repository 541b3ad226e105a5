#include "app/Program.h"

#include "tests/support/MailTestSupport.h"

#include <gtest/gtest.h>

#include "page/PageFormat.h"
#include "tests/app/ProgramRun.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ProgramTest;
using zem::testing::ReadFileBytes;
using zem::testing::Zem;
using zem::testing::ZemAlone;

TEST_F(ProgramTest, DemoWritesACompletePageAndNamesItUnlessQuiet) {
  fs::path page = folder / "demo page.html";
  Outcome run = Zem({"demo", "-o", page.string()});
  EXPECT_EQ(run.code, 0) << run.err;
  ASSERT_TRUE(fs::exists(page));
  EXPECT_NE(run.out.find(page.string()), std::string::npos);
  EXPECT_NE(run.out.find(std::to_string(fs::file_size(page)) + " bytes"), std::string::npos);
  EXPECT_GT(fs::file_size(page), 10000u);
  Outcome quiet = Zem({"demo", "-o", (folder / "q.html").string(), "--quiet"});
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
}

TEST_F(ProgramTest, RejectsBadCommandLinesWithUsageCode) {
  // Command lines between bars (the first one empty), their arguments split at spaces.
  std::istringstream lines(
      "|frobnicate|--version extra|export|export --jobs 2|export a.obj --jobs 0|export a.obj --jobs x"
      "|export a.obj b.obj --dialog-picture d.png|demo --bogus|demo -o|demo --zip|demo --outbox x"
      "|demo --email -o a.html|demo --link-mode fax|demo --threads|demo --threads 0|demo --threads -2"
      "|demo --threads 2x|demo --threads 99999999999|estimate|estimate a.obj b.obj|estimate a.obj -o a.html"
      "|estimate a.obj --title T|estimate a.obj --notes|estimate a.obj --zip|estimate a.obj --bogus"
      "|estimate a.obj --dialog-picture|export a.step --mesh-quality best|export a.step --cad-time-limit 0"
      "|export a.step --cad-memory-limit 9x");
  for (std::string line; std::getline(lines, line, '|');) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word);
    Outcome run = Zem(args);
    EXPECT_EQ(run.code, 2) << line;
    EXPECT_NE(run.err.find("zem-webgl: "), std::string::npos) << line;
    EXPECT_EQ(run.out, "") << line;
  }
  const Outcome empty = Zem({"export", ""});
  EXPECT_EQ(empty.code, 2);
  EXPECT_NE(empty.err.find("empty argument where a model file name goes"), std::string::npos) << empty.err;
}

TEST_F(ProgramTest, FailedWriteIsReportedAndNotPresentedAsAPage) {
  // Every write past 40 blocks fails (and does not stop the program).
  const fs::path page = folder / "full.html";
  zem::testing::WriteBytes(page, "earlier page");
  const std::string command = "trap '' XFSZ; ulimit -f 40; exec '" + std::string(ZEM_WEBGL_PROGRAM) + "' demo -o '" +
                              page.string() + "' > '" + (folder / "out").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ReadFileBytes(folder / "out").find("failed"), std::string::npos) << ReadFileBytes(folder / "out");
  EXPECT_EQ(ReadFileBytes(page), "earlier page");
}

// A small OBJ model named `name` in `folder` (made if need be): one quad
// with a material.
fs::path WriteQuad(const fs::path& folder, const std::string& name = "quad.obj") {
  fs::create_directories(folder);
  std::ofstream(folder / "quad.mtl") << "newmtl red\nKd 1 0 0\n";
  std::ofstream(folder / name) << "mtllib quad.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nusemtl red\nf 1 2 3 4\n";
  return folder / name;
}

TEST_F(ProgramTest, BadModelsFoldersViewsAndModesAreClearErrorsThatWriteNothing) {
  const fs::path model = WriteQuad(folder);
  std::ofstream(folder / "broken.json") << "{ \"format\": ";
  std::ofstream(folder / "words.obj") << "this is not a model\n";
  const std::string in = folder.string() + "/";
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* says;
  };
  for (const Case& c :
       std::vector<Case>{{{"export", in + "none.obj"}, 1, "cannot read"},
                         {{"export", in + "broken.json"}, 1, "cannot read"},
                         {{"export", in + "words.obj"}, 1, "words.obj: no geometry found"},
                         {{"demo", "-o", in + "nowhere/p.html"}, 1, "does not exist"},
                         {{"export", model.string(), "--display-mode", "Sketchy"}, 2, "Rendered"},
                         {{"export", model.string(), model.string(), "--display-mode", "Sketchy"}, 2, "Rendered"},
                         {{"demo", "--view", "Nowhere", "-o", in + "v.html"}, 2, "Perspective"}}) {
    const Outcome run = Zem(c.args);
    EXPECT_EQ(run.code, c.code) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  for (const char* page : {"broken.html", "words.html", "nowhere", "quad.html", "v.html"})
    EXPECT_FALSE(fs::exists(folder / page)) << page;
}

// Names that cannot be meant are refused before anything is written: a page
// or picture over a file the export reads (after links), a device as the
// page, a page name for several models, a picture that is no .png or is the
// page. Folder errors name their real cause.
TEST_F(ProgramTest, NamesThatCannotBeMeantAreRefusedAndFolderErrorsNameTheirCause) {
  const fs::path model = WriteQuad(folder);
  std::ofstream(folder / "quad.mtl", std::ios::app) << "map_Kd tex.png\n";
  zem::testing::WriteBytes(folder / "tex.png", "a picture");
  fs::create_symlink(model, folder / "link.html");
  const std::string in = folder.string() + "/", obj = model.string();
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* says;
  };
  for (const Case& c : std::vector<Case>{
           {{"export", obj, "-o", obj}, 2, "which the export reads"},
           {{"export", obj, "-o", in + "quad.mtl"}, 2, "which the export reads"},
           {{"export", obj, "-o", in + "tex.png"}, 2, "which the export reads"},
           {{"export", obj, "-o", in + "link.html"}, 2, "which the export reads"},
           {{"export", obj, "-o", in + "p.html", "--dialog-picture", in + "tex.png"}, 2, "which the export reads"},
           {{"estimate", obj, "--dialog-picture", in + "tex.png"}, 2, "which the export reads"},
           {{"export", obj, "-o", in + "p.png", "--dialog-picture", in + "p.png"}, 2, "the page itself"},
           {{"export", obj, "-o", in + "p.html", "--dialog-picture", in + "p.html"}, 2, ".png"},
           {{"export", obj, "-o", "/dev/null"}, 2, "device"},
           {{"export", obj, obj, "-o", in + "x.html"}, 2, "names a folder"},
           {{"export", obj, obj, "-o", in + "quad.obj/sub"}, 1, "cannot make the folder"},
           {{"export", obj, "-o", in + std::string(300, 'p') + ".html"}, 1, "longer than"},
           {{"export", obj, "--email", "--outbox", in + "missing/"}, 1, "the outbox"},
       }) {
    const Outcome run = Zem(c.args);
    EXPECT_EQ(run.code, c.code) << c.says << ": " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFileBytes(folder / "tex.png"), "a picture");
  EXPECT_EQ(ReadFileBytes(model).rfind("mtllib", 0), 0u);
  EXPECT_EQ(ReadFileBytes(folder / "quad.mtl").rfind("newmtl", 0), 0u);
  for (const char* made : {"p.html", "p.png", "x.html", "quad.html"}) EXPECT_FALSE(fs::exists(folder / made)) << made;
  EXPECT_FALSE(fs::exists("/dev/null.html"));
}

TEST_F(ProgramTest, EmailSavesADraftWithTheZippedPageAndKeepsNoPage) {
  zem::testing::ScopedEnv noDisplay{"DISPLAY", nullptr}, noWayland{"WAYLAND_DISPLAY", nullptr};
  zem::testing::ScopedEnv tmpdir{"TMPDIR", folder.c_str()};
  fs::create_directories(folder / "out");
  Outcome run = Zem({"demo", "--email", "--zip", "--outbox", (folder / "out").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find(".eml"), std::string::npos);
  const auto drafts = zem::testing::DraftsIn(folder / "out");
  ASSERT_EQ(drafts.size(), 1u);
  const auto draft = zem::testing::ReadDraft(drafts[0]);  // the attachments live in it
  const auto attachments = draft.Attachments();
  ASSERT_EQ(attachments.size(), 1u);
  EXPECT_EQ(attachments[0]->Parameter("content-disposition", "filename"), "ZEM WebGL Demo.html.zip");
  const std::string archive = attachments[0]->Decoded();
  EXPECT_EQ(archive.rfind("PK\x03\x04", 0), 0u);
  EXPECT_NE(archive.find("ZEM WebGL Demo.html"), std::string::npos);
}

// A hand-over that did not happen (the mail program failed, the draft could
// not be saved) is an error that says where the page is kept.
TEST_F(ProgramTest, AMailThatWasNotHandedOverIsAnErrorThatSaysWhereThePageIs) {
  zem::testing::ScopedEnv tmpdir{"TMPDIR", folder.c_str()};
  const fs::path model = WriteQuad(folder);
  // An outbox whose drafts' paths are too long for the system.
  fs::path deep = folder;
  while (deep.string().size() < 4080) deep /= std::string(std::min<std::size_t>(200, 4080 - deep.string().size()), 'd');
  fs::create_directories(deep);
  for (const bool client : {true, false}) {
    std::optional<zem::testing::StandInMailClient> xdg;
    std::optional<zem::testing::ScopedEnv> fails;
    if (client) xdg.emplace(folder), fails.emplace("ZEM_TEST_EXIT", "3");
    std::vector<std::string> args{"export", model.string(), "--email"};
    if (!client) args.insert(args.end(), {"--outbox", deep.string()});
    const Outcome run = Zem(args);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(client ? "exit code 3" : "cannot save the draft"), std::string::npos) << run.err;
    const std::size_t at = run.err.find("kept as ");
    ASSERT_NE(at, std::string::npos) << run.err;
    const fs::path kept = run.err.substr(at + 8, run.err.find('\n', at) - at - 8);
    EXPECT_GT(fs::file_size(kept), 1000u) << kept;
    fs::remove_all(kept.parent_path());
  }
}

// Notes of a batch name their model, each a whole line; output that cannot
// be written is a failure.
TEST_F(ProgramTest, NotesOfABatchNameTheirModelAndUnwrittenOutputFails) {
  for (const char* name : {"a.json", "b.json"})
    std::ofstream(folder / name) << R"({"format": "zem-document", "version": 1, "bogus": 1})";
  const Outcome run = Zem({"export", (folder / "a.json").string(), (folder / "b.json").string(), "-o",
                           (folder / "pages").string(), "--jobs", "2"});
  EXPECT_EQ(run.code, 0) << run.err;
  std::size_t notes = 0;
  std::istringstream lines(run.err);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("bogus") == std::string::npos) continue;
    ++notes;
    EXPECT_TRUE(line.rfind("zem-webgl: " + (folder / "a.json").string() + ": note: ", 0) == 0 ||
                line.rfind("zem-webgl: " + (folder / "b.json").string() + ": note: ", 0) == 0)
        << line;
  }
  EXPECT_EQ(notes, 2u) << run.err;
  const std::string estimate = "'" + std::string(ZEM_WEBGL_PROGRAM) + "' estimate '" + (folder / "a.json").string() +
                               "' > /dev/full 2> /dev/null";
  const int status = std::system(estimate.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

TEST_F(ProgramTest, MailingALargePageWarnsAndSuggestsTheCompactForm) {
  zem::testing::ScopedEnv noDisplay{"DISPLAY", nullptr}, noWayland{"WAYLAND_DISPLAY", nullptr};
  zem::testing::ScopedEnv tmpdir{"TMPDIR", folder.c_str()};
  fs::create_directories(folder / "out");
  // A model whose standard page (about 17 MB, a mail of 22 MB) is beyond what
  // mail servers take, and whose compact page is not.
  const fs::path model = zem::testing::WriteGridObj(folder / "grid.obj", 230);
  const std::string outbox = (folder / "out").string();
  Outcome standard = Zem({"export", model.string(), "--email", "--outbox", outbox, "--quiet"});
  EXPECT_EQ(standard.code, 0) << standard.err;
  EXPECT_NE(standard.err.find("20 MB"), std::string::npos) << standard.err;
  EXPECT_NE(standard.err.find("--compact"), std::string::npos) << standard.err;
  Outcome compact = Zem({"export", model.string(), "--email", "--outbox", outbox, "--quiet", "--compact"});
  EXPECT_EQ(compact.code, 0) << compact.err;
  EXPECT_EQ(compact.err, "");
}

// What the page holds is the golden pages' and the command path's matter.
TEST_F(ProgramTest, ThePageLandsNextToTheModelOrInTheFolderTheOutputNames) {
  fs::path model = WriteQuad(folder, "cube.obj");
  Outcome beside = Zem({"export", model.string(), "--title", "A <quad>", "--link", "ann@example.com"});
  EXPECT_EQ(beside.code, 0) << beside.err;
  EXPECT_GT(fs::file_size(folder / "cube.html"), 10000u);
  fs::create_directories(folder / "out");
  Outcome run = Zem({"export", model.string(), "-o", (folder / "out").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(fs::is_regular_file(folder / "out" / "cube.html"));
  EXPECT_FALSE(fs::exists(folder / "out.html"));
  // A name ending in a separator is a folder even before it exists.
  Outcome fresh = Zem({"export", model.string(), "-o", (folder / "new").string() + "/"});
  EXPECT_EQ(fresh.code, 0) << fresh.err;
  EXPECT_TRUE(fs::is_regular_file(folder / "new" / "cube.html"));
}

TEST_F(ProgramTest, AnEmptyDocumentIsExportedWithAWarning) {
  std::ofstream(folder / "empty.json") << R"({"format": "zem-document", "version": 1})";
  Outcome run = Zem({"export", (folder / "empty.json").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(fs::exists(folder / "empty.html"));
  EXPECT_NE(run.err.find("warning"), std::string::npos) << run.err;
}

TEST_F(ProgramTest, ABatchWritesEveryGoodModelIntoTheFolderAndNamesTheBadOne) {
  const fs::path a = WriteQuad(folder / "a", "one.obj"), b = WriteQuad(folder / "b", "two.obj");
  std::ofstream(folder / "bad.obj") << "this is not a model\n";
  // Models after the options, as xargs gives them; the folder is made. Two
  // jobs for three models: one waits for a free job.
  Outcome run = Zem({"export", "-o", (folder / "pages").string(), "--jobs", "2", a.string(),
                     (folder / "bad.obj").string(), b.string()});
  EXPECT_EQ(run.code, 1) << run.err;
  EXPECT_TRUE(fs::is_regular_file(folder / "pages" / "one.html"));
  EXPECT_TRUE(fs::is_regular_file(folder / "pages" / "two.html"));
  EXPECT_FALSE(fs::exists(folder / "pages" / "bad.html"));
  EXPECT_NE(run.err.find("bad.obj: failed"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("one.obj: failed"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("one.obj: done"), std::string::npos) << run.out;
  Outcome good = Zem({"export", a.string(), b.string(), "-o", (folder / "good").string(), "--quiet"});
  EXPECT_EQ(good.code, 0) << good.err;
  EXPECT_EQ(good.out, "");
}

TEST_F(ProgramTest, ABatchExportsEachModelAsItWouldAloneEvenWithTheSameFileName) {
  // Two models named alike, each a triangle with its own picture inside
  // (red, blue); exported at once, each page carries its own, as when
  // exported alone.
  const fs::path models = fs::path(ZEM_TEST_DATA_DIR) / "same-name";
  zem::testing::ScopedEnv epoch{"SOURCE_DATE_EPOCH", "1000000000"};  // pages of equal models are equal
  std::vector<std::string> alone;
  for (const char* name : {"red", "blue"}) {
    // Alone: the program on its own, as the batch runs it (this test
    // program's host has seen other documents).
    ASSERT_EQ(ZemAlone({"export", (models / name / "model.gltf").string(), "-o", (folder / name).string() + ".html"}),
              0);
    alone.push_back(ReadFileBytes(folder / (std::string(name) + ".html")));
  }
  ASSERT_NE(alone[0], alone[1]);
  Outcome run = Zem({"export", (models / "red" / "model.gltf").string(), (models / "blue" / "model.gltf").string(),
                     "-o", (folder / "pages").string(), "--jobs", "2"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(ReadFileBytes(folder / "pages" / "model.html") == alone[0]);
  EXPECT_TRUE(ReadFileBytes(folder / "pages" / "model-2.html") == alone[1]);
}

// The page with the numbers in the buffer names of initVB and initCurves
// (v1, b1, ...) counted from each function's first, and how many there are:
// the one thing a page written after other exports in the same process may
// have of its own is where the process-wide buffer counters start.
std::string NumberedFromFirst(const std::string& page, std::size_t& names) {
  namespace pf = zem::page_format;
  static const std::regex name(R"(\b([vb])([0-9]+)\b)");
  std::string out;
  std::size_t done = 0;
  for (const auto& [function, next] :
       {std::pair{pf::kInitVB, pf::kInitTextures}, std::pair{pf::kInitCurves, pf::kInitDots}}) {
    const std::size_t begin = page.find(function, done);
    if (begin == std::string::npos) continue;
    const std::size_t end = std::min(page.find(next, begin), page.size());
    out.append(page, done, begin - done);
    const std::string body = page.substr(begin, end - begin);
    long first = -1;
    std::size_t at = 0;
    for (std::sregex_iterator it(body.begin(), body.end(), name), last; it != last; ++it) {
      out.append(body, at, it->position() - at);
      const long number = std::stol(it->str(2));
      if (first < 0) first = number;
      out += it->str(1) + std::to_string(number - first);
      at = it->position() + it->length();
      ++names;
    }
    out.append(body, at);
    done = end;
  }
  return out.append(page, done);
}

void ExpectSameButForBufferNumbers(const std::string& later, const std::string& fresh) {
  std::size_t names = 0;
  const std::string a = NumberedFromFirst(later, names), b = NumberedFromFirst(fresh, names);
  EXPECT_GT(names, 0u) << "no buffer names to compare";
  const std::size_t at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  EXPECT_TRUE(a == b) << "first difference at " << at << ": " << a.substr(at < 40 ? 0 : at - 40, 120);
}

TEST_F(ProgramTest, AnExportAfterOthersInOneProcessIsTheFreshProcessPageButForBufferNumbers) {
  zem::testing::ScopedEnv epoch{"SOURCE_DATE_EPOCH", "86400"};
  const fs::path model = WriteQuad(folder);
  EXPECT_EQ(ZemAlone({"demo", "-o", (folder / "fresh-demo.html").string()}), 0);
  EXPECT_EQ(ZemAlone({"export", model.string(), "-o", (folder / "fresh-model.html").string()}), 0);
  const std::string freshDemo = ReadFileBytes(folder / "fresh-demo.html");
  const std::string freshModel = ReadFileBytes(folder / "fresh-model.html");
  // The demo twice, then the model, in this process (whose host may have
  // exported before).
  for (const char* name : {"demo-1.html", "demo-2.html"})
    ASSERT_EQ(Zem({"demo", "-o", (folder / name).string(), "--quiet"}).code, 0);
  ASSERT_EQ(Zem({"export", model.string(), "-o", (folder / "model.html").string(), "--quiet"}).code, 0);
  ExpectSameButForBufferNumbers(ReadFileBytes(folder / "demo-2.html"), freshDemo);
  ExpectSameButForBufferNumbers(ReadFileBytes(folder / "model.html"), freshModel);
}

}  // namespace
