// Collects what is written to std::cout while it lives, and counts the flushes that reach it.
#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

class CoutCapture : public std::stringbuf {
 public:
  CoutCapture() : saved_(std::cout.rdbuf(this)) {}
  ~CoutCapture() override { std::cout.rdbuf(saved_); }
  CoutCapture(const CoutCapture&) = delete;
  CoutCapture& operator=(const CoutCapture&) = delete;

  // The text written so far, cut into lines; a last line without its line end is kept.
  std::vector<std::string> lines() const {
    std::vector<std::string> result;
    std::istringstream in(str());
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }

  int flushes = 0;

 protected:
  int sync() override {
    ++flushes;
    return 0;
  }

 private:
  std::streambuf* saved_;
};
