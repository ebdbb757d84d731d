// Collects the counters of every run and prints the ratios the performance work is judged by.
#include "SummaryReporter.h"

#include <cstdio>

#include "engine/RenderPath.h"

namespace {

double counter(const benchmark::BenchmarkReporter::Run& run, const char* name) {
  const auto found = run.counters.find(name);
  return found == run.counters.end() ? 0.0 : static_cast<double>(found->second);
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    const Figures figures{counter(run, "rtf"), counter(run, "ns/frame")};
    if (run.run_type == Run::RT_Aggregate) {
      if (run.aggregate_name == "median") medians[run.run_name.function_name] = figures;
    } else {
      singles[run.run_name.function_name] = figures;
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

const SummaryReporter::Figures* SummaryReporter::find(const std::string& name) const {
  if (const auto m = medians.find(name); m != medians.end()) return &m->second;
  if (const auto s = singles.find(name); s != singles.end()) return &s->second;
  return nullptr;
}

void SummaryReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\nSummary (%s):\n", medians.empty() ? "single runs" : "medians of the repetitions");
  const Figures* reference = find("full_patch/reference");
  if (reference && reference->realtimeFactor > 0.0) {
    std::printf("  full patch, 512-frame blocks: reference %.1fx realtime (%.0f ns/frame)\n",
                reference->realtimeFactor, reference->nsPerFrame);
    for (RenderPath path : kFastRenderPaths) {
      const Figures* fast = find(std::string("full_patch/") + renderPathName(path));
      if (!fast) continue;
      std::printf(
          "  full patch, 512-frame blocks: %-8s %.1fx realtime (%.0f ns/frame), %.2fx the "
          "reference\n",
          renderPathName(path), fast->realtimeFactor, fast->nsPerFrame,
          fast->realtimeFactor / reference->realtimeFactor);
    }
  }
  for (RenderPath path : {RenderPath::reference, fastestRenderPath()}) {
    const std::string prefix = std::string("block_size/") + renderPathName(path) + "/";
    const Figures* large = find(prefix + "512");
    if (!large || large->nsPerFrame <= 0.0) continue;
    for (const char* size : {"1", "32", "64", "2000", "4096"}) {
      if (const Figures* small = find(prefix + size)) {
        std::printf("  %s: %4s-frame blocks cost %.2fx per frame what 512-frame blocks cost\n",
                    renderPathName(path), size, small->nsPerFrame / large->nsPerFrame);
      }
    }
  }
}
