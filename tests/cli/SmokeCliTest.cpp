#include <gtest/gtest.h>
#include "cli/CliApp.h"
#include <sstream>
TEST(SmokeCli, Help) { std::ostringstream o, e; const char* argv[] = {"velkmerge-cli", "--help"}; EXPECT_EQ(runCli(2, argv, o, e), 0); }
