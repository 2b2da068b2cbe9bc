// Tests of saving the figure: the file replaced whole or not at all.
#include "save.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "svg_text.h"
#include "words.h"

namespace {

// The names in a folder, so that a test can tell that nothing was left behind.
std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Svg, SavingReplacesTheFileWholeOrNotAtAll) {
  const std::string folder = testing::TempDir() + "svg_test_save";
  std::remove((folder + "/figure.svg").c_str());
  mkdir(folder.c_str(), 0700);
  const std::string path = folder + "/figure.svg";
  TurtleCursor small = startCursor();
  EXPECT_EQ("", saveSvg(path, small, 600, 400));
  EXPECT_EQ(svgText(small), contentOf(path));
  const auto names = namesIn(folder);

  // A file size limit makes the larger figure's write fail part way (EFBIG, not a signal).
  TurtleCursor large = grownCursor(12);
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  const struct rlimit limit { 64 * 1024, saved.rlim_max };
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
  const std::string error = saveSvg(path, large, 600, 400);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ("cannot write the SVG to '" + path + "': File too large", error);
  EXPECT_EQ(svgText(small), contentOf(path));
  EXPECT_EQ(names, namesIn(folder)) << "the temporary file was left behind";

  EXPECT_EQ("cannot write the SVG to '" + folder + "/none/figure.svg': No such file or directory",
            saveSvg(folder + "/none/figure.svg", small, 600, 400));
  EXPECT_EQ("", saveSvg(path, large, 600, 400));
  EXPECT_EQ(svgText(large), contentOf(path));
}

}  // namespace
