// The text rules of the settings-file field and of the error report.
#include "form/path_texts.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "engine/platform/path_rules.h"

namespace {

struct Row {
  const char* in;
  const char* out;
};

// Written with "/", read with this OS's separator.
std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
  return path;
}

TEST(PathTextsTest, SettingsPathFromTheFieldsText) {
  const Row rows[] = {
      {"a.bfs", "/opt/p/a.bfs"},
      {"", "/opt/p/"},                // names the folder itself
      {" a.bfs ", "/opt/p/ a.bfs "},  // nothing trimmed
      {"conf/a.bfs", "conf/a.bfs"},   // a separator: used as it stands
      {"\"/my sync/b.bfs\"", "/my sync/b.bfs"},
      {"a\"b\".bfs", "/opt/p/ab.bfs"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(form::SettingsPathFor(Native(row.in), Native("/opt/p")), Native(row.out)) << row.in;
  }
  // A folder at the root of a drive gets a second separator.
  EXPECT_EQ(form::SettingsPathFor("a.bfs", Native("/")), Native("//a.bfs"));
}

TEST(PathTextsTest, FirstParameterOfACommandLine) {
  const Row rows[] = {
      {"a.bfs b.bfs", "a.bfs"},
      {"   a.bfs", "a.bfs"},
      {"a\tb", "a"},
      {"\"/my sync/b.bfs\" x", "/my sync/b.bfs"},
      {"a\"b c\"d e", "ab cd"},
      {"\"a b", "a b"},
      {"\"\" a", "a"},
      {"\"\"\"\"a", "a"},
      {"  ", ""},
      {"\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB0\xD1\x87\xD0\xB0.bfs x",
       "\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB0\xD1\x87\xD0\xB0.bfs"},
  };
  for (const Row& row : rows) EXPECT_EQ(form::FirstParameter(row.in), row.out) << row.in;
}

TEST(PathTextsTest, ErrorBoxTitleAndFullStop) {
  const Row titles[] = {
      {"parlowin", "Parlowin"}, {"PARLOWIN.EXE", "Parlowin"}, {"my.tool.bin", "My"}, {"", ""}};
  for (const Row& row : titles) EXPECT_EQ(form::ProgramTitle(row.in), row.out) << row.in;
  // A full stop only after a character whose code is above ".".
  const Row messages[] = {{"to /a/b.bfs", "to /a/b.bfs."},
                          {"to /a/", "to /a/."},
                          {"to ", "to "},
                          {"Done.", "Done."},
                          {"a-", "a-"},
                          {"", ""},
                          {"\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0",
                           "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0."}};
  for (const Row& row : messages) EXPECT_EQ(form::WithFullStop(row.in), row.out) << row.in;
}

}  // namespace
