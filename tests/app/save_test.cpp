// Tests of saving the figure, whole or not at all, and of the command line that draws it again.
#include "save.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "command_line.h"
#include "session.h"
#include "start.h"
#include "svg_text.h"
#include "words.h"

static int linkError = 0;  // when set, link() fails with it, as where a file system has no links

// The code under test calls this link(2), not the C library's.
extern "C" int link(const char* from, const char* to) noexcept {
  if (linkError == 0) return linkat(AT_FDCWD, from, AT_FDCWD, to, 0);
  errno = linkError;
  return -1;
}

namespace {

// The names in a folder, so that a test can tell that nothing was left behind.
std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Svg, SavingReplacesTheFileWholeOrNotAtAll) {
  const std::string folder = testing::TempDir() + "svg_test_save";
  ASSERT_EQ(0, std::system(("rm -rf '" + folder + "'").c_str()));
  mkdir(folder.c_str(), 0700);
  const std::string path = folder + "/figure.svg";
  TurtleCursor small = startCursor();
  EXPECT_EQ("", saveSvg(path, Figure(small), 600, 400));
  EXPECT_EQ(svgText(small), contentOf(path));
  std::ofstream(folder + "/n-1.svg") << "one";
  const auto names = namesIn(folder);

  // A file size limit makes the larger figure's write fail part way (EFBIG, not a signal), as a
  // full disk would; a numbered save then names the file it tried, not the one already there.
  TurtleCursor large = grownCursor(12);
  std::string name;
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  const struct rlimit limit { 64 * 1024, saved.rlim_max };
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
  const std::string error = saveSvg(path, Figure(large), 600, 400);
  const std::string numbered = saveNumberedSvg(folder + "/n-", Figure(large), 600, 400, name);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ("cannot write the SVG to '" + path + "': File too large", error);
  EXPECT_EQ("cannot write the SVG to '" + folder + "/n-2.svg': File too large", numbered);
  EXPECT_EQ(svgText(small), contentOf(path));
  EXPECT_EQ(names, namesIn(folder)) << "the temporary file was left behind";

  EXPECT_EQ("cannot write the SVG to '" + folder + "/none/figure.svg': No such file or directory",
            saveSvg(folder + "/none/figure.svg", Figure(small), 600, 400));
  ASSERT_EQ(0, chmod(path.c_str(), 07640));
  EXPECT_EQ("", saveSvg(path, Figure(large), 600, 400));
  EXPECT_EQ(svgText(large), contentOf(path));
  struct stat status {};
  ASSERT_EQ(0, stat(path.c_str(), &status));
  EXPECT_EQ(0640u, status.st_mode & 07777) << "set-ID or sticky bits were copied";

  // Links are followed and kept, each relative one from its own folder; a descriptor is written
  // at its offset; another user's file (root's figure.svg, saved as nobody) is refused.
  const int held = open((folder + "/held").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  const std::string svg = svgText(small), fd = std::to_string(held);
  EXPECT_TRUE(chmod(folder.c_str(), 0777) == 0 && mkdir((folder + "/sub").c_str(), 0777) == 0 &&
              symlink("new.svg", (folder + "/sub/hop.svg").c_str()) == 0);
  const std::tuple<const char*, std::string, std::string, const char*, std::string> rows[] = {
      {"link.svg", "sub/hop.svg", "", "sub/new.svg", svg},  // made through two links
      {"old.svg", "figure.svg", "", "figure.svg", svg},     // replaced through one
      {"loop.svg", "loop.svg", "Too many levels of symbolic links", "", ""},
      {"fd.svg", "/proc/self/fd/" + fd, "", "held", svg},
      {"devfd.svg", "/dev/fd/" + fd, "", "held", svg + svg},
      {"figure.svg", "", "Permission denied", "figure.svg", svg}};
  for (const auto& [base, link, refusal, file, content] : rows) {
    const std::string at = folder + "/" + base;
    const bool asNobody = link.empty();
    if (asNobody && (geteuid() != 0 || setegid(65534) != 0 || seteuid(65534) != 0)) {
      std::printf("%s not tried: only root can save as another user\n", base);
      continue;
    }
    ASSERT_TRUE(asNobody || symlink(link.c_str(), at.c_str()) == 0);
    const std::string message = saveSvg(at, Figure(small), 600, 400);
    EXPECT_TRUE(!asNobody || (seteuid(0) == 0 && setegid(0) == 0));
    EXPECT_EQ(refusal.empty() ? "" : "cannot write the SVG to '" + at + "': " + refusal, message);
    EXPECT_TRUE(asNobody || (lstat(at.c_str(), &status) == 0 && S_ISLNK(status.st_mode))) << at;
    EXPECT_EQ(content, *file ? contentOf(folder + "/" + file) : "") << base;
  }
  close(held);

  // A pipe whose reader waits already, with room for the figure, and a null device of the
  // test's own, so that a fault replaces only that, else /dev/null, which only root could replace.
  const std::string pipe = folder + "/pipe";
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_EQ("", saveSvg(pipe, Figure(small), 600, 400));
  std::string read(65536, '\0');
  read.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(reader, read.data(), 65536))));
  close(reader);
  EXPECT_EQ(svgText(small), read);
  std::string device = folder + "/null";
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    if (geteuid() == 0) GTEST_SKIP() << "no device node can be made for root to write to";
    device = "/dev/null";
  }
  EXPECT_EQ("", saveSvg(device, Figure(small), 600, 400));
  EXPECT_TRUE(stat(pipe.c_str(), &status) == 0 && S_ISFIFO(status.st_mode)) << "pipe replaced";
  EXPECT_TRUE(stat(device.c_str(), &status) == 0 && S_ISCHR(status.st_mode)) << "node replaced";
  EXPECT_EQ(names.size() + (device == "/dev/null" ? 8 : 9), namesIn(folder).size());
  EXPECT_EQ(4u, namesIn(folder + "/sub").size());
}

