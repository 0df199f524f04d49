// Plug-in loading and process services on Linux and other POSIX systems.
#include "host/plugin_module.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>

#include "host/host_error.h"

namespace vornhost {

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path) {
  if (access(path.c_str(), R_OK) != 0) throw HostError("cannot read plug-in '" + path + "'");
  // RTLD_LOCAL keeps one plug-in's symbols from resolving another's.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    throw HostError("'" + path + "' is not a loadable plug-in library (" + (why ? why : "unknown reason") +
                    ")");
  }
  void* symbol = nullptr;
  for (const char* name : {"VSTPluginMain", "main", "MAIN"}) {
    symbol = dlsym(handle, name);
    if (symbol != nullptr) break;
  }
  if (symbol == nullptr) {
    dlclose(handle);
    throw HostError("'" + path + "' is not a VST 2.4 plug-in: no VSTPluginMain, main or MAIN entry point");
  }
  auto entry = reinterpret_cast<PluginEntry>(symbol);
  return std::unique_ptr<PluginModule>(new PluginModule(handle, entry, path));
}

PluginModule::PluginModule(void* handle, PluginEntry entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() {
  // The library stays loaded until the process ends, as in most hosts:
  // unloading a plug-in and the libraries it pulled in (graphics, fonts) runs
  // their teardown code at an arbitrary point and orphans their caches.
  (void)handle_;
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

const char* DefaultPluginFileName() {
  return "VornDelay2.so";
}

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

IsolatedResult RunIsolated(const std::function<std::string()>& job, int timeoutSeconds) {
  IsolatedResult result;
  int fds[2];
  if (pipe(fds) != 0) {
    result.output = job();
    result.completed = true;
    return result;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    result.output = job();
    result.completed = true;
    return result;
  }
  if (child == 0) {
    close(fds[0]);
    std::string answer = job();
    const char* data = answer.data();
    std::size_t left = answer.size();
    while (left > 0) {
      ssize_t n = write(fds[1], data, left);
      if (n <= 0) break;
      data += n;
      left -= static_cast<std::size_t>(n);
    }
    std::fflush(stdout);
    _exit(0);
  }
  close(fds[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  bool timedOut = false;
  char buffer[4096];
  for (;;) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready <= 0) continue;  // interrupted or not yet
    ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;  // end of the answer: the child is done or died
    result.output.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  if (timedOut) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut) {
    result.failure = "did not finish within " + std::to_string(timeoutSeconds) + " s";
  } else if (WIFSIGNALED(status)) {
    int sig = WTERMSIG(status);
    result.failure = "crashed with signal " + std::to_string(sig) + " (" + strsignal(sig) + ")";
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    // The job itself always ends with status 0: a sanitizer or an abort ended it.
    result.failure = "crashed (the process ended with status " + std::to_string(WEXITSTATUS(status)) + ")";
  } else {
    result.completed = true;
  }
  return result;
}

}  // namespace vornhost
