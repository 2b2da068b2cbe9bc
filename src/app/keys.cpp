// The keys of --explore, looked up by name and written as help.
#include "keys.h"

#include <algorithm>
#include <string_view>

namespace {

// The row that names the key, or nullptr.
const KeyRow* rowOfKey(const std::string& name) {
  if (name.empty()) return nullptr;
  for (const KeyRow& row : kKeys) {
    for (std::string_view names = row.names; !names.empty();) {
      const std::size_t space = std::min(names.find(' '), names.size());
      if (names.substr(0, space) == name) return &row;
      names.remove_prefix(std::min(space + 1, names.size()));
    }
  }
  return nullptr;
}

}  // namespace

Action actionOfKey(const std::string& name) {
  const KeyRow* row = rowOfKey(name);
  return row != nullptr ? row->action : Action::kNone;
}

std::string keyTitle(const std::string& name) {
  const KeyRow* row = rowOfKey(name);
  return row != nullptr ? std::string(row->title) + " (" + name + ")" : "";
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
