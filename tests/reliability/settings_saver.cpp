// Saves all fourteen keys of a settings file, one key per access as the window does, again
// and again: the writer side of the concurrent-use test.
// Usage: settings_saver FILE WRITER-NAME TIMES
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/settings_file.h"

int main(int argc, char** argv) {
  if (argc != 4)
    return 2;
  engine::SettingsFile file(argv[1]);
  const std::string writer = argv[2];
  const int times = std::atoi(argv[3]);
  static constexpr const char* kTexts[] = {"SourceFolder", "MasterFolder", "DestFolder"};
  static constexpr const char* kSwitches[] = {"SyncSub",  "CreateSub",   "flSize",   "flDate",
                                              "flAttr",   "flReadOnly",  "flHidden", "flArchive",
                                              "flSystem", "flCompressed"};
  for (int i = 0; i < times; ++i) {
    const std::string stamp = writer + "-" + std::to_string(i);
    platform::IoResult r;
    for (const char* key : kTexts) {
      if (r.ok())
        r = file.WriteText(engine::kMainSection, key, "/" + stamp + "/" + key);
    }
    for (int k = 0; k < 10; ++k) {
      if (k == 3 && r.ok())
        r = file.WriteText(engine::kMainSection, "Mask", "*." + stamp);
      if (r.ok())
        r = file.WriteSwitch(engine::kMainSection, kSwitches[k], (i + k) % 2 == 0);
    }
    if (!r.ok()) {
      std::fprintf(stderr, "%s\n", r.message.c_str());
      return 1;
    }
  }
  return 0;
}
