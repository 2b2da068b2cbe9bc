// Tests of the SVG writer: its exact form and its squares against the walk.
#include "svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "svg_text.h"
#include "words.h"

namespace {

struct Rect {
  int64_t x, y, width, height;
  std::string fill;
  bool operator==(const Rect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height && fill == o.fill;
  }
};

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

// The squares as the cursor's own walk places them, symbol by symbol, on a black box around them:
// the buds' and the segments' bytes as given.
std::vector<Rect> expectedRects(TurtleCursor cursor, const std::string& segments = "a",
                                const std::string& buds = "o") {
  std::vector<Rect> squares;
  cursor.reset();
  for (; !cursor.atEnd(); cursor.advance()) {
    cursor.interpretCurrent();
    const TurtleState at = cursor.currentState();
    const char symbol = cursor.currentSymbol();
    if (buds.find(symbol) != std::string::npos) {
      squares.push_back({at.getX(), at.getY(), 20, 20, "#00ff00"});
    }
    if (segments.find(symbol) != std::string::npos) {
      squares.push_back({at.getX(), at.getY(), 7, 7, "#663300"});
    }
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
  TurtleCursor cursor = startCursor();
  const std::string svg = svgText(cursor);
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
    std::string segments = "a", buds = "o", moves = "";
  };
  const Case cases[] = {
      {kGrammar, 5, 300, 300, 20, 0.5f},
      {"{o:a[-ao][+ao]ao;}o", 4, 10, 390, 9, 0.39269909f},
      {"{a:a+a-a-a+a;}_a", 3, -200, 100000, 30, 1.5707964f},  // far past 16 bits, backward steps
      {"{o:|[+o]-o;}ao", 6, 0, 0, -7, -2.0f},
      // The book's letters: "a" and "o" are plain bytes here, "f" moves without a square.
      {"{X:F[+X]f-FXao;F:FF;}X", 4, 300, 390, 5, 0.4f, "FG", "X", "f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.grammar);
    TurtleCursor cursor(c.grammar, c.x, c.y, c.step, c.angle);
    cursor.setSymbols(c.segments, c.buds, c.moves);
    for (int i = 0; i < c.generations; ++i) cursor.grow();
    EXPECT_EQ(expectedRects(cursor, c.segments, c.buds), rectsOf(svgText(cursor)));
  }
}

using Polygon = std::vector<std::pair<double, double>>;

// The polygons of the paths, in order, and the numbers of each element's attributes: the
// elements as they stand, one per line.
struct Element {
  std::string name;
  std::vector<double> numbers;  // x, y, width and height of a rect or the svg's viewBox
  std::string fill;
  std::vector<Polygon> polygons;  // of a path
};

std::vector<Element> elementsOf(const std::string& svg) {
  std::vector<Element> elements;
  std::istringstream lines(svg);
  for (std::string line; std::getline(lines, line);) {
    Element e;
    e.name = line.substr(1, line.find(' ') - 1);
    const auto attribute = [&line](const std::string& name) {
      const std::size_t at = line.find(" " + name + "=\"");
      if (at == std::string::npos) return std::string();
      const std::size_t begin = at + name.size() + 3;
      return line.substr(begin, line.find('"', begin) - begin);
    };
    e.fill = attribute("fill");
    for (const char* name : {"viewBox", "x", "y", "width", "height"}) {
      std::istringstream values(attribute(name));
      for (std::string v; values >> v;) e.numbers.push_back(std::strtod(v.c_str(), nullptr));
    }
    const std::string d = attribute("d");
    for (const char* at = d.c_str(); *at != '\0';) {
      if (*at == 'M') e.polygons.emplace_back();
      if (*at == 'Z') {
        ++at;
        continue;
      }
      char* end;
      const double x = std::strtod(at + 1, &end);
      const double y = std::strtod(end, &end);
      e.polygons.back().push_back({x, y});
      at = end;
    }
    elements.push_back(std::move(e));
  }
  return elements;
}

// Twice the signed area of a polygon.
double doubleArea(const Polygon& polygon) {
  double sum = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const auto& [x0, y0] = polygon[i];
    const auto& [x1, y1] = polygon[(i + 1) % polygon.size()];
    sum += x0 * y1 - x1 * y0;
  }
  return sum;
}

TEST(Svg, TheLineStyleInFull) {
  TurtleCursor cursor = cursorWith("FX[+F]fF");
  cursor.setSymbols("F", "X", "f");
  // The turtle's points in its own arithmetic, each step in double and rounded once to float:
  // the first step ends at (x1, y1), where the bud stands; the branch's at (x2, y2); then from
  // (x1, y1) exactly the move to (x3, y3) and the segment to (x4, y4).
  const auto f = [](double v) { return static_cast<double>(static_cast<float>(v)); };
  const double up = f(3.1416);
  const double left = f(up + 0.5);
  const double s0 = f(std::sin(up)), c0 = f(std::cos(up));
  const double s1 = f(std::sin(left)), c1 = f(std::cos(left));
  const double x1 = f(s0 * 20 + 300), y1 = f(c0 * 20 + 300);
  const double x2 = f(s1 * 20 + x1), y2 = f(c1 * 20 + y1);
  const double x3 = f(s0 * 20 + x1), y3 = f(c0 * 20 + y1);
  const double x4 = f(s0 * 20 + x3), y4 = f(c0 * 20 + y3);
  const std::vector<std::pair<double, double>> ends[] = {
      {{300, 300}, {x1, y1}}, {{x1, y1}, {x2, y2}}, {{x3, y3}, {x4, y4}}};
  for (const int32_t brush : {3, 12}) {
    SCOPED_TRACE("brush " + std::to_string(brush));
    const double back = (brush - 1) / 2;
    const auto e = elementsOf(svgText(cursor, 600, 400, Style(true, brush, {0xffffff, 0, 7})));
    ASSERT_EQ(7u, e.size());  // xml, svg, the box, a path, the bud, a path, the end
    // The box holds the points, grown by the buds' half side (more than the brush's reach).
    EXPECT_EQ((std::vector<double>{x2 - 10, y4 - 10, 310 - (x2 - 10), 310 - (y4 - 10)}),
              std::vector<double>(e[1].numbers.begin(), e[1].numbers.begin() + 4));
    EXPECT_EQ("#ffffff", e[2].fill);
    EXPECT_EQ((std::vector<double>{x1 - 10, y1 - 10, 20, 20}), e[4].numbers);
    EXPECT_EQ("#000007", e[4].fill);
    std::vector<Polygon> polygons = e[3].polygons;
    polygons.insert(polygons.end(), e[5].polygons.begin(), e[5].polygons.end());
    ASSERT_EQ(3u, polygons.size());
    for (std::size_t i = 0; i < polygons.size(); ++i) {
      // The brush's square at both ends, [p - back, p - back + W), swept: a hexagon of those
      // corners, of area W^2 + W (|dx| + |dy|), turning the way the others turn.
      const auto& [p, q] = std::pair{ends[i][0], ends[i][1]};
      EXPECT_EQ(6u, polygons[i].size());
      for (const auto& [x, y] : polygons[i]) {
        const bool atP = (x == p.first - back || x == p.first - back + brush) &&
                         (y == p.second - back || y == p.second - back + brush);
        const bool atQ = (x == q.first - back || x == q.first - back + brush) &&
                         (y == q.second - back || y == q.second - back + brush);
        EXPECT_TRUE(atP || atQ) << x << "," << y;
      }
      const double swept =
          brush * brush + brush * (std::abs(q.first - p.first) + std::abs(q.second - p.second));
      EXPECT_NEAR(swept, doubleArea(polygons[i]) / 2, 1e-9);
      EXPECT_EQ("#000000", i == 0 ? e[3].fill : e[5].fill);
    }
  }
  // A long run of segments is cut into paths of 4096 polygons.
  TurtleCursor run = cursorWith(std::string(4097, 'a'));
  const auto runs = elementsOf(svgText(run, 600, 400, Style(true, 1)));
  ASSERT_EQ(6u, runs.size());
  EXPECT_EQ(4096u, runs[3].polygons.size());
  EXPECT_EQ(1u, runs[4].polygons.size());
}

TEST(Svg, WithoutSquaresTheBoxIsTheWindow) {
  TurtleCursor cursor(kGrammar, 300, 300);
  cursor.word = "+[x]-";
  for (const Style style : {Style{}, Style{true, 5}}) {
    const std::string svg = svgText(cursor, 320, 200, style);
    EXPECT_NE(std::string::npos, svg.find("viewBox=\"0 0 320 200\" width=\"320\" height=\"200\""));
    EXPECT_EQ(std::vector<Rect>{(Rect{0, 0, 320, 200, "#000000"})}, rectsOf(svg));
  }
}

}  // namespace
