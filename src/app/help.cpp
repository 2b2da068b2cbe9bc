// The text of --help, from the table of options and the table of keys, and the line of --version.
#include <algorithm>
#include <cstring>
#include <string>

#include "keys.h"
#include "option_table.h"
#include "options.h"

#ifndef LSV_VERSION
#error "LSV_VERSION must give the project's version"
#endif

using options_table::kOptions;
using options_table::kProgram;
using options_table::OptionInfo;

std::string helpText() {
  std::string text =
      "Usage: lsystem-viewer [OPTION]...\n"
      "Grow a bracketed L-system from its grammar and draw it with a turtle in a\n"
      "window. Only 'a', a segment, and 'o', a bud, are drawn (--segments and --buds\n"
      "choose other bytes): a small brown square and a green one, or with --lines a\n"
      "line and a square centred on its point. '+' and '-' turn, '[' and ']' open\n"
      "and close a branch, '_' and '|' shorten and lengthen the step; other letters\n"
      "serve as variables. --book reads an L-system in the book's notation instead:\n"
      "modules with parameters, conditions, contexts and weights.\n"
      "The square under the pointer turns red; a mouse press grows the figure at a red\n"
      "bud or prunes the branch at a red segment. Every word is printed on standard\n"
      "output. Any key, or closing the window, quits.\n"
      "\n";
  for (const OptionInfo& o : kOptions) {
    std::string left = o.code < 256 ? std::string("  -") + static_cast<char>(o.code) + ", --"
                                    : std::string("      --");
    left += o.name;
    if (o.value != nullptr) left += std::string("=") + o.value;
    const char* help = o.help;
    for (bool first = true; *help != '\0'; first = false) {
      const char* end = std::strchr(help, '\n');
      const std::size_t length =
          end != nullptr ? static_cast<std::size_t>(end - help) : std::strlen(help);
      std::string line = first ? left : "";
      line.resize(std::max<std::size_t>(line.size() + 2, 27), ' ');
      text += line + std::string(help, length) + "\n";
      help += length + (end != nullptr ? 1 : 0);
    }
  }
  text += "\nWith --explore:\n" + keysHelp(2, 24);
  text +=
      "\n"
      "Exit status: 0 when done, 1 on a failure at run time (no window, the SVG not\n"
      "written, the word over its limit or out of memory, a press of --presses on\n"
      "nothing, a parameter of --book that is not finite), 2 on a bad command line\n"
      "or a bad file of --book.\n"
      "\n"
      "Examples:\n"
      "  lsystem-viewer -g '{o:a[-ao][+ao]ao;}o' -n 4 -a 22.5 -s 9 --origin 300,390\n"
      "  lsystem-viewer -n 6 --svg tree.svg\n"
      "  lsystem-viewer -g '{a:a+a--a+a;}a--a--a' -n 4 -a 60 --fit --explore\n"
      "  lsystem-viewer -g '{X:F+[[X]-X]-F[-FX]+X;F:FF;}X' --segments F --buds X \\\n"
      "    -n 6 -a 25 --lines --fit\n"
      "  lsystem-viewer --book tree.lsys --buds A --fit --explore\n";
  return text;
}

std::string versionText() { return std::string(kProgram) + " " + LSV_VERSION + "\n"; }
