// parlocon: runs one synchronisation from the settings file named on the command line.
#ifdef _WIN32
#include <windows.h>
#endif

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/console_sink.h"
#include "console/failure_report.h"
#include "console/std_output.h"
#include "console/usage.h"
#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/sync_run.h"
#include "engine/version.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitEnded = 1;
constexpr int kExitUnreadableSettings = 2;
constexpr int kExitFailures = 3;

int PrintAndExit(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitDone : kExitEnded;
}

int Run(const std::string& argument) {
  platform::FileSystem& fs = platform::DefaultFileSystem();
  std::string settings_path = argument;
  if (!platform::IsPathName(argument)) {
    std::string working_folder;
    platform::IoResult found = fs.WorkingFolder(&working_folder);
    if (!found.ok()) {
      std::fprintf(stderr, "parlocon: %s\n", found.message.c_str());
      return kExitUnreadableSettings;
    }
    settings_path = console::ResolveSettingsPath(argument, working_folder);
  }
  std::string text;
  platform::IoResult read = fs.ReadText(settings_path, &text);
  if (!read.ok()) {
    std::fprintf(stderr, "parlocon: cannot read the settings file: %s\n", read.message.c_str());
    return kExitUnreadableSettings;
  }

  console::StdOutput out(1);
  console::ConsoleSink sink(out);
  engine::RunSync(fs, settings_path, sink);
  out.Flush();  // a failure of this last write changes nothing
  return sink.failures() == 0 ? kExitDone : kExitFailures;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The program's own splitting rules, not the C runtime's: a backslash is never an escape.
  std::vector<std::string> split = console::SplitCommandLine(GetCommandLineA());
  std::vector<char*> split_argv;
  for (std::string& argument : split) split_argv.push_back(argument.data());
  split_argv.push_back(nullptr);
  argc = static_cast<int>(split.size());
  argv = split_argv.data();
#else
  // A closed pipe must show as a failed write, not kill the program silently.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  if (argc < 2) return kExitDone;
  const std::string argument = argv[1];
  if (argument == "--help") return PrintAndExit(console::kUsage);
  if (argument == "--version") return PrintAndExit(std::string("parlocon ") + engine::kVersion + "\n");
  try {
    return Run(argument);
  } catch (const std::bad_alloc&) {
    console::WriteFailureReport(console::FailureReport("EOutOfMemory", "Out of memory"));
  } catch (const std::exception& e) {
    console::WriteFailureReport(console::FailureReport("Exception", e.what()));
  }
  return kExitEnded;
}
