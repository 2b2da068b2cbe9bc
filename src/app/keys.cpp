// The keys of --explore, looked up by name and written as help.
#include "keys.h"

#include <algorithm>
#include <string_view>

Action actionOfKey(const std::string& name) {
  if (name.empty()) return Action::kNone;
  for (const KeyRow& row : kKeys) {
    for (std::string_view names = row.names; !names.empty();) {
      const std::size_t space = std::min(names.find(' '), names.size());
      if (names.substr(0, space) == name) return row.action;
      names.remove_prefix(std::min(space + 1, names.size()));
    }
  }
  return Action::kNone;
}

std::string keysHelp(std::size_t indent, std::size_t column, bool savesFiles) {
  std::string text;
  for (const KeyRow& row : kKeys) {
    if (*row.shown == '\0' || (row.action == Action::kSave && !savesFiles)) continue;
    std::string line = std::string(indent, ' ') + row.shown;
    line.resize(std::max(line.size() + 2, column), ' ');
    text += line + row.does + "\n";
  }
  return text;
}
