// Which SDL library a process really runs on, for test runs that choose one at run time with
// LD_LIBRARY_PATH: a path that does not exist there falls back to the system's library silently.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

// Success when LSV_EXPECT_SDL is unset or empty, or when a file that the process ("self" or a
// pid) has mapped has that text in its path; otherwise a failure that lists the SDL files it has.
inline ::testing::AssertionResult runsOnExpectedSdl(const std::string& pid) {
  const char* expected = std::getenv("LSV_EXPECT_SDL");
  if (expected == nullptr || *expected == '\0') return ::testing::AssertionSuccess();
  std::ifstream maps("/proc/" + pid + "/maps");
  std::string line;
  std::string mapped;
  while (std::getline(maps, line)) {
    if (line.find(expected) != std::string::npos) return ::testing::AssertionSuccess();
    const size_t path = line.find('/');
    if (line.find("libSDL") != std::string::npos &&
        mapped.find(line.substr(path)) == std::string::npos)
      mapped += " " + line.substr(path);
  }
  return ::testing::AssertionFailure()
         << "process " << pid << " has no file " << expected << " mapped; its SDL files:" << mapped;
}
