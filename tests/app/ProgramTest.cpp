#include "app/Program.h"

#include "tests/support/MailTestSupport.h"

#include <gtest/gtest.h>

#include "page/PageFormat.h"
#include "tests/app/ProgramRun.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
}

TEST_F(ProgramTest, FailedWriteIsReportedAndNotPresentedAsAPage) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  // A page whose every write fails: a link to the full device.
  fs::path page = folder / "full.html";
  fs::create_symlink("/dev/full", page);
  Outcome run = Zem({"demo", "-o", page.string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("failed"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  // Only regular files are removed: the device stays.
  EXPECT_TRUE(fs::exists("/dev/full"));
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
  for (const Case& c : std::vector<Case>{{{"export", in + "none.obj"}, 1, "cannot read"},
                                         {{"export", in + "broken.json"}, 1, "cannot read"},
                                         {{"export", in + "words.obj"}, 1, "words.obj: no geometry found"},
                                         {{"demo", "-o", in + "nowhere/p.html"}, 1, "does not exist"},
                                         {{"export", model.string(), "--display-mode", "Sketchy"}, 2, "Rendered"},
                                         {{"demo", "--view", "Nowhere", "-o", in + "v.html"}, 2, "Perspective"}}) {
    const Outcome run = Zem(c.args);
    EXPECT_EQ(run.code, c.code) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  for (const char* page : {"broken.html", "words.html", "nowhere", "quad.html", "v.html"})
    EXPECT_FALSE(fs::exists(folder / page)) << page;
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
  // Nothing temporary is left: the ZEM folder holds nothing.
  std::size_t left = 0;
  if (fs::exists(folder / "ZEM"))
    for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder / "ZEM")) ++left;
  EXPECT_EQ(left, 0u);
}

// A model whose standard page is beyond what mail servers take, and whose
// compact page is not.
fs::path WriteLargeGrid(const fs::path& folder) {
  const fs::path obj = folder / "grid.obj";
  std::ofstream out(obj);
  const int n = 300;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j)
      out << "v " << i * 0.0123 << ' ' << j * 0.0171 << ' ' << (i * j % 97) * 0.00113 << '\n';
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const int a = i * (n + 1) + j + 1, b = a + n + 1;
      out << "f " << a << ' ' << b << ' ' << b + 1 << ' ' << a + 1 << '\n';
    }
  return obj;
}

TEST_F(ProgramTest, MailingALargePageWarnsAndSuggestsTheCompactForm) {
  zem::testing::ScopedEnv noDisplay{"DISPLAY", nullptr}, noWayland{"WAYLAND_DISPLAY", nullptr};
  zem::testing::ScopedEnv tmpdir{"TMPDIR", folder.c_str()};
  fs::create_directories(folder / "out");
  const fs::path model = WriteLargeGrid(folder);
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
  for (const char* jobs : {"1", "3"}) {
    fs::remove_all(folder / "pages");
    // Models after the options, as xargs gives them; the folder is made.
    Outcome run = Zem({"export", "-o", (folder / "pages").string(), "--jobs", jobs, a.string(),
                       (folder / "bad.obj").string(), b.string()});
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_TRUE(fs::is_regular_file(folder / "pages" / "one.html"));
    EXPECT_TRUE(fs::is_regular_file(folder / "pages" / "two.html"));
    EXPECT_FALSE(fs::exists(folder / "pages" / "bad.html"));
    EXPECT_NE(run.err.find("bad.obj: failed"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("one.obj: failed"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("one.obj: done"), std::string::npos) << run.out;
  }
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

// A page taken apart into the numbers in its buffer names (v1, b1, ...), per
// data function that has them (initVB, initCurves), and the rest of its text.
struct BufferNumbering {
  std::string rest;
  std::vector<std::vector<long>> numbers;
};

BufferNumbering SplitBufferNumbers(const std::string& page) {
  namespace pf = zem::page_format;
  static const std::regex name(R"(\b([vb])([0-9]+)\b)");
  BufferNumbering split;
  std::size_t done = 0;
  for (const auto& [function, next] :
       {std::pair{pf::kInitVB, pf::kInitTextures}, std::pair{pf::kInitCurves, pf::kInitDots}}) {
    std::vector<long>& numbers = split.numbers.emplace_back();
    const std::size_t begin = page.find(function, done);
    if (begin == std::string::npos) continue;
    const std::size_t end = std::min(page.find(next, begin), page.size());
    split.rest.append(page, done, begin - done);
    const std::string body = page.substr(begin, end - begin);
    std::size_t at = 0;
    for (std::sregex_iterator it(body.begin(), body.end(), name), last; it != last; ++it) {
      split.rest.append(body, at, it->position(2) - at);
      numbers.push_back(std::stol(it->str(2)));
      at = it->position(2) + it->length(2);
    }
    split.rest.append(body, at);
    done = end;
  }
  split.rest.append(page, done);
  return split;
}

// The buffer numbers are the one thing a page written after other exports in
// the same process may have of its own: each counter has moved on by the
// buffers written before, the same amount for every name of one function.
void ExpectSameButForBufferNumbers(const std::string& later, const std::string& fresh) {
  const BufferNumbering a = SplitBufferNumbers(later), b = SplitBufferNumbers(fresh);
  const auto mismatch = std::mismatch(a.rest.begin(), a.rest.end(), b.rest.begin(), b.rest.end());
  const std::size_t at = mismatch.first - a.rest.begin();
  EXPECT_TRUE(a.rest == b.rest) << "first difference at " << at << ": " << a.rest.substr(at < 40 ? 0 : at - 40, 120);
  ASSERT_EQ(a.numbers.size(), b.numbers.size());
  for (std::size_t f = 0; f < a.numbers.size(); ++f) {
    ASSERT_EQ(a.numbers[f].size(), b.numbers[f].size()) << "function " << f;
    for (std::size_t i = 0; i < a.numbers[f].size(); ++i)
      EXPECT_EQ(a.numbers[f][i] - b.numbers[f][i], a.numbers[f][0] - b.numbers[f][0])
          << "function " << f << ", name " << i;
  }
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
  const BufferNumbering demo = SplitBufferNumbers(freshDemo);
  ASSERT_FALSE(demo.numbers[0].empty() || demo.numbers[1].empty()) << "the demo has mesh and curve buffers";
  ExpectSameButForBufferNumbers(ReadFileBytes(folder / "demo-2.html"), freshDemo);
  ExpectSameButForBufferNumbers(ReadFileBytes(folder / "model.html"), freshModel);
}

}  // namespace
