#include "platform/file_dialog.h"

#include "platform/environment.h"
#include "platform/process_launch.h"

namespace platform {

namespace {

bool DialogPossible() {
  if (!EnvironmentValue("QRN_HEADLESS").empty()) return false;
  return !EnvironmentValue("DISPLAY").empty() || !EnvironmentValue("WAYLAND_DISPLAY").empty();
}

std::vector<std::string> ZenityCommand(bool open, const std::vector<FileFilter>& filters,
                                       const std::string& folder) {
  std::vector<std::string> argv = {"zenity", "--file-selection"};
  if (!open) {
    argv.push_back("--save");
    argv.push_back("--confirm-overwrite");
  }
  argv.push_back("--filename=" + folder + "/");
  for (const FileFilter& filter : filters) {
    argv.push_back("--file-filter=" + filter.description + " | " + filter.patterns);
  }
  return argv;
}

std::vector<std::string> KdialogCommand(bool open, const std::vector<FileFilter>& filters,
                                        const std::string& folder) {
  std::string filterList;
  for (const FileFilter& filter : filters) {
    if (!filterList.empty()) filterList += '\n';
    filterList += filter.patterns + "|" + filter.description;
  }
  return {"kdialog", open ? "--getopenfilename" : "--getsavefilename", folder, filterList};
}

// Nothing when the tool is missing or the user cancelled (any status but 0).
std::optional<std::string> RunDialogTool(const std::vector<std::string>& argv, bool* started) {
  std::string output;
  const LaunchOutcome outcome = RunForOutput(argv, &output);
  *started = outcome.started;
  if (!outcome.started || outcome.exitCode != 0) return std::nullopt;
  if (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

}  // namespace

std::optional<std::string> ChooseFile(bool open, const std::vector<FileFilter>& filters,
                                      const std::string& folder) {
  if (!DialogPossible()) return std::nullopt;
  bool started = false;
  std::optional<std::string> chosen = RunDialogTool(ZenityCommand(open, filters, folder), &started);
  if (started) return chosen;
  return RunDialogTool(KdialogCommand(open, filters, folder), &started);
}

}  // namespace platform
