#include "app/BatchExport.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "app/Program.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

extern char** environ;

namespace zem::app {

namespace {

namespace fs = std::filesystem;

struct Job {
  std::string model;  // as given
  std::string page;   // -o for the child; empty: next to the model
  pid_t pid = -1;
  int fds[2] = {-1, -1};  // the child's standard output and error
  std::string text[2];    // what it wrote on them
  int code = kExitFailed;
};

// The page of each model in `folder`, named after the model; a second
// model of the same name gets "-2" and so on, so no page replaces another.
std::vector<std::string> PagesIn(const fs::path& folder, const std::vector<std::wstring>& models) {
  std::vector<std::string> pages;
  std::set<std::string> taken;
  for (const auto& model : models) {
    const std::string stem = fs::path(NativePath(model)).stem().string();
    std::string name = stem + ".html";
    for (int n = 2; taken.count(name); ++n) name = stem + "-" + std::to_string(n) + ".html";
    taken.insert(name);
    pages.push_back((folder / name).string());
  }
  return pages;
}

// The workers running now, for the signal handler (one slot per job at once).
std::atomic<pid_t> g_workers[64];

void Track(pid_t pid, bool running) {
  for (auto& slot : g_workers) {
    pid_t expected = running ? 0 : pid;
    if (slot.compare_exchange_strong(expected, running ? pid : 0)) return;
  }
}

// Starts the child with its output and error on pipes; false when it could
// not be started (the reason is in job.text[1]). The child dies with this
// process: it is told by the system when the thread that started it ends
// (the batch starts its workers from the thread that runs it to the end),
// and it ends at once when the batch had gone before it could be told.
bool Start(Job& job, const CommandLine& line, const std::string& program) {
  std::vector<std::string> args{program, "export", job.model};
  if (!job.page.empty()) args.insert(args.end(), {"-o", job.page});
  args.insert(args.end(), line.perModelOptions.begin(), line.perModelOptions.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string cannotRun = "zem-webgl: cannot run " + program + "\n";

  int pipes[2][2];
  if (::pipe2(pipes[0], O_CLOEXEC) != 0) return false;
  if (::pipe2(pipes[1], O_CLOEXEC) != 0) {
    ::close(pipes[0][0]), ::close(pipes[0][1]);
    return false;
  }
  const pid_t parent = ::getpid();
  // Signals wait until the worker is known to the handler; the worker itself
  // starts with the signals' default handling.
  sigset_t all, saved;
  sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &saved);
  job.pid = ::fork();
  if (job.pid == 0) {
    // Only calls that are safe between fork and exec.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction now {};
      if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN) ::signal(signal, SIG_DFL);
    }
    ::sigprocmask(SIG_SETMASK, &saved, nullptr);
    ::dup2(pipes[0][1], STDOUT_FILENO);
    ::dup2(pipes[1][1], STDERR_FILENO);
    if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent) ::_exit(kExitFailed);
    ::execve(program.c_str(), argv.data(), environ);
    [[maybe_unused]] const ssize_t told = ::write(STDERR_FILENO, cannotRun.data(), cannotRun.size());
    ::_exit(kExitFailed);
  }
  const int failed = job.pid < 0 ? errno : 0;
  if (job.pid > 0) Track(job.pid, true);
  ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  ::close(pipes[0][1]), ::close(pipes[1][1]);
  if (job.pid < 0) {
    ::close(pipes[0][0]), ::close(pipes[1][0]);
    job.pid = -1;
    job.text[1] = "zem-webgl: cannot run " + program + ": " + std::strerror(failed) + "\n";
    return false;
  }
  job.fds[0] = pipes[0][0];
  job.fds[1] = pipes[1][0];
  return true;
}

// Reads what the running jobs write until one of them has closed both its
// streams; answers that job's index.
std::size_t WaitForOne(std::vector<Job>& jobs, const std::vector<std::size_t>& running) {
  for (;;) {
    std::vector<pollfd> polls;
    std::vector<std::pair<std::size_t, int>> owners;
    for (std::size_t index : running) {
      bool open = false;
      for (int k = 0; k < 2; ++k) {
        if (jobs[index].fds[k] < 0) continue;
        open = true;
        polls.push_back({jobs[index].fds[k], POLLIN, 0});
        owners.emplace_back(index, k);
      }
      if (!open) return index;
    }
    if (::poll(polls.data(), polls.size(), -1) < 0 && errno != EINTR) {
      // Nothing to wait on any more: treat every stream as ended.
      for (auto [index, k] : owners) ::close(jobs[index].fds[k]), jobs[index].fds[k] = -1;
      continue;
    }
    for (std::size_t p = 0; p < polls.size(); ++p) {
      if (!polls[p].revents) continue;
      auto [index, k] = owners[p];
      char buffer[4096];
      const ssize_t n = ::read(polls[p].fd, buffer, sizeof buffer);
      if (n > 0) {
        jobs[index].text[k].append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(polls[p].fd);
        jobs[index].fds[k] = -1;
      }
    }
  }
}

