// Runs a program (one of tests/programs, or any executable by its path) as a subprocess with a
// private TMPDIR and collects its exit status, standard output, standard error and debug log.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

struct ProgramRun {
  int status = -1;  // the exit status, or -1 when the program did not exit normally
  long peakRssKb = 0;  // the child's largest resident set
  double cpuSeconds = 0;  // the child's user and system time
  std::string out;
  std::string err;
  std::string log;
};

// The environment of this process with TMPDIR replaced and leak checking off. At the end of a
// run the window system is shut down and the GL driver unloaded, after which the driver's own
// leaks can no longer be told from ours; the start-up and the quit sequence are leak-checked
// in-process instead (tests/frame/runtime_startup_test.cpp).
inline std::vector<std::string> EnvironmentWithTmpdir(const std::string& tmpdir) {
  std::vector<std::string> entries;
  std::string asanOptions = "ASAN_OPTIONS=";
  for (char** entry = environ; *entry; ++entry) {
    const std::string text(*entry);
    if (text.rfind("ASAN_OPTIONS=", 0) == 0) {
      asanOptions = text + ":";
    } else if (text.rfind("TMPDIR=", 0) != 0) {
      entries.push_back(text);
    }
  }
  entries.push_back("TMPDIR=" + tmpdir);
  entries.push_back(asanOptions + "detect_leaks=0");
  return entries;
}

// Waits for the child, killing it after `timeoutSeconds`; the status stays -1 when it died of a
// signal or was killed.
inline void WaitForChild(pid_t pid, int timeoutSeconds, ProgramRun& run) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int wstatus = 0;
  rusage usage{};
  while (wait4(pid, &wstatus, WNOHANG, &usage) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      wait4(pid, &wstatus, 0, &usage);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.peakRssKb = usage.ru_maxrss;
  for (const timeval& t : {usage.ru_utime, usage.ru_stime}) run.cpuSeconds += t.tv_sec + t.tv_usec / 1e6;
  if (WIFEXITED(wstatus)) run.status = WEXITSTATUS(wstatus);
}

// `extraEnvironment` entries ("NAME=value") replace or add to this process's environment; a
// bare "NAME" removes the variable.
inline ProgramRun RunProgramAt(const std::string& path, const std::vector<std::string>& args,
                               const TempDir& tmp,
                               const std::vector<std::string>& extraEnvironment = {},
                               int timeoutSeconds = 300) {
  std::vector<std::string> argStrings{path};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = EnvironmentWithTmpdir(tmp.path.string());
  for (const std::string& entry : extraEnvironment) {
    const std::string name = entry.substr(0, entry.find('=')) + "=";
    std::erase_if(envStrings, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
    if (entry.find('=') != std::string::npos) envStrings.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);

  const std::string outFile = tmp.Child("stdout.txt");
  const std::string errFile = tmp.Child("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  ProgramRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  WaitForChild(pid, timeoutSeconds, run);
  run.out = TempDir::ReadBytes(outFile);
  run.err = TempDir::ReadBytes(errFile);
  run.log = TempDir::ReadBytes(tmp.Child("ErrorLog.txt"));
  return run;
}

#ifdef QRN_TEST_PROGRAM_DIR
inline ProgramRun RunTestProgram(const std::string& program, const std::vector<std::string>& args,
                                 const TempDir& tmp) {
  return RunProgramAt(std::string(QRN_TEST_PROGRAM_DIR) + "/" + program, args, tmp);
}
#endif
