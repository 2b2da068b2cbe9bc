// --svg: the figure saved, the word printed, and no window.
#include "svg_mode.h"

#include <optional>
#include <string>

#include "output.h"
#include "report.h"
#include "save.h"

int runSvgMode(Session& session) {
  const Options& options = session.options;
  // The file first: a reader of the word that stops early ends the program (SIGPIPE) before
  // anything after the word could be done. The word is printed all the same after a failure.
  const std::string error =
      saveSvg(options.svgFile, session.cursor, options.width, options.height, figureStyle(options));
  if (!error.empty()) failure(error);
  session.cursor.printWord();
  // Read at once, while errno still tells why.
  const std::optional<std::string> lost = standardOutputError();
  if (lost) failure(*lost);
  return error.empty() && !lost ? kExitDone : kExitFailure;
}