// A name that is not yet there but ends like a page.
bool LooksLikeAPage(const fs::path& path) {
  std::error_code ec;
  if (fs::exists(path, ec)) return false;
  std::string ending = path.extension().string();
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == ".html" || ending == ".htm";
}

// A worker's messages as whole lines, each naming its model: after the
// program's own "zem-webgl: ", or in front of a line of another kind.
std::string Attributed(const std::string& text, const std::string& model) {
  static const std::string kProgram = "zem-webgl: ";
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    if (line.starts_with(kProgram))
      out.append(kProgram).append(model).append(": ").append(line.substr(kProgram.size()));
    else
      out.append(model).append(": ").append(line);
    out += '\n';
    at = end + 1;
  }
  return out;
}

int ExitCodeOf(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) break;
  }
  Track(pid, false);
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitFailed;
}

}  // namespace

void StopBatchWorkers(int signal) {
  for (auto& slot : g_workers)
    if (const pid_t pid = slot.load(); pid > 0) ::kill(pid, signal);
  // The batch ends only after its workers, so none renames a page later.
  for (auto& slot : g_workers)
    if (const pid_t pid = slot.load(); pid > 0)
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
}

int RunBatchExport(const CommandLine& line, const std::string& program, std::ostream& out, std::ostream& err) {
  std::vector<Job> jobs(line.models.size());
  std::vector<std::string> pages;
  if (!line.output.empty()) {
    const fs::path folder = NativePath(line.output);
    std::error_code ec;
    // A name that exists as something else, or that names a page, is no
    // folder that was meant.
    if ((fs::exists(folder, ec) && !fs::is_directory(folder, ec)) || LooksLikeAPage(folder)) {
      err << "zem-webgl: with several models, -o names a folder; " << folder.string() << " is not one\n";
      return kExitUsage;
    }
    if (!fs::create_directories(folder, ec) && ec) {
      err << "zem-webgl: cannot make the folder " << folder.string() << ": " << ec.message() << "\n";
      return kExitFailed;
    }
    pages = PagesIn(folder, line.models);
  }
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    jobs[i].model = ToSystemBytes(line.models[i]);
    if (!pages.empty()) jobs[i].page = pages[i];
  }

  std::size_t next = 0, done = 0, failed = 0;
  std::vector<std::size_t> running;
  std::string failedNames;
  while (done < jobs.size()) {
    while (next < jobs.size() && running.size() < static_cast<std::size_t>(line.jobs)) {
      if (Start(jobs[next], line, program)) {
        running.push_back(next);
      } else {
        // Could not be started: reported like a model that failed.
        Job& job = jobs[next];
        err << job.text[1] << "zem-webgl: [" << ++done << "/" << jobs.size() << "] " << job.model << ": failed\n";
        ++failed;
        failedNames += (failedNames.empty() ? "" : ", ") + job.model;
      }
      ++next;
    }
    if (running.empty()) continue;
    const std::size_t index = WaitForOne(jobs, running);
    std::erase(running, index);
    Job& job = jobs[index];
    job.code = ExitCodeOf(job.pid);
    ++done;
    // Each stream gets the job's text in one piece, the output first.
    std::string said = job.text[0], notes = Attributed(job.text[1], job.model);
    const std::string count = "[" + std::to_string(done) + "/" + std::to_string(jobs.size()) + "] ";
    if (job.code == kExitOk) {
      if (!line.quiet) said += count + job.model + ": done\n";
    } else {
      notes += "zem-webgl: " + count + job.model + ": failed\n";
      ++failed;
      failedNames += (failedNames.empty() ? "" : ", ") + job.model;
    }
    out.write(said.data(), static_cast<std::streamsize>(said.size())).flush();
    err.write(notes.data(), static_cast<std::streamsize>(notes.size())).flush();
  }
  if (failed > 0) {
    err << "zem-webgl: " << failed << " of " << jobs.size() << " models failed: " << failedNames << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zem::app
