// The benchmark programs' common start: unless the command line asks for its own repetitions,
// every case runs `runs` times (five unless said) and only the aggregates (median among them) are
// reported.
#pragma once

#include <string>
#include <vector>

// The arguments to hand to benchmark::Initialize: argv, plus the two repetition options when no
// --benchmark_repetitions was given. The pointers stay valid for the life of the program.
inline std::vector<char*> withMedianRuns(int argc, char** argv, int runs = 5) {
  static std::string repetitions;
  repetitions = "--benchmark_repetitions=" + std::to_string(runs);
  static std::string aggregates = "--benchmark_report_aggregates_only=true";
  std::vector<char*> args(argv, argv + argc);
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0) return args;
  }
  args.push_back(repetitions.data());
  args.push_back(aggregates.data());
  return args;
}
