// --svg: the word printed, the figure saved, and no window.
#include "svg_mode.h"

#include <string>

#include "report.h"
#include "save.h"

int runSvgMode(Session& session) {
  const Options& options = session.options;
  session.arbre.printWord();
  const std::string error =
      saveSvg(options.svgFile, session.arbre, options.width, options.height, figureStyle(options));
  return error.empty() ? kExitDone : failure(error);
}
