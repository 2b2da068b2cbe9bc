// Tests of the explorer's decisions: inputs, one after another, against the session they leave.
#include "explorer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frames.h"
#include "raster.h"
#include "start.h"
#include "words.h"

namespace {

using Type = UserInput::Type;

UserInput key(const std::string& name) {
  UserInput input;
  input.type = Type::kKey;
  input.key = name;
  return input;
}
std::vector<UserInput> keys(const std::string& names) {  // a key for each character
  std::vector<UserInput> inputs;
  for (const char name : names) inputs.push_back(key(std::string(1, name)));
  return inputs;
}
UserInput motion(int32_t x, int32_t y, bool dragging = false) {
  UserInput input;
  input.type = Type::kMotion;
  input.x = x;
  input.y = y;
  input.dragging = dragging;
  return input;
}
UserInput button(int32_t number) {
  UserInput input;
  input.type = Type::kButtonDown;
  input.button = number;
  return input;
}
UserInput finger(Type type, int32_t id, int32_t x, int32_t y) {
  UserInput input;
  input.type = type;
  input.finger = id;
  input.x = x;
  input.y = y;
  return input;
}
UserInput resize(int32_t width, int32_t height) {
  UserInput input;
  input.type = Type::kResize;
  input.width = width;
  input.height = height;
  return input;
}
UserInput typed(Type type) {
  UserInput input;
  input.type = type;
  return input;
}
UserInput draw() { return UserInput{}; }  // the row's frame is drawn here

// A frame of the explorer on pixels of its own.
void drawFrame(Explorer& explorer, const Palette& palette = Palette{1, 2, 3}) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(explorer.width() * explorer.height()));
  const PixelBuffer<uint32_t> buffer{pixels.data(), explorer.width(), explorer.height(),
                                     explorer.width()};
  FrontCanvas<uint32_t> canvas(buffer, explorer.redrawArea(palette));
  explorer.draw(palette, canvas);
}

struct Row {
  const char* what;
  bool explore;
  std::vector<UserInput> inputs;
  View view;          // after the inputs; with a scale of 0, the view that the start left
  std::size_t lines;  // words printed
  int32_t length;     // of the word after the inputs
  bool quit;
  std::string angle = "";              // the degrees' text after the inputs
  std::string message = "";            // the last line said
  std::vector<std::string> args = {};  // the start's command line, with explore's --fit
  bool playing = false;                // after the inputs
  std::size_t keptBytes = 0;           // the history's budget, if not its own
};

View zoomed(View view, bool in, double x, double y) {
  zoomView(view, in, x, y);
  return view;
}

Session started(std::vector<std::string> args, bool explore) {
  if (explore) args.insert(args.end(), {"--explore", "--fit"});
  return *startFromArguments(args, [](const auto&) {}).session;
}

}  // namespace

