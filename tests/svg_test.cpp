// Tests of the SVG writer: its exact form, its squares against the walk, and saving it whole.
#include "svg.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "words.h"

namespace {

struct Rect {
  int64_t x, y, width, height;
  std::string fill;
  bool operator==(const Rect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height && fill == o.fill;
  }
};

std::string svgOf(TurtleCursor& arbre, int32_t width = 600, int32_t height = 400) {
  std::FILE* file = std::tmpfile();
  EXPECT_TRUE(writeSvg(file, arbre, width, height));
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  EXPECT_EQ(text.size(), std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

// The rect elements, one per line as the writer puts them.
std::vector<Rect> rectsOf(const std::string& svg) {
  std::vector<Rect> rects;
  std::istringstream lines(svg);
  for (std::string line; std::getline(lines, line);) {
    long long x, y, width, height;
    char fill[8];
    int end = 0;
    if (std::sscanf(
            line.c_str(),
            "<rect x=\"%lld\" y=\"%lld\" width=\"%lld\" height=\"%lld\" fill=\"%7[#0-9a-f]\"/>%n",
            &x, &y, &width, &height, fill, &end) == 5 &&
        static_cast<std::size_t>(end) == line.size()) {
      rects.push_back({x, y, width, height, fill});
    }
  }
  return rects;
}

// The squares as the cursor's own walk places them, symbol by symbol, on a black box around them.
std::vector<Rect> expectedRects(TurtleCursor arbre) {
  std::vector<Rect> squares;
  arbre.reset();
  for (; !arbre.atEnd(); arbre.advance()) {
    arbre.interpretCurrent();
    const TurtleState at = arbre.currentState();
    if (arbre.currentSymbol() == 'o') squares.push_back({at.getX(), at.getY(), 20, 20, "#00ff00"});
    if (arbre.currentSymbol() == 'a') squares.push_back({at.getX(), at.getY(), 7, 7, "#663300"});
  }
  Rect box{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN, "#000000"};
  for (const Rect& r : squares) {
    box = {std::min(box.x, r.x), std::min(box.y, r.y), std::max(box.width, r.x + r.width),
           std::max(box.height, r.y + r.height), box.fill};
  }
  box.width -= box.x;
  box.height -= box.y;
  squares.insert(squares.begin(), box);
  return squares;
}

TEST(Svg, TheStartFigureInFull) {
  TurtleCursor arbre = startCursor();
  const std::string svg = svgOf(arbre);
  EXPECT_EQ(0u,
            svg.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"227 166 163 121\" "
                     "width=\"163\" height=\"121\" shape-rendering=\"crispEdges\">\n"
                     "<rect x=\"227\" y=\"166\" width=\"163\" height=\"121\" fill=\"#000000\"/>\n"
                     "<rect x=\"299\" y=\"280\" width=\"7\" height=\"7\" fill=\"#663300\"/>\n"))
      << svg.substr(0, 400);
  EXPECT_EQ(svg.size() - 7, svg.find("</svg>\n"));
  const std::vector<Rect> rects = rectsOf(svg);
  EXPECT_EQ(1u + 30u, rects.size());  // the box, 22 segments and 8 buds
  EXPECT_EQ((Rect{370, 200, 20, 20, "#00ff00"}), rects.back());
  EXPECT_EQ(static_cast<std::size_t>(std::count(svg.begin(), svg.end(), '\n')), rects.size() + 3);
}

TEST(Svg, SquaresFollowTheWalkForEverySetting) {
  struct Case {
    std::string grammar;
    int generations, x, y, step;
    float angle;
  };
  const Case cases[] = {
      {kGrammar, 5, 300, 300, 20, 0.5f},
      {"{o:a[-ao][+ao]ao;}o", 4, 10, 390, 9, 0.39269909f},
      {"{a:a+a-a-a+a;}_a", 3, -200, 100000, 30, 1.5707964f},  // far past 16 bits, backward steps
      {"{o:|[+o]-o;}ao", 6, 0, 0, -7, -2.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.grammar);
    TurtleCursor arbre(c.grammar, c.x, c.y, c.step, c.angle);
    for (int i = 0; i < c.generations; ++i) arbre.grow();
    EXPECT_EQ(expectedRects(arbre), rectsOf(svgOf(arbre)));
  }
}

TEST(Svg, WithoutSquaresTheBoxIsTheWindow) {
  TurtleCursor arbre(kGrammar, 300, 300);
  arbre.word = "+[x]-";
  const std::string svg = svgOf(arbre, 320, 200);
  EXPECT_NE(std::string::npos, svg.find("viewBox=\"0 0 320 200\" width=\"320\" height=\"200\""));
  EXPECT_EQ(std::vector<Rect>{(Rect{0, 0, 320, 200, "#000000"})}, rectsOf(svg));
}

TEST(Svg, TheSelectionOutlivesTheWriting) {
  TurtleCursor arbre = startCursor();
  arbre.selected = 13;
  svgOf(arbre);
  EXPECT_EQ(13, arbre.selected);
}

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
  EXPECT_EQ(svgOf(small), contentOf(path));
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
  EXPECT_EQ(svgOf(small), contentOf(path));
  EXPECT_EQ(names, namesIn(folder)) << "the temporary file was left behind";

  EXPECT_EQ("cannot write the SVG to '" + folder + "/none/figure.svg': No such file or directory",
            saveSvg(folder + "/none/figure.svg", small, 600, 400));
  EXPECT_EQ("", saveSvg(path, large, 600, 400));
  EXPECT_EQ(svgOf(large), contentOf(path));
}

}  // namespace
