#include "tests/reliability/support/reliability_test.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace reliability {

int RunResult::ErrLinesWith(const std::string& text) const {
  int count = 0;
  for (const std::string& line : err_lines) {
    if (line.find(text) != std::string::npos)
      ++count;
  }
  return count;
}

void ReliabilityTest::TearDown() {
  ram_.reset();
  TempDirTest::TearDown();
}

void ReliabilityTest::MoveIntoRam(const std::string& size) {
  ram_ = std::make_unique<TmpfsMount>(PathOf(), "size=" + size);
  if (!ram_->mounted()) {
    std::cout << "[ note     ] staying on disk: " << ram_->refusal() << "\n";
    ram_.reset();
  }
}

std::string ReliabilityTest::WriteSettings(const std::string& source, const std::string& master,
                                           const std::vector<std::string>& destinations) {
  std::string dest;
  for (const std::string& d : destinations) dest += (dest.empty() ? "" : ";") + d;
  return WriteFile("job.bfs", "[Main]\nSourceFolder=" + source + "\nMasterFolder=" + master +
                                  "\nDestFolder=" + dest + "\n");
}

std::string ReliabilityTest::WriteDefaultSettings() {
  return WriteSettings(PathOf("src"), PathOf("master"), {PathOf("dest1"), PathOf("dest2")});
}

std::vector<std::string> ReliabilityTest::Command(const std::string& settings) const {
  return {PARLOCON_PATH, settings};
}

RunResult ReliabilityTest::Run(const std::string& settings, bool as_nobody) {
  RunResult r;
  r.ended = RunToEnd(Command(settings), PathOf(), &r.out, &r.err, as_nobody);
  std::istringstream lines(r.err);
  for (std::string line; std::getline(lines, line);) r.err_lines.push_back(line);
  return r;
}

std::string ReliabilityTest::FillPaths(std::string text) const {
  for (const char* name : {"root", "src", "dest1", "dest2", "master"}) {
    const std::string key = "{" + std::string(name) + "}";
    const std::string path = key == "{root}" ? PathOf() : PathOf(name);
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
      text.replace(at, key.size(), path);
      at += path.size();
    }
  }
  return text;
}

std::vector<std::string> ReliabilityTest::TargetDifferences() {
  const Tree source = ReadTree(PathOf("src"));
  std::vector<std::string> all;
  for (const std::string& temp : source.temporaries) all.push_back("src: temporary " + temp);
  for (const std::string& target : Targets()) {
    for (const std::string& line : Differences(source, ReadTree(target))) {
      all.push_back(target.substr(root_.string().size() + 1) + ": " + line);
    }
  }
  return all;
}

}  // namespace reliability
