// What a model makes zem-webgl read is bounded: textures only from regular
// files and only pictures of a sane size (checked before decoding), files
// that readers take whole only up to a limit the command line can raise,
// and running out of memory is a clear error that leaves nothing behind.
// The replaced operator new and delete below pair malloc with free, which
// GCC cannot see where it inlines them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "standin/host/CRhinoDib.h"
#include "tests/app/ProgramRun.h"

// Sanitizer builds keep their own allocator: the allocation limit below is
// only in builds without them.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEM_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZEM_TEST_SANITIZED 1
#endif

#ifndef ZEM_TEST_SANITIZED
namespace {

// Allocations of at least this many bytes fail while it is not 0.
std::atomic<std::size_t> failFrom{0};

}  // namespace

void* operator new(std::size_t size) {
  const std::size_t limit = failFrom.load(std::memory_order_relaxed);
  if (limit != 0 && size >= limit) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace {

namespace fs = std::filesystem;

using zem::testing::Outcome;
using zem::testing::ProgramTest;
using zem::testing::Zem;

// A PNG of width x height black pixels, as the host writes it; with
// `claimed` pixels a side in its header when that is not 0 (the header's
// checksum made to match, so only the size is wrong).
std::string Png(const fs::path& folder, int width, int height, unsigned claimed = 0) {
  const fs::path file = folder / "made.png";
  EXPECT_TRUE(CRhinoDib(width, height, 24).WriteToFile(file.wstring().c_str()));
  std::string png = zem::testing::ReadFileBytes(file);
  fs::remove(file);
  if (claimed == 0) return png;
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 4; ++k) png[16 + 4 * side + k] = static_cast<char>(claimed >> (24 - 8 * k));
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  for (int k = 0; k < 4; ++k) png[29 + k] = static_cast<char>(crc >> (24 - 8 * k));
  return png;
}

// A one-triangle OBJ model whose material's texture is `texture`.
fs::path TexturedModel(const fs::path& folder, const std::string& name, const std::string& texture) {
  std::ofstream(folder / (name + ".mtl")) << "newmtl m\nKd 1 1 1\nmap_Kd " << texture << "\n";
  std::ofstream(folder / (name + ".obj")) << "mtllib " << name
                                          << ".mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\n"
                                             "vn 0 0 1\nusemtl m\nf 1/1/1 2/2/1 3/3/1\n";
  return folder / (name + ".obj");
}

// zem-webgl as a process of its own, stopped after a minute (a read that
// never ends must fail the test, not hang it): its exit status and error
// text.
Outcome ZemWithin(const fs::path& folder, const std::vector<std::string>& args) {
  std::string command = std::string("timeout 60 '") + ZEM_WEBGL_PROGRAM + "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  const fs::path err = folder / "err.txt";
  const int status = std::system((command + " > /dev/null 2> '" + err.string() + "'").c_str());
  std::ifstream in(err);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", text};
}

// Textures that cannot be read (devices and FIFOs, which would feed or
// block the reader without end; pictures too large, truncated, or none at
// all) are noted, and the page is written without them.
class BoundedReadingTest : public ProgramTest {};

TEST_F(BoundedReadingTest, TexturesThatCannotBeReadAreNotedAndThePageIsStillWritten) {
  ::mkfifo((folder / "fifo.png").c_str(), 0600);
  fs::create_symlink("/dev/urandom", folder / "random.jpg");
  std::ofstream(folder / "huge.png", std::ios::binary) << Png(folder, 64, 64, 30000);
  std::ofstream(folder / "cut.png", std::ios::binary) << Png(folder, 64, 64).substr(0, 80);
  std::ofstream(folder / "text.png") << "not a picture\n";
  const std::string unread = "cannot be read (";
  for (const auto& [texture, says] : std::vector<std::pair<std::string, std::string>>{
           {"/dev/zero", "texture file /dev/zero is not a regular file"},
           {"fifo.png", "texture file fifo.png is not a regular file"},
           {"random.jpg", "texture file random.jpg is not a regular file"},
           {"huge.png", unread + "30000 x 30000 pixels, more than the 67 million read"},
           {"cut.png", unread + "a broken PNG picture"},
           {"text.png", unread + "not a picture of a format read here"}}) {
    const fs::path model = TexturedModel(folder, "m", texture);
    const Outcome run = ZemWithin(folder, {"export", model.string(), "-o", (folder / "m.html").string()});
    EXPECT_EQ(run.code, 0) << texture << ": " << run.err;
    EXPECT_NE(run.err.find("note: "), std::string::npos) << texture << ": " << run.err;
    EXPECT_NE(run.err.find(says), std::string::npos) << texture << ": " << run.err;
    EXPECT_TRUE(fs::exists(folder / "m.html")) << texture;
    fs::remove(folder / "m.html");
  }
}

// Readers that take a file whole (every format but OBJ) refuse one above
// the limit before reading it, and say how to raise the limit.
TEST_F(BoundedReadingTest, FilesReadWholeAreRefusedAboveTheLimitTheCommandLineSets) {
  {
    std::ofstream stl(folder / "big.stl");  // 13,000 facets: 1.2 MB
    stl << "solid big\n";
    for (int f = 0; f < 13000; ++f)
      stl << "facet normal 0 0 1\nouter loop\nvertex " << f << " 0 0\nvertex " << f + 1 << " 0 0\nvertex " << f
          << " 1 0\nendloop\nendfacet\n";
    stl << "endsolid big\n";
  }
  const std::string model = (folder / "big.stl").string();
  const Outcome refused = Zem({"export", model, "--max-model-size", "1"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("the file is 1.2 MB, above the limit of 1 MB for files that are read whole "
                             "(--max-model-size MB raises it)"),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(fs::exists(folder / "big.html"));
  const Outcome raised = Zem({"export", model, "--max-model-size", "2", "--quiet"});
  EXPECT_EQ(raised.code, 0) << raised.err;
}

// Memory that cannot be had, whether reading the model or writing the page,
// ends the run with a clear error, exit 1, and no page or part of one.
TEST_F(BoundedReadingTest, RunningOutOfMemoryIsAClearErrorAndLeavesNothing) {
#ifdef ZEM_TEST_SANITIZED
  GTEST_SKIP() << "the sanitizer's allocator is not limited";
#else
  std::ofstream(folder / "big.png", std::ios::binary) << Png(folder, 2048, 2048);
  const fs::path model = TexturedModel(folder, "m", "big.png");
  const fs::path page = folder / "m.html";
  std::ofstream(page) << "the earlier page";
  // The OBJ reader reads in blocks of 4 MB; the picture takes 12 MB.
  for (const std::size_t limit : {std::size_t{1} << 20, std::size_t{8} << 20}) {
    failFrom = limit;
    const Outcome run = Zem({"export", model.string(), "-o", page.string(), "--threads", "1"});
    failFrom = 0;
    EXPECT_EQ(run.code, 1) << limit << ": " << run.err;
    EXPECT_NE(run.err.find("out of memory"), std::string::npos) << limit << ": " << run.err;
    EXPECT_EQ(zem::testing::ReadFileBytes(page), "the earlier page") << limit;
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left.size(), 4u) << limit << ": the model, its library, its picture and the earlier page only";
  }
#endif
}

}  // namespace
