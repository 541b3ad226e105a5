#include "importers/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace zem {

namespace {

constexpr int kHandoffFd = 3;
constexpr int kTalkFd = 4;

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

// Above the descriptors the child is given, closed on exec.
int High(int fd) {
  if (fd < 0) return -1;
  const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
  ::close(fd);
  return high;
}

int OpenHandoffFile() {
  const char* tmp = std::getenv("TMPDIR");
  const std::string folder = tmp && *tmp ? tmp : "/tmp";
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::string name = folder + "/zem-handoff-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);  // exclusive, mode 0600
    if (fd < 0) return -1;
    ::unlink(name.c_str());
  }
  return High(fd);
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

void Take(ChildResult& result, std::string& pending, const char* data, std::size_t n) {
  pending.append(data, n);
  for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
    const std::string line = pending.substr(0, end);
    if (line.rfind("stage ", 0) == 0) {
      result.stage = line.substr(6);
      result.percent = -1;
    }
    if (line.rfind("progress ", 0) == 0) result.percent = std::atoi(line.c_str() + 9);
    if (line.rfind("error ", 0) == 0) result.error = line.substr(6, 2000);
  }
  // A line that never ends is no message.
  if (pending.size() > 65536) pending.clear();
}

}  // namespace

std::string SignalName(int signal) {
  const char* name = sigabbrev_np(signal);
  return name ? std::string("SIG") + name : "signal " + std::to_string(signal);
}

ChildResult RunChild(const std::vector<std::string>& argv, const ChildLimits& limits, const ChildProgress& progress,
                     bool keepErrors) {
  ChildResult result;
  if (argv.empty()) {
    result.startError = "nothing to run";
    return result;
  }
  Descriptor handoff(OpenHandoffFile());
  if (handoff.Get() < 0) {
    result.startError = std::string("cannot make the hand-off file: ") + std::strerror(errno);
    return result;
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    result.startError = std::string("cannot make a pipe: ") + std::strerror(errno);
    return result;
  }
  Descriptor talkIn(High(fds[0])), talkOut(High(fds[1]));
  Descriptor devNull(High(::open("/dev/null", O_RDWR | O_CLOEXEC)));
  if (talkIn.Get() < 0 || talkOut.Get() < 0 || devNull.Get() < 0) {
    result.startError = std::string("cannot make a pipe: ") + std::strerror(errno);
    return result;
  }

  // Everything the child needs is made before the fork: after it, the child
  // makes only system calls until it runs the program.
  std::vector<std::string> args = argv;
  std::vector<char*> pointers;
  for (auto& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const pid_t parent = ::getpid();
  rlimit memory{};
  memory.rlim_cur = memory.rlim_max = static_cast<rlim_t>(limits.megabytes) << 20;
  const int resource = limits.addressSpace ? RLIMIT_AS : RLIMIT_DATA;
  const int handoffFd = handoff.Get(), talkFd = talkOut.Get(), nullFd = devNull.Get();

  const pid_t pid = ::fork();
  if (pid < 0) {
    result.startError = std::string("cannot start ") + argv[0] + ": " + std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    // The child goes when the program goes; a program that went before
    // this took effect is seen as a new parent.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    if (limits.megabytes > 0) ::setrlimit(resource, &memory);
    if (::dup2(handoffFd, kHandoffFd) < 0 || ::dup2(talkFd, kTalkFd) < 0 || ::dup2(nullFd, STDIN_FILENO) < 0 ||
        ::dup2(nullFd, STDOUT_FILENO) < 0 || (!keepErrors && ::dup2(nullFd, STDERR_FILENO) < 0))
      ::_exit(127);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  result.started = true;
  talkOut.Reset();

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::string pending;
  int status = 0;
  for (;;) {
    if (talkIn.Get() >= 0) {
      pollfd poll{talkIn.Get(), POLLIN, 0};
      if (::poll(&poll, 1, 50) > 0) {
        char buffer[4096];
        const ssize_t n = ::read(talkIn.Get(), buffer, sizeof buffer);
        if (n > 0) Take(result, pending, buffer, static_cast<std::size_t>(n));
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) talkIn.Reset();
      }
    } else {
      ::usleep(20000);
    }
    if (progress) progress(result.stage, result.percent, std::chrono::duration<double>(Clock::now() - start).count());
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (limits.seconds > 0 && Clock::now() - start > std::chrono::seconds(limits.seconds)) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      result.timedOut = true;
      break;
    }
  }
  // What it said just before it ended.
  if (talkIn.Get() >= 0) {
    char buffer[4096];
    const int flags = ::fcntl(talkIn.Get(), F_GETFL);
    ::fcntl(talkIn.Get(), F_SETFL, flags | O_NONBLOCK);
    for (ssize_t n; (n = ::read(talkIn.Get(), buffer, sizeof buffer)) > 0;)
      Take(result, pending, buffer, static_cast<std::size_t>(n));
  }
  if (result.timedOut) return result;
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (result.exitCode == 0 && !ReadAll(handoff.Get(), result.handoff)) {
    result.exitCode = -1;
    result.error = "cannot read the hand-off file";
  }
  return result;
}

}  // namespace zem
