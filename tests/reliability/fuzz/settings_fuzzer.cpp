// Coverage-guided fuzzing of the settings reader and writer (libFuzzer, with AddressSanitizer
// and UndefinedBehaviorSanitizer). Any property that fails aborts, which libFuzzer reports as
// a crash with the input that caused it.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/reliability/settings_check.h"

namespace {

std::string& ScratchPath() {
  static std::string path;
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A RAM folder where there is one: every input writes and replaces a real file.
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string folder = std::string(base) + "/parlowen-fuzz-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr)
    abort();
  ScratchPath() = folder + "/job.bfs";
  atexit([] {
    unlink(ScratchPath().c_str());
    rmdir(ScratchPath().substr(0, ScratchPath().rfind('/')).c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string failed = reliability::CheckSettingsInput(data, size, ScratchPath());
  if (!failed.empty()) {
    std::fprintf(stderr, "settings property failed: %s\n", failed.c_str());
    abort();
  }
  return 0;
}
