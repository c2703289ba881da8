// A list of the window's test classes, filled as the test files are loaded.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QObject>
#include <QTest>

namespace gui_tests {

using Entry = std::pair<const char*, std::function<QObject*()>>;

inline std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}

inline bool Register(const char* name, std::function<QObject*()> make) {
  Registry().emplace_back(name, std::move(make));
  return true;
}

}  // namespace gui_tests

#define GUI_TEST_CLASS(Class) \
  static const bool registered_##Class = gui_tests::Register(#Class, [] { return new Class; })
