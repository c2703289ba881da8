#include "tests/support/run_program.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace testing_support {
namespace {

struct Account {
  uid_t uid = 0;
  gid_t gid = 0;
};

bool FindNobody(Account* account) {
  const passwd* user = getpwnam("nobody");
  if (user == nullptr)
    return false;
  account->uid = user->pw_uid;
  const group* nogroup = getgrnam("nogroup");
  account->gid = nogroup != nullptr ? nogroup->gr_gid : user->pw_gid;
  return true;
}

// Runs in the child between fork and exec: only async-signal-safe calls, _exit on trouble.
[[noreturn]] void StartChild(const std::vector<char*>& args, const RunOptions& options,
                             const Account& nobody, int out_fd, int err_fd) {
  int null_fd = open("/dev/null", O_RDONLY);
  dup2(null_fd, 0);
  dup2(err_fd, 2);
  if (out_fd >= 0) {
    dup2(out_fd, 1);
  } else {
    close(1);
  }
  if (!options.working_folder.empty() && chdir(options.working_folder.c_str()) != 0)
    _exit(126);
  if (options.as_nobody &&
      (setgroups(0, nullptr) != 0 || setgid(nobody.gid) != 0 || setuid(nobody.uid) != 0)) {
    _exit(125);
  }
  execv(args[0], args.data());
  _exit(127);
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::string& working_folder) {
  RunOptions options;
  options.working_folder = working_folder;
  return RunProgram(argv, options);
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options) {
  Account nobody;
  if (options.as_nobody && !FindNobody(&nobody))
    std::abort();
  int out_pipe[2], err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0)
    std::abort();
  if (options.stderr_terminal) {
    // The terminal takes the place of the pipe: its master side is read, its other side
    // is the program's.
    close(err_pipe[0]);
    close(err_pipe[1]);
    err_pipe[0] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (err_pipe[0] < 0 || grantpt(err_pipe[0]) != 0 || unlockpt(err_pipe[0]) != 0)
      std::abort();
    err_pipe[1] = open(ptsname(err_pipe[0]), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (err_pipe[1] < 0)
      std::abort();
  }
  int child_out = out_pipe[1];
  switch (options.stdout_to) {
    case StdoutTo::kCapture:
      break;
    case StdoutTo::kClosedPipe:
      close(out_pipe[0]);
      out_pipe[0] = -1;
      break;
    case StdoutTo::kFullDevice:
      child_out = open("/dev/full", O_WRONLY | O_CLOEXEC);
      break;
    case StdoutTo::kFile:
      child_out = open(options.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      break;
    case StdoutTo::kNone:
      close(out_pipe[0]);
      out_pipe[0] = -1;
      child_out = -1;
      break;
    case StdoutTo::kErrorTerminal:
      if (!options.stderr_terminal)
        std::abort();
      close(out_pipe[0]);
      out_pipe[0] = -1;
      child_out = err_pipe[1];
      break;
  }
  if (child_out < 0 && options.stdout_to != StdoutTo::kNone)
    std::abort();

  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0)
    StartChild(args, options, nobody, child_out, err_pipe[1]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (child_out >= 0 && child_out != out_pipe[1] && child_out != err_pipe[1])
    close(child_out);

  ProgramResult result;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = out_pipe[0] < 0 ? 1 : 2;
  while (open_count > 0) {
    if (poll(fds, 2, -1) < 0)
      continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      char chunk[4096];
      ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
      if (n > 0) {
        sinks[i]->append(chunk, static_cast<size_t>(n));
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        // A terminal whose other side has closed reports EIO: its end, too.
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status))
    result.exit_code = WEXITSTATUS(status);
  return result;
}

bool CanRunAsNobody() {
  Account nobody;
  return geteuid() == 0 && FindNobody(&nobody);
}

}  // namespace testing_support
