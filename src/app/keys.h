// The inputs of --explore: one table of the keys and buttons and what each does, from which the
// explorer decides and --help and the page's hint are written.
#pragma once

#include <string>

// What an input asks of --explore.
enum class Action {
  kNone,
  kPress,
  kZoomAtPointer,
  kPan,
  kPanLeft,
  kPanRight,
  kPanUp,
  kPanDown,
  kZoomIn,
  kZoomOut,
  kOneToOne,
  kFit,
  kUndo,
  kSave,
  kGrowWhole,
  kAngleDown,
  kAngleUp,
  kAngleTenthDown,
  kAngleTenthUp,
  kPlay,
  kQuit,
};

struct KeyRow {
  const char* names;  // the keys' names, as the front ends give them, separated by spaces
  Action action;
  const char* shown;  // how the help names the input; empty: the row before's line says it
  const char* does;   // what it does, as the help says it
  const char* title;  // what it does, as a button's title says it
};

// Key names: a character typed ("f", "+"), or "Left", "Right", "Up", "Down", "Escape", "KP+"
// and "KP-" (the keypad's plus and minus). The rows without names are the pointer's.
constexpr KeyRow kKeys[] = {
    {"", Action::kPress, "left button", "grow at a red bud or prune at a red segment", ""},
    {"", Action::kZoomAtPointer, "wheel", "zoom in or out by a quarter about the pointer", ""},
    {"", Action::kPan, "right or middle drag", "pan", ""},
    {"Left", Action::kPanLeft, "arrows", "pan by an eighth of the window", "Pan left"},
    {"Right", Action::kPanRight, "", "", "Pan right"},
    {"Up", Action::kPanUp, "", "", "Pan up"},
    {"Down", Action::kPanDown, "", "", "Pan down"},
    {"+ = KP+", Action::kZoomIn, "+ or =, -", "zoom in, out about the window's centre", "Zoom in"},
    {"- KP-", Action::kZoomOut, "", "", "Zoom out"},
    {"0", Action::kOneToOne, "0", "one screen pixel a pixel", "One screen pixel a pixel"},
    {"f F", Action::kFit, "f", "fit the whole figure", "Fit the whole figure"},
    {"u U", Action::kUndo, "u", "take back the newest press that changed the word",
     "Take back the newest press"},
    {"s S", Action::kSave, "s", "save as lsystem-viewer-N.svg and print its command", ""},
    {"n N", Action::kGrowWhole, "n", "grow the whole word one generation",
     "Grow the whole word one generation"},
    {"[", Action::kAngleDown, "[, ]", "turn the angle one degree less, more",
     "The angle one degree less"},
    {"]", Action::kAngleUp, "", "", "The angle one degree more"},
    {"{", Action::kAngleTenthDown, "{, }", "turn the angle a tenth of a degree less, more",
     "The angle a tenth of a degree less"},
    {"}", Action::kAngleTenthUp, "", "", "The angle a tenth of a degree more"},
    {"p P", Action::kPlay, "p", "play the growth; any key, press or wheel stops",
     "Play the growth from the axiom"},
    {"q Q Escape", Action::kQuit, "q, Escape", "quit; every other key is ignored", "Quit"},
};

// The action of a key by its name; kNone for a key that does nothing.
Action actionOfKey(const std::string& name);

// A button's title for the key of that name: what it does, then the key in parentheses, as
// "Zoom in (+)"; empty for a key that does nothing.
std::string keyTitle(const std::string& name);

// The table as lines of text, each input's label padded to `column`, then what it does; without
// saving where s saves no file.
std::string keysHelp(std::size_t indent, std::size_t column, bool savesFiles = true);
