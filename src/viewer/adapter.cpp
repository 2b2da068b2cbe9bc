// The SDL side of both front ends: events, colours, the title, the frame and the lines said.
#include "adapter.h"

#include <cstdio>

#include "press.h"

void showTitle(const std::string& title) { SDL_WM_SetCaption(title.c_str(), title.c_str()); }

Palette mapPalette(const SDL_PixelFormat* format, const Colours& colours) {
  // SDL_MapRGB takes a non-const format but only reads it.
  auto* f = const_cast<SDL_PixelFormat*>(format);
  const auto map = [f](uint32_t rgb) {
    return SDL_MapRGB(f, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8),
                      static_cast<Uint8>(rgb));
  };
  Palette palette{};
  palette.segment = map(colours.segment);
  palette.selection = map(colours.selection());
  palette.bud = map(colours.bud);
  palette.background = map(colours.background);
  return palette;
}

namespace {

// A key's name as the table of keys has it: the named keys by their symbol; characters by the
// character typed where SDL reports it (the page's SDL does; the desktop's does not unless asked
// to), else by the key's own symbol.
std::string keyName(const SDL_keysym& keysym) {
  switch (keysym.sym) {
    case SDLK_LEFT:
      return "Left";
    case SDLK_RIGHT:
      return "Right";
    case SDLK_UP:
      return "Up";
    case SDLK_DOWN:
      return "Down";
    case SDLK_KP_PLUS:
      return "KP+";
    case SDLK_KP_MINUS:
      return "KP-";
    case SDLK_ESCAPE:
      return "Escape";
    default:
      break;
  }
  const auto unicode = static_cast<int>(keysym.unicode);
  const auto sym = static_cast<int>(keysym.sym);
  int typed = unicode > 0 && unicode < 128 ? unicode : sym >= 0 && sym < 128 ? sym : 0;
  // Shift with [ and ] is { and }, as most layouts have them, where the key's own symbol stands
  // for the character typed.
  if ((keysym.mod & KMOD_SHIFT) != 0 && (typed == '[' || typed == ']')) {
    typed += '{' - '[';
  }
  return typed > ' ' && typed < 127 ? std::string(1, static_cast<char>(typed)) : std::string();
}

}  // namespace

UserInput userInput(const SDL_Event& event) {
  UserInput input;
  switch (event.type) {
    case SDL_QUIT:
      input.type = UserInput::Type::kQuit;
      break;
    case SDL_KEYDOWN:
      input.type = UserInput::Type::kKey;
      input.key = keyName(event.key.keysym);
      break;
    case SDL_MOUSEMOTION:
      input.type = UserInput::Type::kMotion;
      input.x = event.motion.x;
      input.y = event.motion.y;
      input.dragging = (event.motion.state &
                        (SDL_BUTTON(SDL_BUTTON_MIDDLE) | SDL_BUTTON(SDL_BUTTON_RIGHT))) != 0;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      input.type = event.type == SDL_MOUSEBUTTONDOWN ? UserInput::Type::kButtonDown
                                                     : UserInput::Type::kButtonUp;
      input.button = event.button.button;
      break;
    case SDL_VIDEORESIZE:
      input.type = UserInput::Type::kResize;
      input.width = event.resize.w;
      input.height = event.resize.h;
      break;
    case SDL_VIDEOEXPOSE:
      input.type = UserInput::Type::kExpose;
      break;
    default:
      break;
  }
  return input;
}

void drawFrame(SDL_Surface* screen, Explorer& explorer, const Palette& palette) {
  if (SDL_LockSurface(screen) != 0) return;
  const auto paint = [&](auto pixel) {
    using Pixel = decltype(pixel);
    paintFrame(PixelBuffer<Pixel>{static_cast<Pixel*>(screen->pixels), screen->w, screen->h,
                                  screen->pitch / static_cast<int32_t>(sizeof(Pixel))},
               explorer, palette);
  };
  if (screen->format->BytesPerPixel == 4) {
    paint(uint32_t{});
  } else if (screen->format->BytesPerPixel == 1) {
    paint(uint8_t{});
  }
  SDL_UnlockSurface(screen);
}

void say(const std::string& line) { std::fprintf(stderr, "lsystem-viewer: %s\n", line.c_str()); }

int usageError(const std::string& message) {
  say(message);
  std::fputs("Try 'lsystem-viewer --help'.\n", stderr);
  return kExitUsage;
}

int failure(const std::string& message) {
  say(message);
  return kExitFailure;
}

int failure(const std::exception& error) { return failure(reasonOf(error)); }

std::optional<int> report(const Start& start) {
  std::fputs(start.output.c_str(), stdout);
  for (std::size_t i = 0; i < start.notes.size(); ++i) {
    const bool last = i + 1 == start.notes.size();
    last&& start.usage ? usageError(start.notes[i]) : failure(start.notes[i]);
  }
  if (!start.status) return std::nullopt;
  if (*start.status == kExitDone && std::fflush(stdout) != 0) return kExitFailure;
  return start.status;
}
