// Saving the figure as SVG: written whole beside its place, then renamed or linked there, or
// written straight into what is not a file.
#include "save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "options.h"
#include "svg.h"

namespace {

// Writes a file's contents into an open stream; false on a failure, errno telling why.
using Contents = std::function<bool(std::FILE*)>;

constexpr int kMaxLinks = 40;  // followed one after another, as the kernel follows them

std::string failure(const char* what, const std::string& path, int error) {
  return std::string("cannot write ") + what + " to " + quote(path) + ": " + std::strerror(error);
}

// The mode of a newly created file, as the umask makes it.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The contents written into the open descriptor fd, which it closes, and with sync on the disk
// too. The error, or 0.
int writeInto(int fd, const Contents& contents, bool sync) {
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    return error;
  }
  int error = 0;
  errno = 0;
  if (!contents(file) || std::fflush(file) != 0 || (sync && fsync(fd) != 0)) {
    error = errno != 0 ? errno : EIO;
  }
  if (std::fclose(file) != 0 && error == 0) error = errno;
  return error;
}

// The contents written at an open descriptor's own offset, through a copy of it, so that what
// is written there next follows them. The error, or 0.
int writeIntoDescriptor(int descriptor, const Contents& contents) {
  const int flags = fcntl(descriptor, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return EBADF;
  const int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  return fd < 0 ? errno : writeInto(fd, contents, false);
}

// The contents written whole, with the given mode, into a new hidden file in path's folder, so
// that a rename or a link to path stays within one file system. Gives the file's name, or an
// empty name and the error.
std::string writeBeside(const std::string& path, const Contents& contents, mode_t mode,
                        int& error) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + base + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    error = errno;
    return "";
  }
  if (fchmod(fd, mode) != 0) {
    error = errno;
    close(fd);
  } else {
    error = writeInto(fd, contents, true);
  }
  if (error != 0) {
    unlink(temporary.c_str());
    return "";
  }
  return temporary;
}

// N when path is /proc/self/fd/N or /dev/fd/N, INT_MAX for a number past any descriptor, else -1.
int descriptorNamed(const std::string& path) {
  for (const char* prefix : {"/proc/self/fd/", "/dev/fd/"}) {
    const std::size_t length = std::strlen(prefix);
    if (path.compare(0, length, prefix) != 0 || path.size() == length || path[length] < '0' ||
        path[length] > '9') {
      continue;
    }
    int descriptor = 0;
    const auto [end, error] =
        std::from_chars(path.data() + length, path.data() + path.size(), descriptor);
    if (end == path.data() + path.size()) return error == std::errc() ? descriptor : INT_MAX;
  }
  return -1;
}

// Follows the symbolic links that path ends in, each relative one from the folder of the link
// that holds it, up to the file they name (which may not exist), or up to /proc/self/fd/N or
// /dev/fd/N: descriptor is then N, whose file is written through it (the kernel's link there
// names no path for a pipe, and a file's path would lose the descriptor's offset). The error, or 0.
int follow(std::string& path, int& descriptor) {
  for (int links = 0;; ++links) {
    descriptor = descriptorNamed(path);
    struct stat status {};
    if (descriptor >= 0 || lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      return 0;
    }
    if (links == kMaxLinks) return ELOOP;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return errno;
    if (static_cast<std::size_t>(length) == target.size()) return ENAMETOOLONG;
    target.resize(static_cast<std::size_t>(length));
    if (target.empty() || target[0] != '/') target.insert(0, path.substr(0, path.rfind('/') + 1));
    path = target;
  }
}

// The figure as the contents of a file.
Contents svgContents(const Figure& figure, int32_t width, int32_t height, const Style& style) {
  return [&figure, width, height, style](std::FILE* file) {
    return writeSvg(file, figure, width, height, style);
  };
}

// Whether the file is the one that standard output writes.
bool isStandardOutput(const struct stat& file) {
  struct stat out {};
  return fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == file.st_dev && out.st_ino == file.st_ino;
}

// Errors of a file system that cannot make a second name for a file.
bool linkUnsupported(int error) {
  for (const int unsupported : {EPERM, ENOTSUP, EOPNOTSUPP, ENOSYS, EXDEV}) {
    if (error == unsupported) return true;
  }
  return false;
}

// One file of a numbered save.
struct Part {
  const char* what;  // as a message names it
  const char* suffix;
  Contents contents;
  std::string temporary = "";  // the contents written whole beside the names, or empty
};

