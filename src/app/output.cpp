// Standard output's failures: a lost word is reported, never taken for success.
#include "output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

std::optional<std::string> standardOutputError() {
  const int error = errno;  // the failed write's, when nothing has run since
  if (std::cout.good() && std::ferror(stdout) == 0) return std::nullopt;
  std::string message = "cannot write to standard output";
  if (error != 0) message += std::string(": ") + std::strerror(error);
  return message;
}
