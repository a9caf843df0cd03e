// Runs the tool as a real process on files made in a temporary folder and
// checks its standard output, standard error and exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string kUsage =
    "As the first argument, provide the filename\n"
    "of a text file, containing the PLMN definitions.\n";

enum class Stdout { kCaptured, kDevFull, kClosed };

struct Result {
  int status = -1;
  std::string out, err;
};

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const fs::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

class Cli : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "plmn_main_test.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path file(const std::string& name, const std::string& contents) {
    write_file(dir_ / name, contents);
    return dir_ / name;
  }

  // Runs `command` (the tool itself when empty) with `args`.
  Result run(const std::vector<std::string>& args, Stdout out = Stdout::kCaptured,
             std::vector<std::string> command = {PLMN_PATH}) {
    std::vector<std::string> words = command;
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    fs::path out_path = dir_ / "stdout", err_path = dir_ / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out == Stdout::kClosed) {
      posix_spawn_file_actions_addclose(&actions, 1);
    } else {
      const char* target = out == Stdout::kDevFull ? "/dev/full" : out_path.c_str();
      posix_spawn_file_actions_addopen(&actions, 1, target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    Result result;
    pid_t pid;
    int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0) << "cannot start " << argv[0];
    if (error != 0) return result;
    int status;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (out == Stdout::kCaptured) result.out = read_file(out_path);
    result.err = read_file(err_path);
    return result;
  }

  fs::path dir_;
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
  Result r = run({file("list.txt", kList).string()});
  EXPECT_EQ(r.out, kListing);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, ExampleGivesItsListing) {
  const fs::path examples = fs::path(PLMN_SOURCE_DIR) / "examples";
  Result r = run({(examples / "oplmnwact.txt").string()});
  EXPECT_EQ(r.out, read_file(examples / "oplmnwact.listing"));
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, SameListingWhateverTheLineEnds) {
  std::string lf = kList;
  for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
  EXPECT_EQ(run({file("lf.txt", lf).string()}).out, kListing);
}

TEST_F(Cli, ExtraArgumentsAreIgnored) {
  Result r = run({file("list.txt", kList).string(), "extra", (dir_ / "missing").string()});
  EXPECT_EQ(r.out, kListing);
  EXPECT_EQ(r.status, 0);
}

TEST_F(Cli, EmptyFilesListNothing) {
  for (const std::string& contents : {std::string(), std::string("FFFFFF0000\r\nffffff4000\n")}) {
    Result r = run({file("empty.txt", contents).string()});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
  }
}

TEST_F(Cli, FailuresWriteAMessageAndTheUsage) {
  const std::string missing = (dir_ / "missing.txt").string();
  const std::string folder = dir_.string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {"no argument", {}, kUsage},
      {"missing path", {missing}, "Failed to stat " + missing + " .\n" + kUsage},
      {"empty argument", {""}, "Failed to stat  .\n" + kUsage},
      {"directory", {folder}, folder + " exists, but is not a regular file.\n" + kUsage},
      {"not a regular file",
       {"/dev/null"},
       "/dev/null exists, but is not a regular file.\n" + kUsage},
  };
  for (const Case& c : cases) {
    Result r = run(c.args);
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(r.status, 1) << c.name;
  }
}

TEST_F(Cli, UnreadableFile) {
  fs::path path = file("secret.txt", kList);
  fs::permissions(path, fs::perms::none);
  std::vector<std::string> command = {PLMN_PATH};
  if (geteuid() == 0) {
    // Root reads any file, so run the tool as nobody. The copy of the tool
    // and the folder must be reachable for that user.
    if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is needed to drop root";
    fs::copy_file(PLMN_PATH, dir_ / "plmn");
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
               (dir_ / "plmn").string()};
  }
  Result r = run({path.string()}, Stdout::kCaptured, command);
  EXPECT_EQ(r.out, "Failed to open " + path.string() + " .\n" + kUsage);
  EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, ReadErrorIsAFailure) {
  // A regular file whose first read fails.
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  Result r = run({"/proc/self/mem"});
  EXPECT_EQ(r.out, "Failed to read /proc/self/mem .\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST_F(Cli, WriteErrorIsAFailure) {
  const std::string list = file("list.txt", kList).string();
  struct Case {
    const char* name;
    std::vector<std::string> args;
    Stdout out;
  };
  const Case cases[] = {
      {"listing to a full disk", {list}, Stdout::kDevFull},
      {"listing to a closed descriptor", {list}, Stdout::kClosed},
      {"usage to a full disk", {}, Stdout::kDevFull},
  };
  for (const Case& c : cases) {
    Result r = run(c.args, c.out);
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.err.rfind("plmn: cannot write standard output: ", 0), 0u)
        << c.name << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.name << ": one line";
  }
}

}  // namespace