// The session that the start makes of these arguments.
std::optional<Session> startWith(const std::vector<std::string>& args) {
  Start start = startFromArguments(args, [](const auto&) {});
  EXPECT_EQ(std::nullopt, start.status);
  return std::move(start.session);
}

TEST(Svg, ANumberedSaveTakesTheFirstFreeNameAndReplacesNothing) {
  const std::string folder = testing::TempDir() + "save_test_numbered";
  for (const std::string& name : namesIn(folder)) std::remove((folder + "/" + name).c_str());
  mkdir(folder.c_str(), 0700);
  const std::string prefix = folder + "/lsystem-viewer-";
  std::ofstream(prefix + "1.svg") << "one";
  std::ofstream(prefix + "2.svg") << "two";
  TurtleCursor cursor = startCursor();
  std::string name;
  EXPECT_EQ("", saveNumberedSvg(prefix, Figure(cursor), 600, 400, name));
  EXPECT_EQ(prefix + "3.svg", name);
  EXPECT_EQ(svgText(cursor), contentOf(name));
  EXPECT_EQ("one", contentOf(prefix + "1.svg"));
  EXPECT_EQ("two", contentOf(prefix + "2.svg"));
  const std::vector<std::string> names = {".", "..", "lsystem-viewer-1.svg", "lsystem-viewer-2.svg",
                                          "lsystem-viewer-3.svg"};
  EXPECT_EQ(names, namesIn(folder)) << "a temporary file was left behind";
  EXPECT_EQ("cannot write the SVG to '" + folder + "/none/x-1.svg': No such file or directory",
            saveNumberedSvg(folder + "/none/x-", Figure(cursor), 600, 400, name));

  // The session's save goes to the current folder and says how to draw the figure again.
  std::optional<Session> session = startWith({"-n", "4", "--size", "640x480"});
  ASSERT_TRUE(session.has_value());
  char* const previous = getcwd(nullptr, 0);
  ASSERT_EQ(0, chdir(folder.c_str()));
  const std::string line = saveNumbered(*session);
  ASSERT_EQ(0, chdir(previous));
  EXPECT_EQ(
      "saved lsystem-viewer-4.svg; draw it again with: lsystem-viewer -n 4 "
      "--size 640x480",
      line);
  EXPECT_EQ(svgText(session->cursor, 640, 480), contentOf(prefix + "4.svg"));

  linkError = EPERM;  // no links: an exclusive create takes the first free name
  EXPECT_EQ("", saveNumberedSvg(prefix, Figure(cursor), 600, 400, name));
  linkError = 0;
  EXPECT_EQ(svgText(cursor), contentOf(prefix + "5.svg"));
  EXPECT_EQ(7u, namesIn(folder).size()) << "a temporary file was left behind";

  // Past 64 KiB, or with a NUL byte, the grammar goes into a file beside the SVG, read with -f.
  ASSERT_EQ(0, chdir(folder.c_str()));
  int number = 6;
  for (const std::string& grammar :
       {std::string(65537, 'x') + "\r", std::string("{o:a\0o;}o\r\n", 12)}) {
    session->options.grammar = grammar;
    const std::string file = "lsystem-viewer-" + std::to_string(number++);
    EXPECT_EQ("saved " + file + ".svg and " + file +
                  ".grammar; draw it again with: lsystem-viewer -f " + file +
                  ".grammar -n 4 --size 640x480",
              saveNumbered(*session));
    Options back = parseOptions({"-f", file + ".grammar"}).options;
    EXPECT_EQ("", readGrammarFile(back));
    EXPECT_EQ(grammar, back.grammar);
  }
  // A book's word goes into a file in the book's notation, its axiom the word: its command line
  // draws the same word and figure, without generations or presses.
  session = startWith({"--book", LSV_SOURCE_DIR "/data/book/tree.lsys", "--buds", "A", "-n", "2",
                       "--presses", "8,g"});
  ASSERT_TRUE(session.has_value());
  EXPECT_EQ(
      "saved lsystem-viewer-8.svg and lsystem-viewer-8.lsys; draw it again with: lsystem-viewer "
      "--book lsystem-viewer-8.lsys -a 28 --buds A",
      saveNumbered(*session));
  const std::optional<Session> again =
      startWith({"--book", "lsystem-viewer-8.lsys", "--buds", "A"});
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(session->cursor.printedWord(), again->cursor.printedWord());
  TurtleCursor drawn = again->cursor;
  EXPECT_EQ(contentOf("lsystem-viewer-8.svg"),
            svgText(drawn, 600, 400, figureStyle(again->options)));
  ASSERT_EQ(0, chdir(previous));
  std::free(previous);
}

