#include "app/BatchExport.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
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

// Starts the child with its output and error on pipes; false when it could
// not be started (the reason is in job.text[1]).
bool Start(Job& job, const CommandLine& line, const std::string& program) {
  std::vector<std::string> args{program, "export", job.model};
  if (!job.page.empty()) args.insert(args.end(), {"-o", job.page});
  args.insert(args.end(), line.perModelOptions.begin(), line.perModelOptions.end());
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipes[2][2];
  if (::pipe2(pipes[0], O_CLOEXEC) != 0) return false;
  if (::pipe2(pipes[1], O_CLOEXEC) != 0) {
    ::close(pipes[0][0]), ::close(pipes[0][1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[0][1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, pipes[1][1], STDERR_FILENO);
  const int failed = ::posix_spawn(&job.pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipes[0][1]), ::close(pipes[1][1]);
  if (failed != 0) {
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

int ExitCodeOf(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kExitFailed;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitFailed;
}

}  // namespace

int RunBatchExport(const CommandLine& line, const std::string& program, std::ostream& out, std::ostream& err) {
  std::vector<Job> jobs(line.models.size());
  std::vector<std::string> pages;
  if (!line.output.empty()) {
    const fs::path folder = NativePath(line.output);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
      err << "zem-webgl: with several models, -o names a folder; " << folder.string() << " is not one\n";
      return kExitUsage;
    }
    pages = PagesIn(folder, line.models);
  }
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    jobs[i].model = ToUtf8(line.models[i]);
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
    out << job.text[0];
    err << job.text[1];
    ++done;
    if (job.code == kExitOk) {
      if (!line.quiet) out << "[" << done << "/" << jobs.size() << "] " << job.model << ": done\n";
    } else {
      err << "zem-webgl: [" << done << "/" << jobs.size() << "] " << job.model << ": failed\n";
      ++failed;
      failedNames += (failedNames.empty() ? "" : ", ") + job.model;
    }
    out.flush();
    err.flush();
  }
  if (failed > 0) {
    err << "zem-webgl: " << failed << " of " << jobs.size() << " models failed: " << failedNames << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace zem::app
