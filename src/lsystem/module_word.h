// ModuleWord: a word of modules, one byte each as the walk reads them, with their parameters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Module i is the byte symbols[i] with the parameters values[offsets[i], offsets[i + 1]).
// offsets has symbols.size() + 1 entries and starts at 0, so a word holds fewer than 2^32 values.
struct ModuleWord {
  std::string symbols;
  std::vector<uint32_t> offsets{0};
  std::vector<double> values;

  std::size_t size() const { return symbols.size(); }
  uint32_t parameterCount(std::size_t i) const { return offsets[i + 1] - offsets[i]; }
  const double* parameters(std::size_t i) const { return values.data() + offsets[i]; }
  // What the turtle reads: a step's length or a turn's angle, when the module has one.
  std::optional<double> firstParameter(std::size_t i) const {
    if (offsets[i + 1] == offsets[i]) return std::nullopt;
    return values[offsets[i]];
  }

  // Appends one module; count values are read from params.
  void push(char symbol, const double* params, uint32_t count);
  // Modules [begin, end) as a word of their own, as undo keeps them.
  ModuleWord slice(std::size_t begin, std::size_t end) const;
  // Modules [begin, end) removed, or replaced by the modules of with (which may be empty).
  void erase(std::size_t begin, std::size_t end) { replace(begin, end, ModuleWord()); }
  void replace(std::size_t begin, std::size_t end, const ModuleWord& with);

  bool operator==(const ModuleWord& other) const;
};

// Modules [begin, end) appended to out in the file's notation: each symbol, then for a module
// with parameters "(", the values in their shortest round-trip form joined by ",", and ")".
void appendModules(std::string& out, const ModuleWord& word, std::size_t begin, std::size_t end);
// The same from a word kept in parts, as an LSystem keeps a book's word: module i is symbols[i]
// with the values[offsets[i], offsets[i + 1]).
void appendModules(std::string& out, const std::string& symbols, const uint32_t* offsets,
                   const double* values, std::size_t begin, std::size_t end);
// Modules [begin, end) of a word kept in parts as a word of their own, as ModuleWord::slice.
ModuleWord sliceModules(const std::string& symbols, const uint32_t* offsets, const double* values,
                        std::size_t begin, std::size_t end);
// The whole word so written, as printed and saved: "F(1)[+A(0.6868131868131868)]".
std::string formatWord(const ModuleWord& word);
