// Running programs for the tests.
#include "tests/process_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gtest/gtest.h"

std::string slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string scratch_path(const char* name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "iso8583_" + test->test_suite_name() + "_" + test->name() + "_" +
         name;
}

std::string write_scratch(const char* name, const std::string& contents) {
  const std::string path = scratch_path(name);
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

ProcessRun run_program(const std::string& program, const std::string& arguments,
                       const std::string& input) {
  const std::string in = write_scratch("stdin", input);
  const std::string out = scratch_path("stdout"), err = scratch_path("stderr");
  const std::string command = std::string("cd '") + SOURCE_DIR + "' && '" + program + "' " +
                              arguments + " <'" + in + "' >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return ProcessRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}
