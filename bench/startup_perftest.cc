// Times how long a command takes to start and end, against a baseline
// command, in paired runs: each run of the command follows a run of the
// baseline, so that whatever else the machine does weighs on both alike.
//
// Usage: plmn_startup RUNS BASELINE COMMAND [ARGUMENT ...]
// Prints three numbers: the median wall-clock seconds of the baseline and of
// the command, and the median of the paired ratios command / baseline. Both
// run with standard output sent to /dev/null.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace {

double seconds_to_run(char** argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) != 0) {
    std::fprintf(stderr, "plmn_startup: cannot run %s\n", argv[0]);
    std::exit(1);
  }
  int status;
  waitpid(pid, &status, 0);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    // A command that fails may end sooner than one that does its work.
    std::fprintf(stderr, "plmn_startup: %s failed\n", argv[0]);
    std::exit(1);
  }
  return took.count();
}

double median(std::vector<double> values) {
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || std::atoi(argv[1]) < 1) {
    std::fprintf(stderr, "usage: plmn_startup RUNS BASELINE COMMAND [ARGUMENT ...]\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  char* baseline[] = {argv[2], nullptr};
  std::vector<double> base_times, times, ratios;
  for (int i = 0; i < runs; ++i) {
    base_times.push_back(seconds_to_run(baseline));
    times.push_back(seconds_to_run(argv + 3));
    ratios.push_back(times.back() / base_times.back());
  }
  std::printf("%.6f %.6f %.3f\n", median(base_times), median(times), median(ratios));
  return 0;
}
