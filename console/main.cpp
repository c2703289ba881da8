// parlocon: runs one synchronisation from the settings file named on the command line.
#ifdef _WIN32
#include <windows.h>

#include "engine/platform/win32/win32_text.h"
#endif

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "console/command_line.h"
#include "console/console_sink.h"
#include "console/failure_report.h"
#include "console/program_options.h"
#include "console/progress_line.h"
#include "console/run_statistics.h"
#include "console/std_output.h"
#include "console/usage.h"
#include "engine/message_text.h"
#include "engine/platform/dry_run_file_system.h"
#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/std_streams.h"
#include "engine/sync_run.h"
#include "engine/version.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitEnded = 1;
constexpr int kExitUnreadableSettings = 2;
constexpr int kExitFailures = 3;
constexpr int kExitUsage = 64;  // as EX_USAGE, far from the run's own codes

// Standard error through the platform's stream, so a name reaches a console readable and a file
// or a pipe in the bytes it always had there; each "\n" ends a line as the C runtime ended it.
void PrintError(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n')
      line += platform::kTextLineEnd;
    else
      line += c;
  }
  platform::WriteStream(platform::kStdError, line);
}

int PrintAndExit(const std::string& text) {
  // A missing standard output has the null device by now, which would take the text.
  if (platform::MissingStream(platform::kStdOutput) != 0)
    return kExitEnded;
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitDone : kExitEnded;
}

// One line on standard error, whatever bytes a name in it holds.
void PrintFailure(const std::string& text) {
  PrintError("parlocon: " + engine::QuoteControlBytes(text) + "\n");
}

int Run(const console::ProgramOptions& options) {
  const std::string& argument = options.settings_file;
  platform::FileSystem& fs = platform::DefaultFileSystem();
  std::string settings_path = argument;
  if (platform::kBareNameNeedsWorkingFolder && !platform::IsPathName(argument)) {
    std::string working_folder;
    platform::IoResult found = fs.WorkingFolder(&working_folder);
    if (!found.ok()) {
      PrintFailure(found.message);
      return kExitUnreadableSettings;
    }
    settings_path = console::ResolveSettingsPath(argument, working_folder);
  }
  std::string text;
  platform::IoResult read = fs.ReadText(settings_path, &text);
  if (!read.ok()) {
    PrintFailure("cannot read the settings file: " + read.message);
    return kExitUnreadableSettings;
  }

  platform::DryRunFileSystem dry_fs(fs);
  platform::FileSystem& run_fs = options.dry_run ? dry_fs : fs;
  console::CountingFileSystem counting_fs(run_fs, options.dry_run);
  const auto started = std::chrono::steady_clock::now();

  console::StdOutput out(1);
  // Only for a terminal: a file or a pipe would keep every rewritten line.
  const bool progress_shown = options.progress && platform::WritesAtOnce(platform::kStdError) &&
                              platform::MissingStream(platform::kStdError) == 0;
  console::ProgressLine progress(
      [](const std::string& bytes) { platform::WriteStream(platform::kStdError, bytes); },
      [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
      });
  console::ConsoleSink sink(out, progress_shown ? &progress : nullptr);
  engine::RunSync(options.stats ? counting_fs : run_fs, settings_path, options.overrides, sink);
  if (sink.StopRequested())
    return kExitEnded;  // the output failed; the sink has written the report
  out.Flush();          // a failure of this last write changes nothing
  if (options.stats) {
    console::RunStatistics stats;
    stats.files_listed = engine::CopyList.size();
    stats.copies = counting_fs.copies();
    stats.bytes = counting_fs.bytes();
    stats.failures = static_cast<uint64_t>(sink.failures());
    stats.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string line = console::StatisticsLine(stats, options.dry_run);
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  return sink.failures() == 0 ? kExitDone : kExitFailures;
}

int Main(int argc, char** argv) {
#ifdef _WIN32
  // The program's own splitting rules, not the C runtime's: a backslash is never an escape. The
  // wide form holds every name, whatever the ANSI code page.
  std::vector<std::string> split =
      console::SplitCommandLine(platform::Utf8FromWide(GetCommandLineW()));
  std::vector<char*> split_argv;
  for (std::string& argument : split) split_argv.push_back(argument.data());
  split_argv.push_back(nullptr);
  argc = static_cast<int>(split.size());
  argv = split_argv.data();
#else
  // A closed pipe must show as a failed write, not kill the program silently.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  const console::ProgramOptions options =
      console::ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case console::ProgramOptions::Action::kNothing:
      return kExitDone;
    case console::ProgramOptions::Action::kHelp:
      return PrintAndExit(console::kUsage);
    case console::ProgramOptions::Action::kVersion:
      return PrintAndExit(std::string("parlocon ") + engine::kVersion + "\n");
    case console::ProgramOptions::Action::kUsageError:
      PrintFailure(options.error);
      PrintError(console::kUsage);
      return kExitUsage;
    case console::ProgramOptions::Action::kRun:
      break;
  }
  return Run(options);
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything is opened: a file must never take the place of a missing stream.
  platform::SecureStandardStreams();
  // No exception leaves the program but through its report and exit code.
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    console::WriteFailureReport(console::FailureReport("EOutOfMemory", "Out of memory"));
  } catch (const std::exception& e) {
    console::WriteFailureReport(console::FailureReport("Exception", e.what()));
  } catch (...) {
    console::WriteFailureReport(console::FailureReport("Exception", "Unknown exception"));
  }
  return kExitEnded;
}
