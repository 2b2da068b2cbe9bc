// --svg: the word printed, the figure saved, and no window.
#include "svg_mode.h"

#include <optional>
#include <string>

#include "output.h"
#include "report.h"
#include "save.h"

int runSvgMode(Session& session) {
  const Options& options = session.options;
  session.cursor.printWord();
  // Read at once, while errno still tells why; the SVG is written all the same.
  const std::optional<std::string> lost = standardOutputError();
  if (lost) failure(*lost);
  const std::string error =
      saveSvg(options.svgFile, session.cursor, options.width, options.height, figureStyle(options));
  if (!error.empty()) return failure(error);
  return lost ? kExitFailure : kExitDone;
}
