// Tests of the SVG writer: its exact form and its squares against the walk.
#include "svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

TEST(Svg, TheLineStyleInFull) {
  TurtleCursor cursor = cursorWith("FX[+F]fF");
  cursor.setSymbols("F", "X", "f");
  // The drawn points span 290..300 and 240..300; the box grows by 10 on every side.
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"280 230 31 81\" width=\"31\" "
      "height=\"81\" shape-rendering=\"crispEdges\">\n"
      "<rect x=\"280\" y=\"230\" width=\"31\" height=\"81\" fill=\"#000000\"/>\n";
  const std::string stroke =
      "\" fill=\"none\" stroke=\"#663300\" stroke-width=\"3\" stroke-linecap=\"square\"/>\n";
  EXPECT_EQ(head + "<path transform=\"translate(0.5 0.5)\" d=\"M300 300L299 280" + stroke +
                "<rect x=\"289\" y=\"270\" width=\"20\" height=\"20\" fill=\"#00ff00\"/>\n" +
                "<path transform=\"translate(0.5 0.5)\" d=\"M299 280L290 262M298 260L298 240" +
                stroke + "</svg>\n",
            svgText(cursor, 600, 400, Style{true, 3}));
  // An even brush's square is centred a pixel right of and below its pixel; a wide one grows
  // the box by its width.
  const std::string even = svgText(cursor, 600, 400, Style{true, 12});
  EXPECT_NE(std::string::npos, even.find("viewBox=\"278 228 35 85\""));
  EXPECT_NE(std::string::npos,
            even.find("<path transform=\"translate(1 1)\" d=\"M300 300L299 280\""));
  // A long run of segments is cut into paths of 4096 lines.
  TurtleCursor run = cursorWith(std::string(4097, 'a'));
  const std::string runs = svgText(run, 600, 400, Style{true, 1});
  std::size_t paths = 0;
  for (std::size_t at = 0; (at = runs.find("<path ", at)) != std::string::npos; ++at) ++paths;
  EXPECT_EQ(2u, paths);
  EXPECT_NE(std::string::npos, runs.find("\"/>\n<path transform=\"translate(0.5 0.5)\" d=\"M"));
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
