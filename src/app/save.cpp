// Saving the figure as SVG: written whole beside its place, then renamed or linked there.
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

// The figure written whole, with the given mode, into a new hidden file in path's folder, so
// that a rename or a link to path stays within one file system. Gives the file's name, or an
// empty name and the error.
std::string writeBeside(const std::string& path, TurtleCursor& arbre, int32_t width, int32_t height,
                        const Style& style, mode_t mode, int& error) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temporary = folder + "." + base + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    error = errno;
    return "";
  }
  error = 0;
  if (fchmod(fd, mode) != 0) error = errno;
  std::FILE* file = error == 0 ? fdopen(fd, "wb") : nullptr;
  if (file == nullptr) {
    if (error == 0) error = errno;
    close(fd);
  } else {
    errno = 0;
    if (!writeSvg(file, arbre, width, height, style) || std::fflush(file) != 0 || fsync(fd) != 0) {
      error = errno != 0 ? errno : EIO;
    }
    if (std::fclose(file) != 0 && error == 0) error = errno;
  }
  if (error != 0) {
    unlink(temporary.c_str());
    return "";
  }
  return temporary;
}

}  // namespace

std::string saveSvg(const std::string& path, TurtleCursor& arbre, int32_t width, int32_t height,
                    const Style& style) {
  // The new file gets the mode of the one it replaces, or that of a newly created file.
  struct stat existing {};
  const mode_t mode = stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : newFileMode();
  int error = 0;
  const std::string temporary = writeBeside(path, arbre, width, height, style, mode, error);
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
    unlink(temporary.c_str());
  }
  return error == 0 ? "" : failure(path, error);
}

std::string saveNumberedSvg(const std::string& prefix, TurtleCursor& arbre, int32_t width,
                            int32_t height, std::string& name, const Style& style) {
  int error = 0;
  const std::string temporary =
      writeBeside(prefix + "1.svg", arbre, width, height, style, newFileMode(), error);
  if (error != 0) return failure(prefix + "1.svg", error);
  // A link is made only where no file is, even one that appeared a moment ago.
  for (int number = 1; error == 0; ++number) {
    name = prefix + std::to_string(number) + ".svg";
    if (link(temporary.c_str(), name.c_str()) == 0) break;
    if (errno != EEXIST) error = errno;
  }
  unlink(temporary.c_str());
  return error == 0 ? "" : failure(name, error);
}
