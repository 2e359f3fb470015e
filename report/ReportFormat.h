#pragma once
// The three forms a result is shown in, and each result printed in the form
// asked for: a table for people, CSV or JSON for programs.

#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "eval/Evaluation.h"
#include "report/MetricsReport.h"
#include "scoring/BenchmarkRun.h"

namespace cli {

enum class ReportFormat { kTable, kCsv, kJson };

void PrintSequence(const SequenceResult& result, ReportFormat format, std::ostream& out);
// The track-file evaluation's own report (report/EvaluationReport.h).
void PrintEvaluation(const Evaluation& evaluation, ReportFormat format, std::ostream& out);

// A benchmark's outcomes as its report shows them: a row per sequence
// scored, a failure per sequence not, in the sequences' order, and the
// COMBINED row only when every sequence was scored.
struct BenchmarkReport {
  std::vector<BenchmarkRow> rows;
  std::vector<BenchmarkFailure> failures;
  std::optional<SequenceResult> combined;
};
BenchmarkReport ReportOf(std::span<const SequenceOutcome> outcomes);
void PrintBenchmark(const BenchmarkReport& report, ReportFormat format, std::ostream& out);

}  // namespace cli
