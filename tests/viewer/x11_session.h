// Child processes, window captures and close requests for the end-to-end test.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Millis = std::chrono::milliseconds;

// A child process. It is killed and reaped when this object goes, and it dies with the test
// process, so no child outlives a failed assertion or a test killed on its time limit.
class Child {
 public:
  // Runs argv (argv[0] is looked up in PATH) with env ("NAME=value", replacing NAME) added to
  // this process's environment, in the folder dir and with standard error into the file
  // errorFile when those are given.
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool pipeStdout,
        const std::string& dir = "", const std::string& errorFile = "");
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  void signal(int sig) const;
  // The next line of standard output without its line end; nothing on timeout or end of file.
  // At end of file an unterminated last line is returned as it is.
  std::optional<std::string> readLine(Millis timeout);
  // All of standard output up to end of file; what came before the timeout if it does not end.
  std::string readRest(Millis timeout);
  // The waitpid status once the child has ended; nothing if it is still running at the timeout.
  std::optional<int> wait(Millis timeout);

 private:
  bool fill(Millis timeout);  // reads what is there into buffer_; false on timeout or end

  pid_t pid_ = -1;
  int out_ = -1;
  bool eof_ = false;
  std::string buffer_;
  std::optional<int> status_;
};

struct ToolResult {
  int exitCode = -1;  // -1 unless the tool exited by itself
  std::string out;
};

// Runs a short-lived tool to the end and collects its standard output; kills it at the timeout.
ToolResult runTool(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   Millis timeout);

// A window's pixels: 8-bit red, green, blue, row by row from the top-left corner.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  std::string error;  // why there are no pixels, if there are none
};

// Captures a window of a TrueColor screen; no pixels, and the reason, if that fails.
Capture captureWindow(const std::string& display, const std::string& window);

// Asks a window to close as a window manager does, with a WM_DELETE_WINDOW client message.
bool requestClose(const std::string& display, const std::string& window);
