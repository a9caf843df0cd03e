// Runs the tool as a real process on files made in a temporary folder and
// checks its standard output, standard error and exit status.
//
// PLMN_COMMAND is how to start the tool: its path, after an emulator's
// words where the tool is built for another system. With PLMN_WINDOWS the
// tool is plmn.exe, run under Wine: its lines end in CR LF and the runtime
// expands wildcards in its arguments.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "test_util.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

#ifdef PLMN_WINDOWS
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// The tool is built with AddressSanitizer, as this test is.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

const std::vector<std::string> kCommand = {PLMN_COMMAND};
// The tool runs under an emulator: Wine or qemu.
const bool kEmulated = kCommand.size() > 1;

// A test that a platform cannot run skips itself in a line of its own, with
// `if (kWindows)`, `if (kEmulated)` or `if (kSanitized)` and GTEST_SKIP()
// followed by the reason as one string: the build of that platform puts it
// into the test's name.

// `text` with its line ends as the tool writes them: CR LF on Windows.
std::string lines(const std::string& text) {
  if (!kWindows) return text;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

const std::string kUsage =
    "As the first argument, provide the filename\n"
    "of a text file, containing the PLMN definitions.\n";

// The locale a run is given unless a test says otherwise: one whose
// terminal takes UTF-8.
const std::vector<std::string> kUtf8Locale = {"LC_ALL=C.UTF-8"};

// Where standard output goes: a file, read afterwards; /dev/full; nowhere,
// the descriptor closed; a pipe whose reader has gone; a pseudo-terminal,
// read as the program writes to it.
enum class Stdout { kCaptured, kDevFull, kClosed, kReaderGone, kTerminal };

struct Result {
  int status = -1;
  std::string out, err;
};

class Cli : public testing::Test {
 protected:
  // Runs `command` with `args`, in the folder `cwd` if one is given, with
  // the locale variables `locale` in place of the test's own.
  Result run(const std::vector<std::string>& args, Stdout out = Stdout::kCaptured,
             const std::vector<std::string>& command = kCommand, const fs::path& cwd = {},
             const std::vector<std::string>& locale = kUtf8Locale) {
    std::vector<std::string> words = command;
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables = locale;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      std::string_view name(*variable, std::strcspn(*variable, "="));
      if (name != "LC_ALL" && name != "LC_CTYPE" && name != "LANG") variables.push_back(*variable);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    fs::path out_path = dir_ / "stdout", err_path = dir_ / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipe_ends[2] = {-1, -1};
    int terminal = -1, shown = -1;  // a pseudo-terminal's two sides
    if (out == Stdout::kTerminal) {
      terminal = posix_openpt(O_RDWR | O_NOCTTY);
      EXPECT_GE(terminal, 0);
      // The test's side alone: the program, and what Wine starts with it,
      // must not inherit it.
      fcntl(terminal, F_SETFD, FD_CLOEXEC);
      EXPECT_EQ(grantpt(terminal) | unlockpt(terminal), 0);
      shown = open(ptsname(terminal), O_RDWR | O_NOCTTY);
      EXPECT_GE(shown, 0);
      // Raw, so that the bytes come through as written: no LF made CR LF.
      termios mode{};
      tcgetattr(shown, &mode);
      cfmakeraw(&mode);
      tcsetattr(shown, TCSANOW, &mode);
      posix_spawn_file_actions_adddup2(&actions, shown, 1);
      posix_spawn_file_actions_addclose(&actions, shown);
    } else if (out == Stdout::kClosed) {
      posix_spawn_file_actions_addclose(&actions, 1);
    } else if (out == Stdout::kReaderGone) {
      EXPECT_EQ(pipe(pipe_ends), 0);
      close(pipe_ends[0]);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
      posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
    } else {
      const char* target = out == Stdout::kDevFull ? "/dev/full" : out_path.c_str();
      posix_spawn_file_actions_addopen(&actions, 1, target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    // SIGPIPE as a shell leaves it, whatever the test runner did with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t sigpipe;
    sigemptyset(&sigpipe);
    sigaddset(&sigpipe, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &sigpipe);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    Result result;
    pid_t pid;
    int error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (pipe_ends[1] >= 0) close(pipe_ends[1]);
    if (shown >= 0) close(shown);
    EXPECT_EQ(error, 0) << "cannot start " << argv[0];
    if (error != 0) return result;
    if (terminal >= 0) {
      // Until the program has closed its side: then reading fails (EIO).
      char block[4096];
      for (ssize_t n; (n = read(terminal, block, sizeof block)) > 0;) result.out.append(block, n);
      close(terminal);
    }
    int status;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (out == Stdout::kCaptured) result.out = read_file(out_path);
    result.err = read_file(err_path);
    // Notes of wine-run (cmake/wine-run.in) that Wine failed to start the
    // program and it ran it again come first: the test's output shows them.
    while (kWindows && result.err.rfind("wine-run: ", 0) == 0) {
      size_t end = std::min(result.err.find('\n'), result.err.size() - 1) + 1;
      std::cerr << result.err.substr(0, end);
      result.err.erase(0, end);
    }
    return result;
  }

  temp_folder folder_;
  const fs::path dir_ = folder_.path();
};

const std::string kList =
    "\xEF\xBB\xBF"
    "13F2540080FFFFFF00001332540080\r\n"
    "42F6184000ffffff0000\r\n"
    "135F420080130014C080\r\n";
// In order of the keys: 246814000, 310410C080, 312450080, 3124530080.
const std::string kListing =
    "246:81:4000\n"
    "310:410:C080\n"
    "31:245:0080\n"  // the same key as 13F2540080, filed later
    "312:453:0080\n";

TEST_F(Cli, ListsTheNetworks) {
  // 10,000 networks, in the order of their keys: a listing of more than the
  // 64 KiB that the output buffers, which is written in several blocks.
  std::string many, many_listing;
  for (int i = 0; i < 10'000; ++i) {
    std::string d = std::to_string(10'000 + i);  // "1" and four digits
    many += {d[1], '1', '0', d[2], d[4], d[3], '0', '0', '8', '0'};
    many_listing += {'1', d[1], d[2], ':', d[3], d[4], '0', ':', '0', '0', '8', '0', '\n'};
  }
  for (const auto& [list, listing] : {std::pair{kList, kListing}, {many, many_listing}}) {
    Result r = run({folder_.file("list.txt", list).string()});
    EXPECT_EQ(r.out, lines(listing));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
  }
}

TEST_F(Cli, ReadsAFileOfMoreThan2GiB) {
  // Sparse: a line of 2 GiB of zero bytes takes no room on the disk. A
  // 32-bit build needs 64-bit file offsets to query, open and read it.
  const fs::path path = dir_ / "large.txt";
  const std::string tail = "\n13F2540080\n";
  const off_t zeros = off_t{1} << 31;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  bool made = ftruncate(fd, zeros) == 0 && pwrite(fd, tail.data(), tail.size(), zeros) > 0;
  struct stat status {};
  fstat(fd, &status);
  close(fd);
  if (!made || status.st_blocks * 512 > (off_t{1} << 20)) {
    GTEST_SKIP() << "this file system makes no sparse file of 2 GiB";
  }
  Result r = run({path.string()});
  // The zero bytes are entries of their own, whose key sorts first.
  EXPECT_EQ(r.out, lines(std::string("\0\0\0:\0\0\0:\0\0\0\0\n", 13) + "312:45:0080\n"));
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, ExampleGivesItsListing) {
  const fs::path examples = fs::path(PLMN_SOURCE_DIR) / "examples";
  Result r = run({(examples / "oplmnwact.txt").string()});
  EXPECT_EQ(r.out, lines(read_file(examples / "oplmnwact.listing")));
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, SameListingWhateverTheLineEndsAndEncoding) {
  std::string lf = kList;
  for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
  EXPECT_EQ(run({folder_.file("lf.txt", lf).string()}).out, lines(kListing));
  // Saved as UTF-16, with its byte-order mark, as Windows tools save text:
  // kList is ASCII after its UTF-8 mark.
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char c : kList.substr(3)) {
    le += {c, '\0'};
    be += {'\0', c};
  }
  EXPECT_EQ(run({folder_.file("utf16le.txt", le).string()}).out, lines(kListing));
  EXPECT_EQ(run({folder_.file("utf16be.txt", be).string()}).out, lines(kListing));
}

TEST_F(Cli, OnlyTheCrBeforeTheLfEndsTheLine) {
  // Read in text mode on Windows, this file would lose both of its CRs.
  Result r = run({folder_.file("crcrlf.txt", "13F254008\r\r\n").string()});
  EXPECT_EQ(r.out, lines("312:45:008\r\n"));
}

TEST_F(Cli, ExtraArgumentsAreIgnored) {
  Result r = run({folder_.file("list.txt", kList).string(), "extra", (dir_ / "missing").string()});
  EXPECT_EQ(r.out, lines(kListing));
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, EmptyFilesListNothing) {
  for (const std::string& contents : {std::string(), std::string("FFFFFF0000\r\nffffff4000\n")}) {
    Result r = run({folder_.file("empty.txt", contents).string()});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
  }
}

TEST_F(Cli, FailuresWriteAMessageAndTheUsage) {
  const std::string missing = (dir_ / "missing.txt").string();
  const std::string folder = dir_.string();
  const std::string list = folder_.file("list.txt", kList).string();
  auto not_found = [](const std::string& path) {
    return "Failed to stat " + path + " .\n" + kUsage;
  };
  auto folder_named = [](const std::string& path) {
    return path + " exists, but is not a regular file.\n" + kUsage;
  };
  // A backslash separates the names of a path on Windows only; Wine shows
  // the root of the Linux file system as the drive Z:.
  std::string windows_folder = "Z:" + folder + "\\";
  std::replace(windows_folder.begin(), windows_folder.end(), '/', '\\');
  auto on_windows = [&](const std::string& path) {
    return kWindows ? folder_named(path) : not_found(path);
  };
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {"no argument", {}, kUsage},
      {"missing path", {missing}, not_found(missing)},
      {"empty argument", {""}, not_found("")},
      {"directory", {folder}, folder_named(folder)},
      {"directory with a trailing /", {folder + "/"}, folder_named(folder + "/")},
      {"directory with trailing //", {folder + "//"}, folder_named(folder + "//")},
      {"directory with a trailing \\", {folder + "\\"}, on_windows(folder + "\\")},
      {"directory by drive, with a trailing \\", {windows_folder}, on_windows(windows_folder)},
      {"root of a drive", {"Z:\\"}, on_windows("Z:\\")},
      {"root of a drive, with \\\\", {"Z:\\\\"}, on_windows("Z:\\\\")},
      {"root of a drive, with //", {"Z://"}, on_windows("Z://")},
      {"root of the drive C:, with \\\\", {"C:\\\\"}, on_windows("C:\\\\")},
      {"file with a trailing /", {list + "/"}, not_found(list + "/")},
      {"file with a trailing \\", {list + "\\"}, not_found(list + "\\")},
  };
  for (const Case& c : cases) {
    Result r = run(c.args);
    EXPECT_EQ(r.out, lines(c.out)) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(r.status, 1) << c.name;
  }
}

TEST_F(Cli, DeviceIsNotARegularFile) {
  if (kWindows) GTEST_SKIP() << "it shows Windows programs no devices such as /dev/null";
  Result r = run({"/dev/null"});
  EXPECT_EQ(r.out, "/dev/null exists, but is not a regular file.\n" + kUsage);
  EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, UnreadableFile) {
  fs::path path = folder_.file("secret.txt", kList);
  fs::permissions(path, fs::perms::none);
  std::vector<std::string> command = kCommand;
  if (geteuid() == 0) {
    // Root reads any file, so run the tool as nobody. The copy of the tool
    // and the folder must be reachable for that user.
    if (kWindows) GTEST_SKIP() << "if root, who reads any file, since Wine runs only as its owner";
    if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is needed to drop root";
    fs::copy_file(kCommand.back(), dir_ / "plmn");
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    command.insert(command.end(), kCommand.begin(), kCommand.end() - 1);  // the emulator
    command.push_back((dir_ / "plmn").string());
  }
  Result r = run({path.string()}, Stdout::kCaptured, command);
  EXPECT_EQ(r.out, lines("Failed to open " + path.string() + " .\n" + kUsage));
  EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, ReadErrorIsAFailure) {
  // A regular file whose first read fails.
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  // Under Wine it is the Wine server that opens the file, so the memory is
  // the server's own; that has made the server itself fail now and then.
  if (kWindows) GTEST_SKIP() << "there /proc/self/mem is the memory of Wine's server";
  Result r = run({"/proc/self/mem"});
  EXPECT_EQ(r.out, lines("Failed to read /proc/self/mem .\n"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, OutOfMemoryIsAFailure) {
  if (kSanitized) GTEST_SKIP() << "it reserves more address space than the limit allows";
  if (kEmulated) GTEST_SKIP() << "the emulator itself needs more address space than the limit";
  if (access("/usr/bin/prlimit", X_OK) != 0) GTEST_SKIP() << "prlimit is needed to set the limit";
  // Three million networks on one line: their table needs more than the 32 MiB
  // of address space the tool gets.
  std::string line;
  for (int i = 0; i < 3'000'000; ++i) line += std::to_string(9'000'000'000 + i);
  const std::string path = folder_.file("distinct.txt", line).string();
  std::vector<std::string> command = {"/usr/bin/prlimit", "--as=33554432"};
  command.insert(command.end(), kCommand.begin(), kCommand.end());
  Result r = run({path}, Stdout::kCaptured, command);
  EXPECT_EQ(r.out, "Out of memory while reading " + path + " .\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

// Under Wine too: standard output is the descriptor it was given, and
// writing to it fails the same way.
TEST_F(Cli, WriteErrorIsAFailure) {
  const std::string list = folder_.file("list.txt", kList).string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    Stdout out;
  };
  const Case cases[] = {
      {"listing to a full disk", {list}, Stdout::kDevFull},
      {"listing to a closed descriptor", {list}, Stdout::kClosed},
      {"usage to a full disk", {}, Stdout::kDevFull},
      {"listing to a pipe whose reader has gone", {list}, Stdout::kReaderGone},
  };
  for (const Case& c : cases) {
    Result r = run(c.args, c.out);
    if (c.out == Stdout::kReaderGone) {
      // Windows has no SIGPIPE: the tool says why it failed. Elsewhere
      // SIGPIPE ends it, as it ends any filter whose reader has gone.
      EXPECT_EQ(r.status, kWindows ? 1 : 128 + SIGPIPE) << c.name;
      EXPECT_EQ(r.err, kWindows ? lines("plmn: cannot write standard output: Broken pipe\n") : "")
          << c.name;
      continue;
    }
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.err.rfind("plmn: cannot write standard output: ", 0), 0u)
        << c.name << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.name << ": one line";
    EXPECT_EQ(r.err.find(lines("\n")), r.err.size() - lines("\n").size()) << c.name;
  }
}

// What a program writes to its console as Wine shows it on a terminal,
// without what Wine adds: it hides the cursor while it writes, and its line
// ends are CR CR LF.
std::string as_shown_by_wine(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 6, "\x1B[?25l") == 0 || text.compare(i, 6, "\x1B[?25h") == 0) {
      i += 6;
    } else if (text.compare(i, 2, "\r\r") == 0) {
      i += 1;
    } else {
      shown += text[i++];
    }
  }
  return shown;
}

// What the tool writes from the file or the path shows on a terminal that
// takes UTF-8 with "?" for each character that is not printable and each
// byte that is not UTF-8, and goes through a pipe as it stands. Under Wine
// the terminal is the Windows program's console.
TEST_F(Cli, ATerminalIsNeverDrivenByTheFile) {
  const std::string escape = (dir_ / "\x1B]0;x\x07.txt").string();
  const std::string latin = (dir_ / "\u0142ista.txt").string();  // łista, missing
  struct Case {
    const char* name;
    std::string file;  // the file's contents, or, with `path`, nothing
    std::string path;  // a path to name, where the case is about one
    std::string piped, shown;
  };
  // 10,000 networks of 11-byte lines that end in "-€", the € 3 bytes: the
  // 64 KiB block that the tool writes at a time ends after the first two
  // bytes of the € of line 5958, which must come out whole on a console.
  std::string long_list, long_listing;
  for (int i = 0; i < 10'000; ++i) {
    std::string d = std::to_string(10'000 + i);  // "1" and four digits
    long_list += {d[2], d[1], 'F', 'F', d[4], d[3]};
    long_list += "-\xE2\x82\xAC";
    long_listing += {d[1], d[2], ':', d[3], d[4], ':'};
    long_listing += "-\xE2\x82\xAC\n";
  }
  const Case cases[] = {
      {"ESC ] retitles the window", "13F254\x1B]0;pwned\x07\n", "", "312:45:\x1B]0;\n",
       "312:45:?]0;\n"},
      {"ESC [2J clears the screen", "\x1B[2J13F254\n", "", "[\x1BJ:312:F254\n", "[?J:312:F254\n"},
      {"CR sends the cursor back", "13F2540\r80\n", "", "312:45:0\r80\n", "312:45:0?80\n"},
      {"NUL, DEL and BS", std::string("13F254\0\x7F\b0\n", 11), "",
       std::string("312:45:\0\x7F\b0\n", 12), "312:45:???0\n"},
      {"a C1 control in UTF-8 (CSI)", "13F2540\xC2\x9BJ\n", "", "312:45:0\xC2\x9BJ\n",
       "312:45:0?J\n"},
      {"bytes that are not UTF-8", "13F254\x80\xFF\xC0\xAF\n", "", "312:45:\x80\xFF\xC0\xAF\n",
       "312:45:????\n"},
      {"a surrogate in UTF-8", "13F254\xED\xA0\x80\x41\n", "", "312:45:\xED\xA0\x80\x41\n",
       "312:45:???A\n"},
      {"printable UTF-8 stays", "13F254\xC3\xA9\xC2\xA0\n", "", "312:45:\xC3\xA9\xC2\xA0\n",
       "312:45:\xC3\xA9\xC2\xA0\n"},
      {"an \u00E9 cut in two by the swap",
       "\xC3\xA9"
       "F2540080\n",
       "",
       "\xA9\xC3"
       "2:45:0080\n",
       "??2:45:0080\n"},
      {"printable UTF-8 across the blocks written", long_list, "", long_listing, long_listing},
      {"a path with ESC and BEL", "", escape, "Failed to stat " + escape + " .\n" + kUsage,
       "Failed to stat " + (dir_ / "?]0;x?.txt").string() + " .\n" + kUsage},
      {"a path in printable UTF-8", "", latin, "Failed to stat " + latin + " .\n" + kUsage,
       "Failed to stat " + latin + " .\n" + kUsage},
  };
  for (const Case& c : cases) {
    std::string path = c.path.empty() ? folder_.file("hostile.txt", c.file).string() : c.path;
    Result piped = run({path});
    EXPECT_EQ(piped.out, lines(c.piped)) << c.name;
    Result shown = run({path}, Stdout::kTerminal);
    if (kWindows) shown.out = as_shown_by_wine(shown.out);
    EXPECT_EQ(shown.out, lines(c.shown)) << c.name;
    EXPECT_EQ(shown.status, piped.status) << c.name;
    EXPECT_EQ(shown.err, "") << c.name;
  }
}

// A terminal takes what the locale's character set says: UTF-8, or else
// ASCII alone, where the bytes 80 to 9F are C1 controls (C4 9B is CSI
// there) and each byte outside 20 to 7E shows as "?". A pipe gets every byte
// in every locale. A Windows console takes characters whatever the locale.
TEST_F(Cli, WhatATerminalIsShownFollowsTheLocale) {
  // Networks whose access technology ends in ě2J, a right-to-left override
  // and éé, and a missing path with ĝ and Ŝ.
  const std::string list = folder_
                               .file("locale.txt",
                                     "13F254\xC4\x9B"
                                     "2J13F264\u202E"
                                     "113F274\u00E9\u00E9\n")
                               .string();
  const std::string listing =
      "312:45:\xC4\x9B"
      "2J\n312:46:\u202E"
      "1\n312:47:\u00E9\u00E9\n";
  const std::string utf8_listing =
      "312:45:\xC4\x9B"
      "2J\n312:46:?1\n312:47:\u00E9\u00E9\n";
  const std::string ascii_listing = "312:45:??2J\n312:46:???1\n312:47:????\n";
  const std::string path = (dir_ / "\u011D0;x\u015C.txt").string();
  auto failed = [](const std::string& path) { return "Failed to stat " + path + " .\n" + kUsage; };
  const std::string utf8_failed = failed(path);
  const std::string ascii_failed = failed((dir_ / "??0;x??.txt").string());
  struct Case {
    const char* name;
    std::vector<std::string> locale;
    bool utf8;
  };
  const Case cases[] = {
      {"LC_ALL names UTF-8", {"LC_ALL=C.UTF-8", "LANG=C"}, true},
      {"LANG names utf8, in lower case", {"LANG=de_DE.utf8"}, true},
      {"no locale", {}, false},
      {"an empty LC_ALL, LC_CTYPE names KOI8-R",
       {"LC_ALL=", "LC_CTYPE=ru_RU.KOI8-R", "LANG=en_US.UTF-8"},
       false},
  };
  for (const Case& c : cases) {
    bool utf8 = c.utf8 || kWindows;
    Result piped = run({list}, Stdout::kCaptured, kCommand, {}, c.locale);
    EXPECT_EQ(piped.out, lines(listing)) << c.name;
    Result shown = run({list}, Stdout::kTerminal, kCommand, {}, c.locale);
    if (kWindows) shown.out = as_shown_by_wine(shown.out);
    EXPECT_EQ(shown.out, lines(utf8 ? utf8_listing : ascii_listing)) << c.name;
    EXPECT_EQ(shown.status, 0) << c.name;
    EXPECT_EQ(run({path}, Stdout::kCaptured, kCommand, {}, c.locale).out, lines(utf8_failed))
        << c.name;
    shown = run({path}, Stdout::kTerminal, kCommand, {}, c.locale);
    if (kWindows) shown.out = as_shown_by_wine(shown.out);
    EXPECT_EQ(shown.out, lines(utf8 ? utf8_failed : ascii_failed)) << c.name;
    EXPECT_EQ(shown.status, 1) << c.name;
  }
}

TEST_F(Cli, FileNamesAndWildcards) {
  // Made in an order unlike that of their names: Windows and Wine both list a
  // folder's names sorted, so a.txt is the first match of *.txt. Names
  // beyond ASCII must name their own file on Windows too, where a narrow
  // argument would turn łista.txt into lista.txt.
  const fs::path lists = dir_ / "lists";
  fs::create_directory(lists);
  write_file(lists / "c.txt", "1332540080\n");
  write_file(lists / "a.txt", "13F2540080\n");
  write_file(lists / "b.txt", "42F6184000\n");
  write_file(lists / "one.lst", "130014C080\n");
  write_file(lists / "lista.lst", "13F2540080\n");
  write_file(lists / "\u0142ista.lst", "42F6184000\n");          // łista
  write_file(lists / "\u65E5\u672C.lst", "1332540080\n");        // 日本
  write_file(lists / "\u0421\u0418\u041C.lst", "130014C080\n");  // СИМ
  write_file(lists / "\U0001F4F6.lst", "62F2204000\n");          // an emoji, beyond 16 bits
  struct Case {
    const char* name;
    std::string arg;
    std::string out;  // on Windows, where the runtime expands patterns
    int status;
  };
  const Case cases[] = {
      {"several matches, the first one listed is used", "*.txt", "312:45:0080\n", 0},
      {"one match", "one.*", "310:410:C080\n", 0},
      {"? stands for one character", "?.txt", "312:45:0080\n", 0},
      {"pattern in another folder", (lists / "one.*").string(), "310:410:C080\n", 0},
      {"no match, passed on unchanged", "*.nothing", "Failed to stat *.nothing .\n" + kUsage, 1},
      {"Latin", "\u0142ista.lst", "246:81:4000\n", 0},
      {"the ASCII look-alike", "lista.lst", "312:45:0080\n", 0},
      {"CJK", "\u65E5\u672C.lst", "312:453:0080\n", 0},
      {"Cyrillic", "\u0421\u0418\u041C.lst", "310:410:C080\n", 0},
      {"emoji", "\U0001F4F6.lst", "262:02:4000\n", 0},
      {"pattern of a Latin name", "\u0142*.lst", "246:81:4000\n", 0},
      {"pattern of an ASCII name", "l*.lst", "312:45:0080\n", 0},
      {"missing name, in UTF-8", "\u65E5\u672C-nie.lst",
       "Failed to stat \u65E5\u672C-nie.lst .\n" + kUsage, 1},
  };
  for (const Case& c : cases) {
    Result r = run({c.arg}, Stdout::kCaptured, kCommand, lists);
    // The shell expands patterns here: one that reaches the tool is taken
    // as the path it is.
    bool expanded = kWindows || c.arg.find_first_of("*?") == std::string::npos;
    EXPECT_EQ(r.out, lines(expanded ? c.out : "Failed to stat " + c.arg + " .\n" + kUsage))
        << c.name;
    EXPECT_EQ(r.status, expanded ? c.status : 1) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
  }
}

}  // namespace
