#include "importers/cad/CadReader.h"

#include "standin/host/CRhinoDoc.h"
#include "importers/cad/CadDocument.h"
#include "importers/cad/CadScene.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <malloc.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace zem::cad {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The descriptors the child finds its hand-off file and progress pipe on.
constexpr int kHandoffFd = 3;
constexpr int kProgressFd = 4;
// The child's exit code when it ran out of memory.
constexpr int kOutOfMemory = 3;

CadReadOptions& Options() {
  static CadReadOptions options;
  return options;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Reset(); }
  int Get() const { return m_fd; }
  void Reset(int fd = -1) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd;
};

// A file only this process can reach: made without a name where the file
// system allows (O_TMPFILE), else created exclusively with mode 0600 and
// unlinked at once. Either way nothing is left behind, whatever happens to
// the processes. Kept above the descriptors the child is given.
int OpenHandoffFile() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = tmp && *tmp ? tmp : "/tmp";
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::string name = folder + "/zem-cad-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::unlink(name.c_str());
  }
  const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
  ::close(fd);
  return high;
}

bool ReadAll(int fd, std::string& bytes) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  bytes.resize(static_cast<std::size_t>(info.st_size));
  std::size_t at = 0;
  while (at < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<std::size_t>(n);
  }
  return true;
}

const char* QualityName(MeshQuality quality) {
  switch (quality) {
    case MeshQuality::Coarse:
      return "coarse";
    case MeshQuality::Fine:
      return "fine";
    case MeshQuality::Normal:
      break;
  }
  return "normal";
}

// What the child says on its progress pipe, line by line: "stage NAME",
// "progress PERCENT", "error TEXT".
struct ChildTalk {
  std::string stage = "starting";
  int percent = -1;
  std::string error;
  std::string pending;

  void Take(const char* data, std::size_t n) {
    pending.append(data, n);
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string line = pending.substr(0, end);
      if (line.rfind("stage ", 0) == 0) {
        stage = line.substr(6);
        percent = -1;
      } else if (line.rfind("progress ", 0) == 0) {
        percent = std::atoi(line.c_str() + 9);
      } else if (line.rfind("error ", 0) == 0) {
        error = line.substr(6);
      }
    }
  }
};

class ProgressLine {
 public:
  ProgressLine(bool show, std::string name) : m_show(show), m_name(std::move(name)) {}
  ~ProgressLine() { Clear(); }
  void Show(const ChildTalk& talk, double seconds) {
    // Quick files show nothing.
    if (!m_show || seconds < 1.0) return;
    char text[160];
    if (talk.percent >= 0)
      std::snprintf(text, sizeof text, "\r%s: %s %3d%% (%.0f s)", m_name.c_str(), talk.stage.c_str(), talk.percent,
                    seconds);
    else
      std::snprintf(text, sizeof text, "\r%s: %s (%.0f s)", m_name.c_str(), talk.stage.c_str(), seconds);
    std::string line = text;
    if (line.size() > 79) line.resize(79);
    if (line.size() < m_width) line.append(m_width - line.size(), ' ');
    m_width = line.size();
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
  }
  void Clear() {
    if (m_width == 0) return;
    std::fprintf(stderr, "\r%s\r", std::string(m_width, ' ').c_str());
    std::fflush(stderr);
    m_width = 0;
  }

 private:
  bool m_show;
  std::string m_name;
  std::size_t m_width = 0;
};

std::string SignalName(int signal) {
  const char* name = sigabbrev_np(signal);
  return name ? std::string("SIG") + name : "signal " + std::to_string(signal);
}

}  // namespace

bool IsCadFile(const std::wstring& path) {
  const std::string ext = Lower(fs::path(NativePath(path)).extension().string());
  return ext == ".step" || ext == ".stp" || ext == ".iges" || ext == ".igs";
}

void SetCadReadOptions(const CadReadOptions& options) { Options() = options; }
const CadReadOptions& CadReadOptionsInUse() { return Options(); }

bool ReadCadModelFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  return ReadCadFile(path, doc, report, Options());
}

