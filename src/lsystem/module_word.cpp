// ModuleWord: pushing, slicing, replacing, comparing and writing modules with parameters.
#include "module_word.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "shortest.h"

void ModuleWord::push(char symbol, const double* params, uint32_t count) {
  if (values.size() + count > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("a word holds fewer than 2^32 parameters");
  }
  symbols.push_back(symbol);
  values.insert(values.end(), params, params + count);
  offsets.push_back(static_cast<uint32_t>(values.size()));
}

ModuleWord sliceModules(const std::string& symbols, const uint32_t* offsets, const double* values,
                        std::size_t begin, std::size_t end) {
  ModuleWord part;
  part.symbols = symbols.substr(begin, end - begin);
  part.values.assign(values + offsets[begin], values + offsets[end]);
  part.offsets.resize(end - begin + 1);
  for (std::size_t i = begin; i <= end; ++i) part.offsets[i - begin] = offsets[i] - offsets[begin];
  return part;
}

ModuleWord ModuleWord::slice(std::size_t begin, std::size_t end) const {
  return sliceModules(symbols, offsets.data(), values.data(), begin, end);
}

void ModuleWord::replace(std::size_t begin, std::size_t end, const ModuleWord& with) {
  if (begin > end || end > size()) throw std::out_of_range("ModuleWord::replace: bad range");
  const uint32_t valueBegin = offsets[begin];
  const uint32_t valueEnd = offsets[end];
  const uint64_t newValues = uint64_t{values.size()} - (valueEnd - valueBegin) + with.values.size();
  if (newValues > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("a word holds fewer than 2^32 parameters");
  }
  // Everything that may throw is done on copies first, so that a failure leaves the word whole.
  std::vector<uint32_t> newOffsets;
  newOffsets.reserve(offsets.size() - (end - begin) + with.size());
  newOffsets.assign(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(begin) + 1);
  for (std::size_t i = 1; i <= with.size(); ++i) newOffsets.push_back(valueBegin + with.offsets[i]);
  const auto shift = static_cast<uint32_t>(newOffsets.back() - valueEnd);  // wraps when shrinking
  for (std::size_t i = end + 1; i < offsets.size(); ++i) newOffsets.push_back(offsets[i] + shift);
  std::vector<double> newValuesList;
  newValuesList.reserve(static_cast<std::size_t>(newValues));
  newValuesList.assign(values.data(), values.data() + valueBegin);
  newValuesList.insert(newValuesList.end(), with.values.begin(), with.values.end());
  newValuesList.insert(newValuesList.end(), values.data() + valueEnd,
                       values.data() + values.size());
  std::string newSymbols = symbols.substr(0, begin) + with.symbols + symbols.substr(end);
  symbols = std::move(newSymbols);
  offsets = std::move(newOffsets);
  values = std::move(newValuesList);
}

bool ModuleWord::operator==(const ModuleWord& other) const {
  // Values compare by their bits, so that -0 differs from 0 and a NaN equals itself.
  return symbols == other.symbols && offsets == other.offsets &&
         values.size() == other.values.size() &&
         (values.empty() ||
          std::memcmp(values.data(), other.values.data(), values.size() * sizeof(double)) == 0);
}

void appendModules(std::string& out, const ModuleWord& word, std::size_t begin, std::size_t end) {
  appendModules(out, word.symbols, word.offsets.data(), word.values.data(), begin, end);
}

void appendModules(std::string& out, const std::string& symbols, const uint32_t* offsets,
                   const double* values, std::size_t begin, std::size_t end) {
  char digits[32];
  for (std::size_t i = begin; i < end; ++i) {
    out += symbols[i];
    const uint32_t count = offsets[i + 1] - offsets[i];
    if (count == 0) continue;
    const double* params = values + offsets[i];
    for (uint32_t p = 0; p < count; ++p) {
      out += p == 0 ? '(' : ',';
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
      out.append(digits, std::to_chars(digits, digits + sizeof digits, params[p]).ptr);
#else
      out.append(digits, writeShortest(digits, params[p]));
#endif
    }
    out += ')';
  }
}

std::string formatWord(const ModuleWord& word) {
  std::string out;
  appendModules(out, word, 0, word.size());
  return out;
}
