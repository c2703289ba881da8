#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir_test.h"

namespace {

using testing_support::RunProgram;

class ParloconTest : public testing_support::TempDirTest {};

TEST_F(ParloconTest, PrintsOneLinePerCopyEndedByCrLf) {
  WriteFile("src/a.txt", "a");
  MakeFolder("master");
  MakeFolder("dest");
  WriteFile("job.bfs", "[Main]\nSourceFolder=" + PathOf("src") + "\nMasterFolder=" +
                           PathOf("master") + "\nDestFolder=" + PathOf("dest") + "\n");

  auto result = RunProgram({PARLOCON_PATH, "job.bfs"}, PathOf());

  const std::string copy = "Copy " + PathOf("src") + "/a.txt\r\n";
  EXPECT_EQ(result.out, "Get list of files...\r\n" + copy + copy);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code, 0);
}

}  // namespace
