// Runs the window's test classes: all of them, or the one named by the first argument (the
// rest goes to Qt Test), so each class is its own ctest entry.
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <QApplication>

#include "gui/application.h"
#include "tests/gui/gui_test_registry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  gui::SetUpApplication(app);
  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  std::vector<char*> args{argv[0]};
  for (int i = only ? 2 : 1; i < argc; ++i) args.push_back(argv[i]);
  int failed = 0;
  bool found = false;
  for (const auto& [name, make] : gui_tests::Registry()) {
    if (only && std::strcmp(only, name) != 0)
      continue;
    found = true;
    std::unique_ptr<QObject> test(make());
    failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
  }
  if (!found) {
    std::fprintf(stderr, "no test class named %s\n", only);
    return 2;
  }
  return failed == 0 ? 0 : 1;
}
