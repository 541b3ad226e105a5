// Temporary files and signals: links planted at temporary names are never
// followed, and an export stopped by a signal (or a batch killed) leaves
// nothing of its own behind and no page half written. Real processes, real
// signals and real links.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/ProgramRun.h"
#include "tests/support/MailTestSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using zem::testing::Outcome;
using zem::testing::ReadFileBytes;
using zem::testing::ScopedEnv;
using zem::testing::WriteBytes;
using zem::testing::Zem;

using TemporaryFilesTest = zem::testing::ProgramTest;

// zem-webgl as a process of its own, its output into `log`; `before` comes
// in front of the program (another user's identity, say).
pid_t Start(std::vector<std::string> args, const fs::path& log, const std::vector<std::string>& before = {}) {
  args.insert(args.begin(), ZEM_WEBGL_PROGRAM);
  args.insert(args.begin(), before.begin(), before.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Reap(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

bool Within(double seconds, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

bool HasHiddenFile(const fs::path& folder) {
  for (const std::string& name : Entries(folder))
    if (name[0] == '.') return true;
  return false;
}

// Whether any process runs with `text` on its command line.
bool AnyProcessNames(const std::string& text) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string line = ReadFileBytes(entry.path() / "cmdline");
    if (line.find(text) != std::string::npos && entry.path().filename() != std::to_string(::getpid())) return true;
  }
  return false;
}

TEST_F(TemporaryFilesTest, LinksPlantedAtTemporaryNamesAreNeverFollowed) {
  const fs::path tmp = folder / "tmp", victims = folder / "victims";
  fs::create_directories(tmp);
  fs::create_directories(victims);
  WriteBytes(folder / "victim", "precious");
  ScopedEnv tmpdir{"TMPDIR", tmp.c_str()};
  // The names the first temporary files of this process would be given by
  // its number and a count (ctest runs each test in a process of its own),
  // and the shared folders.
  const std::string pid = std::to_string(::getpid());
  for (int n = 1; n <= 40; ++n)
    for (const char* name : {"_back-%-.jpg", "_tex-%-.jpg", "_tex-%-.png", "_page-%-.html"}) {
      std::string planted(name);
      planted.replace(planted.find('%'), 1, pid + "-" + std::to_string(n));
      fs::create_symlink(folder / "victim", tmp / planted);
    }
  for (const char* shared : {"ZEM", "zem-demo"}) fs::create_symlink(victims, tmp / shared);
  const std::size_t planted = Entries(tmp).size();
  // Over earlier pages, one named too long for a temporary name built on it.
  for (const std::string& name : {std::string("page"), std::string(250, 'p')}) {
    WriteBytes(folder / (name + ".html"), "earlier page");
    EXPECT_EQ(Zem({"demo", "-o", (folder / name).string() + ".html", "--quiet"}).code, 0);
  }
  ScopedEnv noDisplay{"DISPLAY", nullptr}, noWayland{"WAYLAND_DISPLAY", nullptr};
  fs::create_directories(folder / "out");
  EXPECT_EQ(Zem({"demo", "--email", "--zip", "--outbox", (folder / "out").string(), "--quiet"}).code, 0);
  EXPECT_EQ(ReadFileBytes(folder / "victim"), "precious");
  EXPECT_TRUE(Entries(victims).empty());
  EXPECT_EQ(Entries(tmp).size(), planted) << "nothing of the exports is left";
}

// A signal stops the export: the hidden page beside the earlier one goes,
// the earlier page stays, and the program ends by that signal.
TEST_F(TemporaryFilesTest, ASignalRemovesWhatTheExportMadeAndEndsTheProgramByIt) {
  const fs::path model = zem::testing::WriteGridObj(folder / "grid.obj", 300), tmp = folder / "tmp";
  fs::create_directories(tmp);
  ScopedEnv tmpdir{"TMPDIR", tmp.c_str()};
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    fs::create_directories(folder / "pages");
    WriteBytes(folder / "pages/grid.html", "earlier page");
    const pid_t pid = Start({"export", model.string(), "-o", (folder / "pages/grid.html").string(), "--threads", "1"},
                            folder / "log");
    ASSERT_TRUE(Within(30, [&] { return HasHiddenFile(folder / "pages"); }));
    ::kill(pid, signal);
    const int status = Reap(pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status << ReadFileBytes(folder / "log");
    EXPECT_EQ(Entries(folder / "pages"), std::vector<std::string>{"grid.html"});
    EXPECT_EQ(ReadFileBytes(folder / "pages/grid.html"), "earlier page");
    EXPECT_TRUE(Entries(tmp).empty());
    fs::remove_all(folder / "pages");
  }
}

// A page in a folder that takes no new file is written in place over a kept
// copy: a signal or a failed write puts the earlier page back.
TEST_F(TemporaryFilesTest, APageWrittenInPlaceIsPutBackWhenTheExportIsStopped) {
  const fs::path model = zem::testing::WriteGridObj(folder / "grid.obj", 300), tmp = folder / "tmp",
                 locked = folder / "locked";
  const fs::path page = locked / "grid.html";
  for (const fs::path& open : {tmp, folder / "config"}) {
    fs::create_directories(open);
    fs::permissions(open, fs::perms::all);
  }
  fs::create_directories(locked);
  ScopedEnv tmpdir{"TMPDIR", tmp.c_str()}, config{"XDG_CONFIG_HOME", (folder / "config").c_str()};
  // Folders keep no one out who may do anything: such a user runs as nobody.
  const std::vector<std::string> user =
      ::geteuid() == 0 ? std::vector<std::string>{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"}
                       : std::vector<std::string>{};
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  for (const bool signal : {true, false}) {
    SCOPED_TRACE(signal);
    WriteBytes(page, "earlier page");
    fs::permissions(page, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec & ~fs::perms::others_exec);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    std::vector<std::string> before = user;
    // Every write past 200 blocks fails (and does not stop the program).
    if (!signal) before.insert(before.end(), {"sh", "-c", "trap '' XFSZ; ulimit -f 200; exec \"$0\" \"$@\""});
    const pid_t pid = Start({"export", model.string(), "-o", page.string(), "--threads", "1"}, tmp / "log", before);
    if (signal) {
      // Once the page has grown past its earlier text, the export is under way.
      ASSERT_TRUE(Within(30, [&] { return fs::file_size(page) > 1000; })) << ReadFileBytes(tmp / "log");
      ::kill(pid, SIGTERM);
    }
    const int status = Reap(pid);
    EXPECT_TRUE(signal ? WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM
                       : WIFEXITED(status) && WEXITSTATUS(status) == 1)
        << status << ReadFileBytes(tmp / "log");
    EXPECT_EQ(ReadFileBytes(page), "earlier page");
    EXPECT_EQ(Entries(tmp), std::vector<std::string>{"log"});
    fs::remove(tmp / "log");
  }
  fs::permissions(locked, fs::perms::owner_all);
}

// Workers die with their batch, however it ends, and undo their pages.
TEST_F(TemporaryFilesTest, TheWorkersOfAKilledBatchDieWithIt) {
  const fs::path a = zem::testing::WriteGridObj(folder / "a.obj", 300),
                 b = zem::testing::WriteGridObj(folder / "b.obj", 300), pages = folder / "pages";
  for (const int signal : {SIGKILL, SIGTERM}) {
    SCOPED_TRACE(signal);
    fs::create_directories(pages);
    const pid_t pid = Start({"export", a.string(), b.string(), "-o", pages.string(), "--jobs", "2"}, folder / "log");
    ASSERT_TRUE(Within(30, [&] { return HasHiddenFile(pages); }));
    ::kill(pid, signal);
    const int status = Reap(pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_TRUE(Within(5, [&] { return !AnyProcessNames(pages.string()); })) << "a worker still runs";
    EXPECT_TRUE(Entries(pages).empty());
    fs::remove_all(pages);
  }
}

}  // namespace