// The part made at name, never over a file: a link to its temporary file, or where the file
// system makes none (canLink turns false), an exclusive create. The error, EEXIST for a name
// taken, or 0.
int place(const Part& part, const std::string& name, bool& canLink) {
  if (canLink) {
    if (link(part.temporary.c_str(), name.c_str()) == 0) return 0;
    if (!linkUnsupported(errno)) return errno;
    canLink = false;
  }
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  const int error = writeInto(fd, part.contents, true);
  if (error != 0) unlink(name.c_str());
  return error;
}

// The parts made as prefix N suffix, N the smallest number from 1 whose names are all free at
// the moment each is made; number is N, or the number tried on a failure. The error message.
std::string saveNumbered(const std::string& prefix, std::vector<Part>& parts, int& number) {
  const auto nameOf = [&prefix](int n, const Part& part) {
    return prefix + std::to_string(n) + part.suffix;
  };
  const auto taken = [&](int n) {
    struct stat status {};
    for (const Part& part : parts) {
      if (lstat(nameOf(n, part).c_str(), &status) == 0) return true;
    }
    return false;
  };
  for (number = 1; taken(number);) ++number;
  int error = 0;
  const Part* failed = nullptr;
  for (Part& part : parts) {
    part.temporary = writeBeside(nameOf(number, part), part.contents, newFileMode(), error);
    if (error != 0) {
      failed = &part;
      break;
    }
  }
  bool canLink = true;
  for (; failed == nullptr; ++number) {
    std::size_t made = 0;
    while (made < parts.size() &&
           (error = place(parts[made], nameOf(number, parts[made]), canLink)) == 0) {
      ++made;
    }
    if (made == parts.size()) break;
    // The names made for this number are taken back: the next is tried if a name was taken.
    for (std::size_t i = 0; i < made; ++i) unlink(nameOf(number, parts[i]).c_str());
    if (error != EEXIST) failed = &parts[made];
  }
  for (const Part& part : parts) {
    if (!part.temporary.empty()) unlink(part.temporary.c_str());
  }
  return failed == nullptr ? "" : failure(failed->what, nameOf(number, *failed), error);
}

}  // namespace

std::string saveSvg(const std::string& path, const Figure& figure, int32_t width, int32_t height,
                    const Style& style) {
  const Contents svg = svgContents(figure, width, height, style);
  std::string target = path;
  int descriptor = -1;
  int error = follow(target, descriptor);
  // The new file gets the permissions of the one it replaces, or those of a newly created file:
  // never its set-user-ID, set-group-ID or sticky bits.
  mode_t mode = newFileMode();
  if (error == 0 && descriptor < 0) {
    // Opened for writing but not cut, so that what the shell's ">" refuses is refused: a file
    // that the user may not write, a file system mounted read-only, a running program.
    const int fd = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0) {
      if (errno != ENOENT) return failure("the SVG", path, errno);
    } else if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      // A device or a pipe is written into, never replaced (a folder refuses to open).
      error = writeInto(fd, svg, false);
      return error == 0 ? "" : failure("the SVG", path, error);
    } else {
      close(fd);
      mode = opened.st_mode & 0777;
      // Replaced, the file that standard output writes would keep the word, printed after the
      // figure, in the old file that no name leads to: the figure goes in at standard output's
      // offset instead, and the word after it.
      if (isStandardOutput(opened)) descriptor = STDOUT_FILENO;
    }
  }
  if (error == 0 && descriptor >= 0) {
    error = writeIntoDescriptor(descriptor, svg);
  } else if (error == 0) {
    const std::string temporary = writeBeside(target, svg, mode, error);
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) {
      error = errno;
      unlink(temporary.c_str());
    }
  }
  return error == 0 ? "" : failure("the SVG", path, error);
}

std::string saveNumberedSvg(const std::string& prefix, const Figure& figure, int32_t width,
                            int32_t height, std::string& name, const Style& style,
                            const std::string* grammar, const std::string* book) {
  std::vector<Part> parts;
  if (book != nullptr) {
    parts.push_back({"the L-system", ".lsys", [book](std::FILE* file) {
                       return std::fwrite(book->data(), 1, book->size(), file) == book->size();
                     }});
  }
  if (grammar != nullptr) {
    // -f drops one final "\n", or "\r\n", which a grammar's own final "\r" would join.
    const char* lineEnd = !grammar->empty() && grammar->back() == '\r' ? "\r\n" : "\n";
    parts.push_back({"the grammar", ".grammar", [grammar, lineEnd](std::FILE* file) {
                       return std::fwrite(grammar->data(), 1, grammar->size(), file) ==
                                  grammar->size() &&
                              std::fputs(lineEnd, file) >= 0;
                     }});
  }
  parts.push_back({"the SVG", ".svg", svgContents(figure, width, height, style)});
  int number = 0;
  const std::string error = saveNumbered(prefix, parts, number);
  name = prefix + std::to_string(number) + ".svg";
  return error;
}
