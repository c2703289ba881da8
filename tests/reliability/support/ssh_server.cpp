#include "tests/reliability/support/ssh_server.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "tests/reliability/support/process.h"

namespace reliability {
namespace {

constexpr char kSshd[] = "/usr/sbin/sshd";
constexpr char kKeygen[] = "/usr/bin/ssh-keygen";

// A port nobody listens on now; the server takes it a moment later.
int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

std::string MakeKey(const std::string& path) {
  std::string err;
  if (RunToEnd({kKeygen, "-q", "-t", "ed25519", "-N", "", "-f", path}, "", nullptr, &err)
          .exit_code != 0) {
    return "ssh-keygen " + path + ": " + err;
  }
  return "";
}

// Every process below `root`, from /proc.
std::vector<pid_t> Descendants(pid_t root) {
  std::multimap<pid_t, pid_t> children;
  if (DIR* proc = opendir("/proc")) {
    while (struct dirent* d = readdir(proc)) {
      const pid_t pid = static_cast<pid_t>(atoi(d->d_name));
      if (pid <= 0)
        continue;
      std::ifstream in(std::string("/proc/") + d->d_name + "/stat");
      std::string line;
      std::getline(in, line);
      const size_t after_name = line.rfind(')');
      if (after_name == std::string::npos)
        continue;
      std::istringstream rest(line.substr(after_name + 1));
      char state;
      pid_t parent;
      if (rest >> state >> parent)
        children.emplace(parent, pid);
    }
    closedir(proc);
  }
  std::vector<pid_t> found;
  std::vector<pid_t> todo = {root};
  while (!todo.empty()) {
    const pid_t pid = todo.back();
    todo.pop_back();
    auto [from, to] = children.equal_range(pid);
    for (auto it = from; it != to; ++it) {
      found.push_back(it->second);
      todo.push_back(it->second);
    }
  }
  return found;
}

}  // namespace

SshServer::SshServer(std::string folder) : folder_(std::move(folder)) {
  if (geteuid() != 0) {
    refusal_ = "the SSH server of the test must run as root";
    return;
  }
  if (access(kSshd, X_OK) != 0 || access(kKeygen, X_OK) != 0) {
    refusal_ = "the OpenSSH server is not installed (package openssh-server)";
    return;
  }
  client_key_ = folder_ + "/client_key";
  for (const std::string& key : {folder_ + "/host_key", client_key_}) {
    refusal_ = MakeKey(key);
    if (!refusal_.empty())
      return;
  }
  std::ifstream public_key(client_key_ + ".pub");
  std::ofstream(folder_ + "/authorized_keys") << public_key.rdbuf();
  chmod((folder_ + "/authorized_keys").c_str(), 0600);
  // The server's own folder for its unprivileged part; the system makes it when it starts
  // its SSH service, which a test machine may never have done.
  mkdir("/run/sshd", 0755);
  port_ = FreeLoopbackPort();
  Start();
}

bool SshServer::Start() {
  std::ofstream(folder_ + "/sshd_config")
      << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << folder_
      << "/host_key\nAuthorizedKeysFile " << folder_
      << "/authorized_keys\nPidFile none\nPasswordAuthentication no\n"
         "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\nStrictModes no\n"
         "UsePAM no\nSubsystem sftp internal-sftp\nLogLevel ERROR\n";
  const std::string config = folder_ + "/sshd_config";
  const std::string log = folder_ + "/sshd.log";
  listener_ = fork();
  if (listener_ < 0)
    std::abort();
  if (listener_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    execl(kSshd, kSshd, "-D", "-f", config.c_str(), "-E", log.c_str(), nullptr);
    _exit(127);
  }
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (Accepts(port_))
      return true;
    if (waitpid(listener_, nullptr, WNOHANG) == listener_)
      break;
    usleep(50000);
  }
  std::ifstream in(log);
  std::ostringstream text;
  text << in.rdbuf();
  refusal_ = "sshd did not start on port " + std::to_string(port_) + ": " + text.str();
  Kill();
  return false;
}

void SshServer::Kill() {
  if (listener_ <= 0)
    return;
  // Held still while its sessions are found, so none starts unseen.
  kill(listener_, SIGSTOP);
  for (pid_t session : Descendants(listener_)) kill(session, SIGKILL);
  kill(listener_, SIGKILL);
  waitpid(listener_, nullptr, 0);
  listener_ = -1;
}

std::vector<pid_t> SshServer::Sessions() const {
  return listener_ > 0 ? Descendants(listener_) : std::vector<pid_t>{};
}

}  // namespace reliability
