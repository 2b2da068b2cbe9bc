// Saving the figure as SVG: written whole beside its place, then renamed there.
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

}  // namespace

std::string saveSvg(const std::string& path, TurtleCursor& arbre, int32_t width, int32_t height) {
  // A hidden name beside path: the rename stays within one file system.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + base + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return failure(path, errno);

  // The new file gets the mode of the one it replaces, or that of a newly created file.
  struct stat existing {};
  mode_t mode;
  if (stat(path.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  int error = 0;
  if (fchmod(fd, mode) != 0) error = errno;
  std::FILE* file = error == 0 ? fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    if (error == 0) error = errno;
    close(fd);
  } else {
    errno = 0;
    if (!writeSvg(file, arbre, width, height) || std::fflush(file) != 0 || fsync(fd) != 0) {
      error = errno != 0 ? errno : EIO;
    }
    if (std::fclose(file) != 0 && error == 0) error = errno;
  }
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temporary.c_str());
    return failure(path, error);
  }
  return "";
}
