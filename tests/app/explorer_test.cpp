// Tests of the explorer's decisions: inputs, one after another, against the session they leave.
#include "explorer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cout_capture.h"
#include "words.h"

namespace {

using Type = UserInput::Type;

UserInput key(const std::string& name) { return UserInput{Type::kKey, 0, 0, 0, false, name}; }
UserInput motion(int32_t x, int32_t y, bool dragging = false) {
  return UserInput{Type::kMotion, x, y, 0, dragging, ""};
}
UserInput button(int32_t number) { return UserInput{Type::kButtonDown, 0, 0, number, false, ""}; }
UserInput draw() { return UserInput{}; }  // the row's frame is drawn here
UserInput tick() { return UserInput{Type::kTick, 0, 0, 0, false, ""}; }

struct Row {
  const char* what;
  bool explore;
  std::vector<UserInput> inputs;
  View view;          // after the inputs
  std::size_t lines;  // words printed
  int32_t length;     // of the word after the inputs
  bool quit;
  std::string angle = "";  // the degrees' text after the inputs
};

}  // namespace

TEST(Explorer, DecidesWhatEachInputDoes) {
  const View fitted = [] {
    TurtleCursor cursor = startCursor();
    return fitView(cursor, 600, 400);
  }();
  View zoomed = fitted;
  zoomView(zoomed, true, 230, 215);
  const View panned{fitted.s, fitted.tx + 600 / 8 - 5, fitted.ty - 400 / 8 + 7};
  // Without a view, (230, 215) is on the bud at index 13, whose growth makes the word 66 symbols,
  // and (282, 188) on the segment at index 21, whose pruning makes it 49.
  // clang-format off: a row a line or two
  const Row rows[] = {
      {"any key quits", false, {key("x")}, View{}, 0, 58, true},
      {"the wheel presses", false, {motion(230, 215), draw(), button(4)}, View{}, 1, 66, false},
      {"a second press before the walk", false,
       {motion(230, 215), draw(), button(1), button(1)}, View{}, 2, 66, false},
      {"after a walk, a press acts again", false,
       {motion(282, 188), draw(), button(1), motion(230, 215), draw(), button(3)}, View{}, 2, 57,
       false},
      {"unknown keys do nothing", true, {key("x"), key(""), key("F1")}, fitted, 0, 58, false},
      {"keys pan, zoom and fit", true,
       {key("Left"), key("Down"), key("+"), key("KP-"), key("0"), key("f")}, fitted, 0, 58, false},
      {"a drag pans", true, {motion(10, 10), motion(5, 17, true), key("Left"), key("Down")},
       panned, 0, 58, false},
      {"the wheel zooms about the pointer", true, {motion(230, 215), button(4)}, zoomed, 0, 58,
       false},
      {"an undo and a press in one frame", true,
       {key("0"), motion(230, 215), draw(), button(1), draw(), key("u"), button(1)}, View{}, 3,
       58, false},
      {"q quits", true, {key("Escape")}, fitted, 0, 58, true},
      {"n grows the whole word, and u takes it back", true, {key("n"), draw(), key("u")}, fitted,
       2, 58, false},
      {"[ and ] turn the angle under the same word", true, {key("["), key("]"), key("]")}, fitted,
       0, 58, false, "29.64788975654116"},
      {"p plays the growth; a key stops it, the view put back", true,
       {key("p"), tick(), tick(), button(4)}, fitted, 0, 58, false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Options options;
    options.explore = row.explore;
    options.fit = row.explore;  // the growth played is fitted, and the view put back after
    Session session{options, startCursor(), PressHistory(), fitted};
    Explorer explorer(session, 600, 400, false);
    CoutCapture out;
    for (const UserInput& input : row.inputs) {
      if (input.type == Type::kOther) {
        explorer.draw(Palette{1, 2, 3}, [](auto&&...) {});
      } else {
        explorer.handle(input);
      }
    }
    if (row.explore) {
      EXPECT_EQ(row.view.s, session.view.s);
      EXPECT_EQ(row.view.tx, session.view.tx);
      EXPECT_EQ(row.view.ty, session.view.ty);
    }
    EXPECT_EQ(row.lines, out.lines().size());
    EXPECT_EQ(row.length, session.cursor.wordLength());
    EXPECT_EQ(row.quit, explorer.quit());
    EXPECT_EQ(row.angle, session.options.angleText);
    EXPECT_FALSE(explorer.playing());
  }
}
