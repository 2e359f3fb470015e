#include "report/ReportFormat.h"

#include "report/EvaluationReport.h"

namespace cli {

void PrintSequence(const SequenceResult& result, ReportFormat format, std::ostream& out) {
  if (format == ReportFormat::kJson)
    PrintSequenceJson(result, out);
  else if (format == ReportFormat::kCsv)
    PrintSequenceCsv(result, out);
  else
    PrintSequenceTable(result, out);
}

void PrintEvaluation(const Evaluation& evaluation, ReportFormat format, std::ostream& out) {
  if (format == ReportFormat::kJson)
    PrintEvaluationJson(evaluation, out);
  else if (format == ReportFormat::kCsv)
    PrintEvaluationCsv(evaluation, out);
  else
    PrintEvaluationTable(evaluation, out);
}

BenchmarkReport ReportOf(std::span<const SequenceOutcome> outcomes) {
  BenchmarkReport report;
  std::vector<SequenceResult> scored;
  for (const SequenceOutcome& outcome : outcomes) {
    if (outcome.score) {
      report.rows.push_back({outcome.name, outcome.score->result});
      scored.push_back(outcome.score->result);
    } else {
      report.failures.push_back({outcome.name, outcome.problem});
    }
  }
  if (report.failures.empty())
    report.combined = CombineResults(scored);
  return report;
}

void PrintBenchmark(const BenchmarkReport& report, ReportFormat format, std::ostream& out) {
  if (format == ReportFormat::kJson)
    PrintBenchmarkJson(report.rows, report.combined, report.failures, out);
  else if (format == ReportFormat::kCsv)
    PrintBenchmarkCsv(report.rows, report.combined, out);
  else
    PrintBenchmarkTable(report.rows, report.combined, out);
}

}  // namespace cli
