// The console report plus a closing summary: the realtime factors of the full patch on every
// path as multiples of the reference path's, and the per-frame cost of small host blocks against
// 512-frame blocks. With repetitions it reads the medians, otherwise the single runs.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Figures {
    double realtimeFactor = 0.0;
    double nsPerFrame = 0.0;
  };

  [[nodiscard]] const Figures* find(const std::string& name) const;

  std::map<std::string, Figures> medians;
  std::map<std::string, Figures> singles;
};