TEST(CommandLine, TheShellReadsBackEveryArgumentAndTheOptionsAgain) {
  const std::vector<std::string> rows[] = {
      {"-g", R"({o:a[+ao]-ao; it's:$HOME \ `x` "y";}{z:{};}ao)", "-n", "2", "-a", "22.5", "-s", "9",
       "--origin", "-10,20", "--size", "640x480", "--stochastic", "7", "--fit", "--explore",
       "--presses", "9,1"},
      {"-g", "{X:F[+X]fX;}X", "-n", "2", "--origin", "0,0", "--heading", "-90.0", "--segments", "F",
       "--buds", "X", "--moves", "f'\"$`", "--lines", "--width", "3"},
      {"-g", "", "-n", "0", "--buds", ""},
      {"-g", "'", "-n", "0"},
      {"-g", "''\\'\t*?~#&;|<>()!%", "-n", "0"},
  };
  const std::string script = testing::TempDir() + "save_test_arguments.sh";
  for (const std::vector<std::string>& args : rows) {
    SCOPED_TRACE(args[1]);
    std::optional<Session> session = startWith(args);
    ASSERT_TRUE(session.has_value());
    std::ofstream(script) << "set -- " << commandLine(*session)
                          << "\nfor a; do printf '%s\\n' \"$a\"; done\n";
    std::FILE* shell = popen(("sh " + script).c_str(), "r");
    ASSERT_NE(nullptr, shell);
    std::string printed;
    for (int c; (c = std::fgetc(shell)) != EOF;) printed += static_cast<char>(c);
    EXPECT_EQ(0, pclose(shell));
    std::string expected = "lsystem-viewer\n";
    for (const std::string& arg : args) expected += arg + "\n";
    EXPECT_EQ(expected, printed);

    // Read as options again, those arguments give the session's.
    const Options again = parseOptions(args).options;
    const auto fields = [](const Options& o) {
      return std::tie(o.grammar, o.generations, o.angle, o.angleText, o.step, o.originX, o.originY,
                      o.heading, o.headingText, o.segments, o.buds, o.moves, o.width, o.height,
                      o.seed, o.fit, o.explore, o.lines, o.lineWidth);
    };
    EXPECT_EQ(fields(session->options), fields(again));
    EXPECT_EQ(session->history.presses(), again.presses);
  }
}

}  // namespace
