// Saves one key the way the window does: save_setting.exe FILE KEY VALUE, into section [Main].
// Prints the failure's message and exits 1 when the save fails.
#include <cstdio>

#include "engine/platform/file_system.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: save_setting FILE KEY VALUE\n");
    return 64;
  }
  const platform::IoResult saved =
      platform::DefaultFileSystem().WriteProfileString(argv[1], "Main", argv[2], argv[3]);
  if (!saved.ok()) {
    std::fprintf(stderr, "%s\n", saved.message.c_str());
    return 1;
  }
  return 0;
}
