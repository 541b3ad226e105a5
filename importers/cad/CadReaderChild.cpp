// The child process of the CAD reader: started by the program as
// `zem-cad-reader __read-cad FILE QUALITY MEMORY-MB PARENT-PID`, with the
// hand-off file on descriptor 3 and the progress pipe on descriptor 4.
#include "importers/cad/CadReader.h"
#include "importers/cad/CadScene.h"
#include "importers/cad/OcctImport.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define ZEM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEM_ADDRESS_SANITIZER 1
#endif
#endif

namespace zem::cad {

namespace {

constexpr int kHandoffFd = 3;
constexpr int kProgressFd = 4;
constexpr int kOutOfMemory = 3;

bool WriteAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t written = ::write(fd, data, n);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    n -= static_cast<std::size_t>(written);
  }
  return true;
}

void Say(const std::string& line) {
  const std::string text = line + "\n";
  WriteAll(kProgressFd, text.data(), text.size());
}

// Passes the stages on at once and their progress a few times a second;
// the mesher calls from several threads.
class ProgressSink {
 public:
  void operator()(const char* stage, double fraction) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_stage != stage) {
      m_stage = stage;
      Say(std::string("stage ") + stage);
      m_last = now;
    } else if (fraction < 0 || now - m_last < std::chrono::milliseconds(200)) {
      return;
    }
    if (fraction >= 0) {
      Say("progress " + std::to_string(static_cast<int>(fraction * 100)));
      m_last = now;
    }
  }

 private:
  std::mutex m_mutex;
  std::string m_stage;
  std::chrono::steady_clock::time_point m_last;
};

}  // namespace

int RunCadReaderChild(const std::vector<std::string>& args) {
  if (args.size() != 4 && args.size() != 5) return 2;
  // The child goes when the program goes; a program that went before this
  // line took effect is seen as a new parent.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (std::to_string(::getppid()) != args[3]) return 2;
  const std::string& path = args[0];
  const MeshQuality quality = args[1] == "coarse" ? MeshQuality::Coarse
                              : args[1] == "fine" ? MeshQuality::Fine
                                                  : MeshQuality::Normal;
#ifndef ZEM_ADDRESS_SANITIZER
  // (The address sanitizer reserves more address space than any limit.)
  const long long megabytes = std::atoll(args[2].c_str());
  if (megabytes > 0) {
    const rlim_t bytes = static_cast<rlim_t>(megabytes) << 20;
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &limit);
  }
#endif
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));

  ProgressSink sink;
  CadScene scene;
  std::string error;
  try {
    const bool faces = args.size() == 5 && args[4] == "faces";
    if (!(faces ? ImportTrimmedFaces(path, quality, std::ref(sink), scene, error)
                : ImportWithOpenCascade(path, quality, std::ref(sink), scene, error))) {
      Say("error " + error);
      return 1;
    }
    sink("writing", -1);
    const std::string bytes = EncodeCadScene(scene);
    if (!WriteAll(kHandoffFd, bytes.data(), bytes.size())) {
      Say("error cannot write the reader's hand-off file");
      return 1;
    }
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (const std::exception& failure) {
    // The mesher's worker threads hand their failures on wrapped.
    const std::string what = failure.what();
    if (what.find("bad_alloc") != std::string::npos) return kOutOfMemory;
    Say("error the reader stopped: " + what);
    return 1;
  } catch (...) {
    Say("error the reader stopped on a failure it did not name");
    return 1;
  }
  return 0;
}

}  // namespace zem::cad
