// Saving the figure as SVG: written whole beside its place, then renamed or linked there, or
// written straight into what is not a file.
#include "save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "options.h"
#include "svg.h"

namespace {

std::string failure(const std::string& path, int error) {
  return "cannot write the SVG to " + quote(path) + ": " + std::strerror(error);
}

// The mode of a newly created file, as the umask makes it.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The figure written into the open descriptor fd, which it closes, and with sync on the disk
// too. The error, or 0.
int writeInto(int fd, const Figure& figure, int32_t width, int32_t height, const Style& style,
              bool sync) {
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    return error;
  }
  int error = 0;
  errno = 0;
  if (!writeSvg(file, figure, width, height, style) || std::fflush(file) != 0 ||
      (sync && fsync(fd) != 0)) {
    error = errno != 0 ? errno : EIO;
  }
  if (std::fclose(file) != 0 && error == 0) error = errno;
  return error;
}

// The figure written whole, with the given mode, into a new hidden file in path's folder, so
// that a rename or a link to path stays within one file system. Gives the file's name, or an
// empty name and the error.
std::string writeBeside(const std::string& path, const Figure& figure, int32_t width,
                        int32_t height, const Style& style, mode_t mode, int& error) {
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
    error = writeInto(fd, figure, width, height, style, true);
  }
  if (error != 0) {
    unlink(temporary.c_str());
    return "";
  }
  return temporary;
}

// Errors of a file system that cannot make a second name for a file.
bool linkUnsupported(int error) {
  for (const int unsupported : {EPERM, ENOTSUP, EOPNOTSUPP, ENOSYS, EXDEV}) {
    if (error == unsupported) return true;
  }
  return false;
}

}  // namespace

std::string saveSvg(const std::string& path, const Figure& figure, int32_t width, int32_t height,
                    const Style& style) {
  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    // A device or a pipe is written into, never replaced (a folder refuses to open). Should a
    // file have taken its place since, it is closed untouched and replaced as any file is.
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failure(path, errno);
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      const int error = writeInto(fd, figure, width, height, style, false);
      return error == 0 ? "" : failure(path, error);
    }
    close(fd);
    existing = opened;
  }
  // The new file gets the permissions of the one it replaces, or those of a newly created file:
  // never its set-user-ID, set-group-ID or sticky bits.
  const mode_t mode = exists ? existing.st_mode & 0777 : newFileMode();
  int error = 0;
  const std::string temporary = writeBeside(path, figure, width, height, style, mode, error);
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
    unlink(temporary.c_str());
  }
  return error == 0 ? "" : failure(path, error);
}

std::string saveNumberedSvg(const std::string& prefix, const Figure& figure, int32_t width,
                            int32_t height, std::string& name, const Style& style) {
  int error = 0;
  const std::string temporary =
      writeBeside(prefix + "1.svg", figure, width, height, style, newFileMode(), error);
  if (error != 0) return failure(prefix + "1.svg", error);
  // A link, or where the file system makes none an exclusive create, is made only where no file
  // is, even one that appeared a moment ago.
  bool canLink = true;
  for (int number = 1;; ++number) {
    name = prefix + std::to_string(number) + ".svg";
    if (canLink) {
      if (link(temporary.c_str(), name.c_str()) == 0) break;
      if (errno == EEXIST) continue;
      if (!linkUnsupported(errno)) {
        error = errno;
        break;
      }
      canLink = false;
    }
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      error = writeInto(fd, figure, width, height, style, true);
      if (error != 0) unlink(name.c_str());
      break;
    }
    if (errno != EEXIST) {
      error = errno;
      break;
    }
  }
  unlink(temporary.c_str());
  return error == 0 ? "" : failure(name, error);
}
