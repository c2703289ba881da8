#include "tests/reliability/support/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

namespace reliability {
namespace {

int64_t NowNs() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Appends what `fd` has to `sink`; closes it and sets it to -1 at its end.
void Drain(int* fd, std::string* sink) {
  char chunk[65536];
  ssize_t n = read(*fd, chunk, sizeof chunk);
  if (n > 0) {
    sink->append(chunk, static_cast<size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    // A terminal whose other side has closed reports EIO: the end, too.
    close(*fd);
    *fd = -1;
  }
}

}  // namespace

bool CopyUnderWay(pid_t pid, const std::string& folder) {
  static constexpr char kUnnamedEnd[] = " (deleted)";
  static constexpr char kTempPrefix[] = ".~parlowen-";
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  DIR* dir = opendir(fds.c_str());
  if (dir == nullptr)
    return false;
  bool found = false;
  while (struct dirent* d = readdir(dir)) {
    char link[PATH_MAX];
    ssize_t n = readlinkat(dirfd(dir), d->d_name, link, sizeof link - 1);
    if (n <= 0)
      continue;
    const std::string path(link, static_cast<size_t>(n));
    if (path.size() <= folder.size() + 1 || path.compare(0, folder.size(), folder) != 0 ||
        path[folder.size()] != '/') {
      continue;
    }
    const std::string name = path.substr(folder.size() + 1);
    if (name.find('/') != std::string::npos)
      continue;
    const size_t end = sizeof kUnnamedEnd - 1;
    struct stat st;
    found = found || ((name.compare(0, sizeof kTempPrefix - 1, kTempPrefix) == 0 ||
                       (name[0] == '#' && name.size() > end &&
                        name.compare(name.size() - end, end, kUnnamedEnd) == 0)) &&
                      fstatat(dirfd(dir), d->d_name, &st, 0) == 0 && st.st_size > 0);
  }
  closedir(dir);
  return found;
}

uid_t NobodyUid() {
  const struct passwd* pw = getpwnam("nobody");
  return pw ? pw->pw_uid : 65534;
}

gid_t NobodyGid() {
  const struct group* gr = getgrnam("nogroup");
  return gr ? gr->gr_gid : 65534;
}

namespace {

StartOptions Plain(OutputKind output, bool as_nobody) {
  StartOptions start;
  start.output = output;
  start.as_nobody = as_nobody;
  return start;
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& working_folder,
                 OutputKind output, bool as_nobody)
    : Process(argv, working_folder, Plain(output, as_nobody)) {}

Process::Process(const std::vector<std::string>& argv, const std::string& working_folder,
                 const StartOptions& start) {
  const OutputKind output = start.output;
  int out_pipe[2] = {-1, -1}, err_pipe[2];
  int terminal = -1, terminal_slave = -1;
  if (output == OutputKind::kTerminal) {
    terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
      std::abort();
    // Opened here, not in the child: a child killed before it opens the other side would
    // leave the reader waiting forever.
    terminal_slave = open(ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal_slave < 0)
      std::abort();
    struct termios raw;
    tcgetattr(terminal_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal_slave, TCSANOW, &raw);
  } else if (output != OutputKind::kNull) {
    if (pipe2(out_pipe, O_CLOEXEC) != 0)
      std::abort();
    // One page: the program blocks on its output as soon as a page of lines waits unread.
    if (output == OutputKind::kSmallPipe)
      fcntl(out_pipe[0], F_SETPIPE_SZ, 4096);
  }
  if (pipe2(err_pipe, O_CLOEXEC) != 0)
    std::abort();
  if (start.error_full) {
    const int page = fcntl(err_pipe[0], F_SETPIPE_SZ, 4096);
    if (page <= 0)
      std::abort();
    const std::string filler(static_cast<size_t>(page), '#');
    if (write(err_pipe[1], filler.data(), filler.size()) != page)
      std::abort();
    filler_ = filler.size();
  }

  std::vector<std::string> full;
  if (start.as_nobody) {
    full = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
  }
  full.insert(full.end(), argv.begin(), argv.end());
  std::vector<char*> args;
  for (std::string& a : full) args.push_back(a.data());
  args.push_back(nullptr);

  started_ns_ = NowNs();
  pid_ = fork();
  if (pid_ < 0)
    std::abort();
  if (pid_ == 0) {
    int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    if (output == OutputKind::kTerminal) {
      dup2(terminal_slave, 1);
    } else if (output == OutputKind::kNull) {
      dup2(null_fd, 1);
    } else {
      dup2(out_pipe[1], 1);
    }
    dup2(err_pipe[1], 2);
    for (int fd = 0; fd < 3; ++fd) {
      if (start.closed[fd])
        close(fd);
    }
    for (const auto& [resource, value] : start.limits) {
      const struct rlimit limit = {value, value};
      if (setrlimit(resource, &limit) != 0)
        _exit(125);
    }
    if (start.working_folder_fd >= 0 && fchdir(start.working_folder_fd) != 0)
      _exit(126);
    if (!working_folder.empty() && chdir(working_folder.c_str()) != 0)
      _exit(126);
    execv(args[0], args.data());
    _exit(127);
  }
  if (output == OutputKind::kTerminal) {
    close(terminal_slave);
    out_fd_ = terminal;
  } else if (output != OutputKind::kNull) {
    close(out_pipe[1]);
    out_fd_ = out_pipe[0];
  }
  close(err_pipe[1]);
  err_fd_ = err_pipe[0];
}

Process::~Process() {
  if (!ended_) {
    Signal(SIGKILL);
    Wait();
  }
}

bool Process::Read(int timeout_ms, bool with_output, bool with_error) {
  pollfd fds[2] = {{with_output ? out_fd_ : -1, POLLIN, 0}, {with_error ? err_fd_ : -1, POLLIN, 0}};
  if (fds[0].fd < 0 && fds[1].fd < 0) {
    if (timeout_ms > 0)
      poll(nullptr, 0, timeout_ms);
    return out_fd_ >= 0 || err_fd_ >= 0;
  }
  int ready = poll(fds, 2, timeout_ms);
  if (ready > 0) {
    if (fds[0].fd >= 0 && fds[0].revents != 0)
      Drain(&out_fd_, &out_);
    if (fds[1].fd >= 0 && fds[1].revents != 0) {
      Drain(&err_fd_, &err_);
      const size_t filler = std::min(filler_, err_.size());
      err_.erase(0, filler);
      filler_ -= filler;
    }
  }
  return out_fd_ >= 0 || err_fd_ >= 0;
}

bool Process::BlockedWriting(int fd) const {
  std::ifstream in("/proc/" + std::to_string(pid_) + "/syscall");
  std::string number, first;
  in >> number >> first;
  return number == std::to_string(SYS_write) && first == "0x" + std::to_string(fd);
}

int Process::PendingOutput() const {
  int pending = 0;
  if (out_fd_ < 0 || ioctl(out_fd_, FIONREAD, &pending) != 0)
    return 0;
  return pending;
}

void Process::Signal(int signal) {
  if (!ended_)
    kill(pid_, signal);
}

Ended Process::Wait() {
  if (ended_)
    return ended_info_;
  while (Read(-1)) {
  }
  int status = 0;
  struct rusage usage {};
  while (wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  ended_ = true;
  ended_info_.seconds = static_cast<double>(NowNs() - started_ns_) / 1e9;
  ended_info_.max_rss_kib = usage.ru_maxrss;
  if (WIFEXITED(status))
    ended_info_.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status))
    ended_info_.signal = WTERMSIG(status);
  return ended_info_;
}

Ended RunToEnd(const std::vector<std::string>& argv, const std::string& working_folder,
               std::string* out, std::string* err, bool as_nobody) {
  return RunToEnd(argv, working_folder, Plain(OutputKind::kPipe, as_nobody), out, err);
}

Ended RunToEnd(const std::vector<std::string>& argv, const std::string& working_folder,
               const StartOptions& start, std::string* out, std::string* err) {
  Process process(argv, working_folder, start);
  Ended ended = process.Wait();
  if (out)
    *out = process.out();
  if (err)
    *err = process.err();
  return ended;
}

}  // namespace reliability
