// The SVG text that writeSvg makes of a cursor, for tests that compare against it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "figure.h"
#include "svg.h"
#include "turtle_cursor.h"

inline std::string svgText(TurtleCursor& cursor, int32_t width = 600, int32_t height = 400,
                           const Style& style = Style()) {
  cursor.exactBranches = style.lines;  // as the program's cursor is made for the style
  std::FILE* file = std::tmpfile();
  EXPECT_TRUE(writeSvg(file, Figure(cursor), width, height, style));
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  EXPECT_EQ(text.size(), std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}