TEST(Explorer, DecidesWhatEachInputDoes) {
  TurtleCursor start = startCursor();
  const View fitted = fitView(Figure(start), 600, 400, Style());
  const View panned{fitted.s, fitted.tx + 600 / 8 - 5, fitted.ty - 400 / 8 + 7};
  const View small = fitView(Figure(start), 300, 200, Style());
  TurtleCursor grown = grownCursor(4);
  const View grownFit = fitView(Figure(grown), 600, 400, Style());
  // Fitted whole at 380 / 128000000, under the zoom's floor.
  const std::vector<std::string> tall = {"-g", "{a:aa;}a", "-s", "16000000"};
  const View floor = started(tall, true).view;
  const View overFloor{1.25 / 65536, 300 - (300 - floor.tx) * 1.25, 200 - (200 - floor.ty) * 1.25};
  const auto down = Type::kTouchDown;
  const auto move = Type::kTouchMove;
  const auto up = Type::kTouchUp;
  // Without a view, (230, 215) is on the bud at index 13, whose growth makes the word 66 symbols,
  // and (282, 188) on the segment at index 21, whose pruning makes it 49; after the growth a
  // segment stands at 13, whose pruning makes 57.
  // A row a line or two.
  // clang-format off
  const Row rows[] = {
      {"any key quits", false, {key("x")}, View{}, 0, 58, true},
      {"the wheel presses", false, {motion(230, 215), draw(), button(4)}, View{}, 1, 66, false},
      {"two presses in one drain act on the same index", false, {motion(230, 215), draw(),
       button(1), button(3)}, View{}, 2, 57, false},
      {"after a walk, a press acts again", false, {motion(282, 188), draw(), button(1),
       motion(230, 215), draw(), button(3)}, View{}, 2, 57, false},
      {"unknown keys do nothing", true, {key("x"), key(""), key("F1")}, fitted, 0, 58, false},
      {"arrows pan by an eighth", true, {key("Left"), key("Down")}, View{fitted.s, fitted.tx + 75,
       fitted.ty - 50}, 0, 58, false},
      {"+ zooms in about the centre", true, {key("+")}, zoomed(fitted, true, 300, 200), 0, 58,
       false},
      {"KP- zooms out about the centre", true, {key("KP-")}, zoomed(fitted, false, 300, 200), 0, 58,
       false},
      {"0 shows a pixel a pixel", true, {key("0")}, View{}, 0, 58, false},
      {"f fits again", true, {key("0"), key("f")}, fitted, 0, 58, false},
      {"a drag pans", true, {motion(10, 10), motion(5, 17, true), key("Left"), key("Down")}, panned,
       0, 58, false},
      {"the wheel zooms about the pointer", true, {motion(230, 215), button(4)},
       zoomed(fitted, true, 230, 215), 0, 58, false},
      {"an undo and a press in one frame", true, {key("0"), motion(230, 215), draw(), button(1),
       draw(), key("u"), button(1)}, View{}, 3, 58, false},
      {"a tap presses where it lands", true, {key("0"), finger(down, 7, 230, 215),
       finger(up, 7, 231, 216)}, View{}, 1, 66, false},
      {"one finger pans from where it came down", true, {finger(down, 1, 10, 10),
       finger(move, 1, 12, 11), finger(move, 1, 20, 15), finger(up, 1, 20, 15)},
       View{fitted.s, fitted.tx + 10, fitted.ty + 5}, 0, 58, false},
      {"two fingers apart by a quarter more zoom in a step", true, {finger(down, 1, 100, 200),
       finger(down, 2, 200, 200), finger(move, 2, 225, 200)}, zoomed(fitted, true, 162, 200), 0, 58,
       false},
      {"two fingers on one pixel do not zoom", true, {finger(down, 1, 100, 100),
       finger(down, 2, 100, 100), finger(move, 2, 101, 100)}, fitted, 0, 58, false},
      {"a resize before the first frame fits again", true, {resize(300, 200)}, small, 0, 58, false},
      {"q quits", true, {key("Escape")}, fitted, 0, 58, true},
      {"n grows the whole word and fits it, and u takes it back", true, {key("n"), draw(),
       key("u")}, grownFit, 2, 58, false},
      {"[ and ] turn the angle under the same word", true, {key("["), key("]"), key("]")}, fitted,
       0, 58, false, "29.64788975654116"},
      {"p plays the growth; a key stops it, the view put back", true, {key("p"), typed(Type::kTick),
       typed(Type::kTick), button(4)}, fitted, 0, 58, false},
      {"the growth plays in the view that fits its last generation",
       true, {key("n"), key("p"), typed(Type::kTick)}, fitted, 1, 122, false, "", "", {}, true},
      {"a fit under the zoom's floor stops there, and zooms in from it",
       true, {key("-"), key("+")}, overFloor, 0, 8, false, "", "", tall},
      {"keys that add up to nothing give back the angle given; { and } turn a tenth", true,
       keys(std::string(100, ']') + std::string(100, '[') + "}}{"), View{0, 0, 0}, 0, 58, false,
       "0.2", "", {"-a", "0.1"}},
      {"a press past the start's work budget is refused as its replay would be; u gives back", true,
       keys(std::string(33, 'n') + "unn"), View{0, 0, 0}, 36, 1, false, "",
       "press 33 of --presses would bring the start's work past 32 symbols, 32 times the word's "
       "limit",
       {"-g", "{a:b;b:a;}a", "-n", "0", "--max-symbols", "1"}},
      {"u after a growth too large to keep says why", true, {key("n"), key("u")}, grownFit, 1, 122,
       false, "",
       "the growth of the whole word cannot be taken back: it changed more than the 10 bytes that "
       "undo keeps",
       {}, false, 10},
      {"the growth ends by itself at the last generation", true, {key("p"), typed(Type::kTick),
       typed(Type::kTick), typed(Type::kTick), typed(Type::kTick)}, fitted, 0, 58, false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Session session = started(row.args, row.explore);
    const View view = row.view.s == 0 ? session.view : row.view;
    if (row.keptBytes != 0) session.history = PressHistory(row.keptBytes);
    Explorer explorer(session, 600, 400, false);
    std::size_t lines = 0;
    std::string said;
    for (const UserInput& input : row.inputs) {
      if (input.type == Type::kOther) {
        drawFrame(explorer);
        continue;
      }
      const Explorer::Reply reply = explorer.handle(input);
      lines += reply.word;
      if (!reply.message.empty()) said = reply.message;
      if (reply.resize) explorer.resized(reply.width, reply.height);
    }
    if (row.explore) {
      EXPECT_EQ(view.s, session.view.s);
      EXPECT_EQ(view.tx, session.view.tx);
      EXPECT_EQ(view.ty, session.view.ty);
    }
    EXPECT_EQ(row.lines, lines);
    EXPECT_EQ(row.length, session.cursor.wordLength());
    EXPECT_EQ(row.quit, explorer.quit());
    EXPECT_EQ(row.angle, session.angleText());
    EXPECT_EQ(row.message, said);
    EXPECT_EQ(row.playing, explorer.playing());
  }
}

TEST(Explorer, EveryFrameIsThePictureOfEveryShapeInWordOrder) {
  // Figures whose shapes pile up thick: squares, lines of a wide brush, the book's plant with its
  // buds, and 4,096 buds on one point; each seen fitted, 8 times closer about a point of it and
  // at a 64th of the fit, a few pixels across. After each input the frame on the explorer's own
  // pixels, painted where it changed, must be the picture of every shape drawn in word order:
  // the pointer moved over shapes, a press that changes the word, the pointer moved again.
  const std::vector<std::string> figures[] = {
      {"-n", "9"},
      {"-n", "8", "--lines", "--width", "4"},
      {"-g", "{X:F+[[X]-X]-F[-FX]+X;F:FF;}X", "--segments", "F", "--buds", "X", "-n", "5", "-a",
       "25", "--lines"},
      {"-g", "{o:oo;}o", "-n", "12"},
  };
  const Palette palette{1, 2, 3, 4};
  for (const std::vector<std::string>& args : figures) {
    for (const double zoom : {1.0, 8.0, 1.0 / 64}) {
      SCOPED_TRACE(args[1] + " at zoom " + std::to_string(zoom));
      Session session = started(args, true);
      View& view = session.view;
      view = {view.s * zoom, 300 - (300 - view.tx) * zoom, 200 - (200 - view.ty) * zoom};
      Explorer explorer(session, 600, 400, false);
      std::vector<uint32_t> pixels(600 * 400, 0);
      const PixelBuffer<uint32_t> buffer{pixels.data(), 600, 400, 600};
      // Pointers on the middle stroke and on the last one, where shapes are.
      std::vector<ScreenPoint> points;
      withPlacement(&view, figureStyle(session.options), [&](const auto& placement) {
        const std::vector<Stroke>& strokes = session.shownFigure().strokes();
        for (const std::size_t k : {strokes.size() / 2, strokes.size() - 1}) {
          const Shape shape = placement.place(strokes[k]);
          points.push_back({(shape.p0.x + shape.p1.x) / 2, (shape.p0.y + shape.p1.y) / 2});
        }
      });
      const std::vector<UserInput> inputs = {
          motion(static_cast<int32_t>(points[0].x), static_cast<int32_t>(points[0].y)),
          motion(static_cast<int32_t>(points[1].x), static_cast<int32_t>(points[1].y)),
          button(kButtonLeft), motion(300, 200), motion(static_cast<int32_t>(points[0].x), 0)};
      for (std::size_t step = 0; step <= inputs.size(); ++step) {
        if (step > 0) explorer.handle(inputs[step - 1]);
        FrontCanvas<uint32_t> canvas(buffer, explorer.redrawArea(palette));
        explorer.draw(palette, canvas);
        canvas.finish(palette.background);
        const Figure figure(session.cursor);
        std::vector<Fill> fills;
        withPlacement(&view, figureStyle(session.options), [&](const auto& placement) {
          fills = everyShape(figure, placement, palette, explorer.picked(), 600, 400);
        });
        ASSERT_TRUE(pictureOf(fills, 600, 400, palette.background) == pixels) << "step " << step;
      }
    }
  }
}
