// A running program under the suite's control: its output read while it runs, its exit code
// and peak memory when it ends, and signals sent to it at chosen moments.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace reliability {

enum class OutputKind {
  kPipe,       // a pipe, so the program buffers its lines
  kSmallPipe,  // a pipe of one page that nobody reads until asked: the program stalls on it
  kTerminal,   // a pseudo terminal, so every line arrives the moment it is written
  kNull,       // /dev/null
};

struct Ended {
  int exit_code = -1;    // -1 when killed by a signal
  int signal = 0;        // the signal that ended it, or 0
  long max_rss_kib = 0;  // peak resident memory
  double seconds = 0;    // wall time from start to end
};

// How a program starts besides its command line and folder.
struct StartOptions {
  OutputKind output = OutputKind::kPipe;
  bool as_nobody = false;  // runs as the unprivileged user "nobody"
  // Standard input, output and error left closed, as a careless scheduler leaves them; a
  // closed output or error is read as empty.
  bool closed[3] = {false, false, false};
  // Limits set (soft and hard alike) just before the program starts: {RLIMIT_AS, bytes}, ...
  std::vector<std::pair<int, rlim_t>> limits;
  // An open folder to start in instead of the path, for a folder no path can name.
  int working_folder_fd = -1;
  // Standard error a one-page pipe that is full before the program starts: the program stalls
  // at its first line there until the test reads it (the filler is never seen in err()).
  bool error_full = false;
};

class Process {
 public:
  // Starts `argv` in `working_folder`; `as_nobody` runs it as the unprivileged user "nobody".
  Process(const std::vector<std::string>& argv, const std::string& working_folder,
          OutputKind output, bool as_nobody = false);
  Process(const std::vector<std::string>& argv, const std::string& working_folder,
          const StartOptions& start);
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  pid_t pid() const { return pid_; }
  // Reads what has arrived, waiting at most `timeout_ms`. False once both outputs are closed.
  // With `with_output` false only standard error is read, so a small pipe stays full.
  bool Read(int timeout_ms, bool with_output = true, bool with_error = true);
  // Bytes waiting unread in standard output's pipe.
  int PendingOutput() const;
  // True while the program is held in a write to this descriptor of its (1 or 2).
  bool BlockedWriting(int fd) const;
  void Signal(int signal);
  // Reads everything that is left and waits for the end.
  Ended Wait();

  const std::string& out() const { return out_; }
  const std::string& err() const { return err_; }

 private:
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string out_;
  std::string err_;
  size_t filler_ = 0;  // bytes of standard error that are the test's own, not yet read
  int64_t started_ns_ = 0;
  bool ended_ = false;
  Ended ended_info_;
};

// Runs a program to its end with standard output in a pipe.
Ended RunToEnd(const std::vector<std::string>& argv, const std::string& working_folder,
               std::string* out, std::string* err, bool as_nobody = false);
Ended RunToEnd(const std::vector<std::string>& argv, const std::string& working_folder,
               const StartOptions& start, std::string* out, std::string* err);

// Whether the program is writing a copy straight into `folder`: it has open there an unnamed
// file ("#<inode> (deleted)") or a file of the temporary-name pattern, with data in it.
bool CopyUnderWay(pid_t pid, const std::string& folder);

// The uid and gid of "nobody" and "nogroup".
uid_t NobodyUid();
gid_t NobodyGid();

}  // namespace reliability
