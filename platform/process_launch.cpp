#include "platform/process_launch.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<pid_t>& UnwaitedChildren() {
  static std::vector<pid_t> children;
  return children;
}

void ReapEndedChildren() {
  auto& children = UnwaitedChildren();
  std::erase_if(children, [](pid_t pid) {
    int status = 0;
    pid_t answer = waitpid(pid, &status, WNOHANG);
    return answer == pid || (answer < 0 && errno == ECHILD);
  });
}

uint32_t ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<uint32_t>(WTERMSIG(status));
  return 0;
}

uint32_t WaitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  return ExitCodeOf(status);
}

// The child gets default handling for every signal the runtime may have changed (SIGPIPE is
// ignored by the network layer) and no blocked signals.
struct SpawnAttributes {
  posix_spawnattr_t attributes;
  SpawnAttributes() {
    posix_spawnattr_init(&attributes);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

bool Spawn(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
           pid_t* pid) {
  if (argv.empty() || argv[0].empty()) return false;
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const std::string& argument : argv) pointers.push_back(const_cast<char*>(argument.c_str()));
  pointers.push_back(nullptr);
  SpawnAttributes attributes;
  return posix_spawnp(pid, pointers[0], actions, &attributes.attributes, pointers.data(),
                      environ) == 0;
}

void ReadAll(int descriptor, std::string* text) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
      text->append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      return;
    }
  }
}

ProcessLauncher& InstalledLauncher() {
  static ProcessLauncher launcher = LaunchProcess;
  return launcher;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (true) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i >= n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      size_t backslashes = 0;
      while (i < n && commandLine[i] == '\\') ++backslashes, ++i;
      if (i < n && commandLine[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument.append(backslashes, '\\');
        if (i < n && (quoted || !IsBlank(commandLine[i]))) argument += commandLine[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

LaunchOutcome LaunchProcess(const std::vector<std::string>& argv, bool wait) {
  ReapEndedChildren();
  LaunchOutcome outcome;
  pid_t pid = 0;
  if (!Spawn(argv, nullptr, &pid)) return outcome;
  outcome.started = true;
  if (wait) {
    outcome.exitCode = WaitForExit(pid);
  } else {
    UnwaitedChildren().push_back(pid);
  }
  return outcome;
}

LaunchOutcome RunForOutput(const std::vector<std::string>& argv, std::string* output) {
  output->clear();
  LaunchOutcome outcome;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return outcome;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  pid_t pid = 0;
  outcome.started = Spawn(argv, &actions, &pid);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (outcome.started) {
    ReadAll(ends[0], output);
    outcome.exitCode = WaitForExit(pid);
  }
  close(ends[0]);
  return outcome;
}

size_t UnreapedChildCount() {
  ReapEndedChildren();
  return UnwaitedChildren().size();
}

void SetProcessLauncher(ProcessLauncher launcher) {
  InstalledLauncher() = launcher ? launcher : LaunchProcess;
}

ProcessLauncher CurrentProcessLauncher() { return InstalledLauncher(); }

}  // namespace platform
