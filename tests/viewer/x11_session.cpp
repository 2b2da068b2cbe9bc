// Child processes, a private Xvfb server and window captures for the end-to-end test.
#include "x11_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>
#include <utility>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
  std::vector<std::string> merged;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& o : overrides) replaced = replaced || o.substr(0, o.find('=')) == name;
    if (!replaced) merged.push_back(entry);
  }
  merged.insert(merged.end(), overrides.begin(), overrides.end());
  return merged;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (std::string& s : strings) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

}  // namespace

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             bool pipeStdout, const std::string& dir, const std::string& errorFile) {
  // Everything the child needs is built before fork: after it, only async-signal-safe calls.
  std::vector<std::string> args = argv;
  std::vector<std::string> envStrings = mergedEnvironment(env);
  std::vector<char*> argp = pointers(args);
  std::vector<char*> envp = pointers(envStrings);
  int fds[2] = {-1, -1};
  if (pipeStdout && pipe2(fds, O_CLOEXEC) != 0) return;
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the parent died before prctl took effect
    if (pipeStdout) dup2(fds[1], STDOUT_FILENO);
    if (!dir.empty() && chdir(dir.c_str()) != 0) _exit(127);
    if (!errorFile.empty()) {
      const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (err < 0 || dup2(err, STDERR_FILENO) < 0) _exit(127);
    }
    execvpe(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  if (pipeStdout) {
    close(fds[1]);
    out_ = fds[0];
    if (pid_ < 0) {
      close(out_);
      out_ = -1;
    }
  }
}

Child::~Child() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  if (out_ >= 0) close(out_);
}

void Child::signal(int sig) const {
  if (pid_ > 0 && !status_) kill(pid_, sig);
}

bool Child::fill(Millis timeout) {
  if (out_ < 0 || eof_) return false;
  pollfd p{out_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  char chunk[4096];
  const ssize_t n = read(out_, chunk, sizeof chunk);
  if (n <= 0) {
    eof_ = true;
    return false;
  }
  buffer_.append(chunk, static_cast<size_t>(n));
  return true;
}

std::optional<std::string> Child::readLine(Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = buffer_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      return line;
    }
    if (!fill(Millis(remainingMs(deadline)))) {
      if (!eof_ || buffer_.empty()) return std::nullopt;
      return std::exchange(buffer_, std::string());
    }
  }
}

std::string Child::readRest(Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  while (fill(Millis(remainingMs(deadline)))) {
  }
  return std::exchange(buffer_, std::string());
}

std::optional<int> Child::wait(Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  while (pid_ > 0 && !status_) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
    } else if (Clock::now() >= deadline) {
      break;
    } else {
      std::this_thread::sleep_for(Millis(5));
    }
  }
  return status_;
}

ToolResult runTool(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   Millis timeout) {
  const auto deadline = Clock::now() + timeout;
  Child tool(argv, env, true);
  ToolResult result;
  result.out = tool.readRest(timeout);
  const std::optional<int> status = tool.wait(Millis(remainingMs(deadline)));
  if (status && WIFEXITED(*status)) result.exitCode = WEXITSTATUS(*status);
  return result;
}

namespace {

// A capture of a window that is not (yet) viewable fails with an X error; Xlib's default handler
// would end the test process, this one lets XGetImage return nothing.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The 8-bit channel of a pixel under a TrueColor mask such as 0xff0000.
uint8_t channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  return static_cast<uint8_t>((pixel & mask) >> __builtin_ctzl(mask));
}

}  // namespace

Capture captureWindow(const std::string& display, const std::string& window) {
  // Read in this process: no helper program to start, which on a loaded machine can take longer
  // than anything the viewer does.
  Capture capture;
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) {
    capture.error = "cannot open display " + display;
    return capture;
  }
  XSetErrorHandler(ignoreXError);
  const Window w = std::strtoul(window.c_str(), nullptr, 0);
  XWindowAttributes attributes{};
  XImage* image = nullptr;
  if (XGetWindowAttributes(x, w, &attributes) != 0) {
    image = XGetImage(x, w, 0, 0, static_cast<unsigned>(attributes.width),
                      static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  }
  if (image == nullptr) {
    capture.error = "no image of window " + window;
  } else {
    capture.width = image->width;
    capture.height = image->height;
    for (int py = 0; py < image->height; ++py) {
      for (int px = 0; px < image->width; ++px) {
        const unsigned long pixel = XGetPixel(image, px, py);
        capture.rgb.push_back(channel(pixel, image->red_mask));
        capture.rgb.push_back(channel(pixel, image->green_mask));
        capture.rgb.push_back(channel(pixel, image->blue_mask));
      }
    }
    XDestroyImage(image);
  }
  XCloseDisplay(x);
  return capture;
}

bool requestClose(const std::string& display, const std::string& window) {
  Display* x = XOpenDisplay(display.c_str());
  if (x == nullptr) return false;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = std::strtoul(window.c_str(), nullptr, 0);
  message.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  message.xclient.format = 32;
  message.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  message.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(x, message.xclient.window, False, NoEventMask, &message);
  XCloseDisplay(x);  // flushes the request
  return sent != 0;
}