namespace {

// Runs the child on `input` (`mode` "model" or "faces") and reads its scene
// back; false with the reason in `error`.
bool RunReaderChild(const std::string& input, const char* mode, const std::string& reader, const std::string& shown,
                    const CadReadOptions& options, CadScene& scene, std::string& error) {
  auto fail = [&](const std::string& why) {
    error = why;
    return false;
  };
  std::error_code ec;
  Descriptor handoff(OpenHandoffFile());
  if (handoff.Get() < 0) return fail(std::string("cannot make the reader's hand-off file: ") + std::strerror(errno));
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return fail(std::string("cannot start the reader: ") + std::strerror(errno));
  Descriptor talkIn(::fcntl(pipeFds[0], F_DUPFD_CLOEXEC, 10)), talkOut(::fcntl(pipeFds[1], F_DUPFD_CLOEXEC, 10));
  ::close(pipeFds[0]), ::close(pipeFds[1]);

  std::string program = options.program;
  if (program.empty()) program = fs::read_symlink("/proc/self/exe", ec).string();
  std::vector<std::string> args{program,
                                kCadReaderCommand,
                                input,
                                QualityName(options.quality),
                                std::to_string(options.memoryLimitMb),
                                std::to_string(::getpid()),
                                mode};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, handoff.Get(), kHandoffFd);
  posix_spawn_file_actions_adddup2(&actions, talkOut.Get(), kProgressFd);
  // The kernel's own messages are no business of the program's output.
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  talkOut.Reset();
  if (spawned != 0) return fail("cannot start the reader " + program + ": " + std::strerror(spawned));

  ChildTalk talk;
  ProgressLine progress(options.showProgress, shown);
  const auto start = Clock::now();
  const auto limit = std::chrono::seconds(options.timeLimitSeconds);
  bool timedOut = false;
  for (bool open = true; open;) {
    pollfd poll{talkIn.Get(), POLLIN, 0};
    const int ready = ::poll(&poll, 1, 100);
    if (ready > 0) {
      char buffer[4096];
      const ssize_t n = ::read(talkIn.Get(), buffer, sizeof buffer);
      if (n > 0) talk.Take(buffer, static_cast<std::size_t>(n));
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) open = false;
    }
    const auto elapsed = Clock::now() - start;
    progress.Show(talk, std::chrono::duration<double>(elapsed).count());
    if (open && options.timeLimitSeconds > 0 && elapsed > limit) {
      ::kill(pid, SIGKILL);
      timedOut = true;
      open = false;
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  progress.Clear();

  const std::string seconds = std::to_string(options.timeLimitSeconds) + " s";
  if (timedOut) {
    if (talk.stage == "meshing")
      return fail("meshing took longer than " + seconds +
                  "; try --mesh-quality coarse (or allow more time with --cad-time-limit)");
    return fail(talk.stage + " took longer than " + seconds + " (--cad-time-limit sets the limit)");
  }
  if (WIFSIGNALED(status)) {
    if (WTERMSIG(status) == SIGKILL)
      return fail(reader + " was killed (SIGKILL) while " + talk.stage + "; the machine may have run out of memory");
    return fail(reader + " crashed on this file (" + SignalName(WTERMSIG(status)) + " while " + talk.stage + ")");
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == kOutOfMemory)
    return fail(reader + " ran out of memory while " + talk.stage + " (limit " + std::to_string(options.memoryLimitMb) +
                " MB; --cad-memory-limit raises it)");
  if (code != 0) {
    if (!talk.error.empty()) return fail(talk.error);
    return fail(reader + " stopped without a result (exit code " + std::to_string(code) + ")");
  }

  std::string bytes;
  if (!ReadAll(handoff.Get(), bytes)) return fail("cannot read the reader's hand-off file");
  handoff.Reset();
  std::string why;
  if (!DecodeCadScene(bytes, scene, why)) return fail("the reader's hand-off is damaged: " + why);
  std::string().swap(bytes);
  return true;
}

}  // namespace

bool ReadCadFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report, const CadReadOptions& options) {
  report.error.clear();
  const fs::path file(NativePath(path));
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) {
    report.error = L"no such file";
    return false;
  }
  const std::string ext = Lower(file.extension().string());
  const std::string reader = ext == ".iges" || ext == ".igs" ? "the IGES reader" : "the STEP reader";
  CadScene scene;
  std::string error;
  if (!RunReaderChild(fs::absolute(file, ec).string(), "model", reader, file.filename().string(), options, scene,
                      error)) {
    report.error = FromUtf8(error);
    return false;
  }
  CRhinoDoc scratch;
  if (!BuildCadDocument(scene, FromUtf8(file.stem().string()), scratch, report)) return false;
  scene = CadScene();
  // The reader's working memory goes back to the system before the export
  // needs its own.
  malloc_trim(0);
  doc.TakeContents(scratch);
  return true;
}

bool MeshTrimmedFaces(const std::string& input, const CadReadOptions& options, CadScene& scene, std::string& error) {
  return RunReaderChild(input, "faces", "the face mesher", "trimmed faces", options, scene, error);
}

}  // namespace zem::cad
