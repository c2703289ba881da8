#include "tests/reliability/support/strace_calls.h"

#include <unistd.h>

#include <fstream>
#include <map>
#include <regex>

#include "tests/reliability/support/process.h"

namespace reliability {

std::vector<Call> ReadTrace(const std::string& file) {
  static const std::regex kStart(R"(^(\d+) +(\w+)\((.*?)( <unfinished \.\.\.>|\) += (-?\d+).*)$)");
  static const std::regex kResumed(R"(^(\d+) +<\.\.\. (\w+) resumed>(.*?)\) += (-?\d+).*$)");
  static const std::regex kString(R"re("((?:[^"\\]|\\.)*)")re");
  static const std::regex kFdPath(R"(^\d+<(.*)>$)");
  std::vector<Call> calls;
  std::map<std::string, std::pair<size_t, std::string>> pending;  // by thread: call, arguments
  auto finish = [&](size_t index, const std::string& args, int line, const std::string& ret) {
    Call& call = calls[index];
    call.end = line;
    call.ok = ret == "0";
    std::smatch m;
    if (call.name == "syncfs" || call.name == "fsync" || call.name == "fdatasync") {
      if (std::regex_match(args, m, kFdPath))
        call.path = m[1];
      return;
    }
    // The second string of every renaming or linking call is the new name.
    auto strings = std::sregex_iterator(args.begin(), args.end(), kString);
    if (strings != std::sregex_iterator() && ++strings != std::sregex_iterator()) {
      call.path = (*strings)[1];
    }
  };
  std::ifstream in(file);
  std::string text;
  for (int line = 0; std::getline(in, text); ++line) {
    std::smatch m;
    if (std::regex_match(text, m, kStart)) {
      calls.push_back({m[2], "", line, line, false});
      if (m[5].matched) {
        finish(calls.size() - 1, m[3], line, m[5]);
      } else {
        pending[m[1]] = {calls.size() - 1, m[3]};
      }
    } else if (std::regex_match(text, m, kResumed)) {
      auto it = pending.find(m[1]);
      if (it == pending.end())
        continue;
      finish(it->second.first, it->second.second + std::string(m[3]), line, m[4]);
      pending.erase(it);
    }
  }
  return calls;
}

std::string StraceUnavailable() {
  if (access(kStrace, X_OK) != 0)
    return "strace is not installed (package strace)";
  std::string probe;
  if (RunToEnd({kStrace, "-o", "/dev/null", "/bin/true"}, "", nullptr, &probe).exit_code != 0) {
    return "tracing is not permitted here: " + probe;
  }
  return "";
}

}  // namespace reliability
