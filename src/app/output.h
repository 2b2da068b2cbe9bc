// Whether the words printed on standard output got there.
#pragma once

#include <optional>
#include <string>

// Standard output's failure, if a write or a flush of std::cout (which LSystem::printWord writes
// and flushes) or of stdout has failed: "cannot write to standard output: " and the reason, for
// a line on standard error. Call it right after printing, while errno still holds the reason.
std::optional<std::string> standardOutputError();
