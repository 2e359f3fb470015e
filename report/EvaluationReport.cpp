#include "report/EvaluationReport.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "report/ReportFields.h"

namespace {

using cli::ReportField;

constexpr auto& Count = cli::CountField;
constexpr auto& Ratio = cli::RatioField;

std::vector<ReportField> Fields(const EvaluationTotals& t) {
  return {
      Count("frames", "frames", t.frames),
      Count("gt", "truth objects (GT)", t.gt),
      Count("hypotheses", "hypotheses", t.hypotheses),
      Count("matches", "matches", t.matches),
      Count("fp", "false positives (FP)", t.fp),
      Count("fn", "misses (FN)", t.fn),
      Count("idsw", "identity switches", t.idsw),
      Count("frag", "fragmentations", t.frag),
      Count("ignored", "ignored (near disabled)", t.ignored),
      Ratio("mota", "MOTA", Mota(t)),
      Ratio("motp", "MOTP (pixels)", Motp(t)),
      Count("idtp", "IDTP", t.idtp),
      Count("idfp", "IDFP", t.idfp),
      Count("idfn", "IDFN", t.idfn),
      Ratio("idp", "IDP", Idp(t)),
      Ratio("idr", "IDR", Idr(t)),
      Ratio("idf1", "IDF1", Idf1(t)),
      Count("mt", "mostly tracked (MT)", t.mt),
      Count("pt", "partly tracked (PT)", t.pt),
      Count("ml", "mostly lost (ML)", t.ml),
  };
}

std::string HypothesisText(const TargetResult& target, std::string_view none) {
  return target.hypothesis ? std::to_string(*target.hypothesis) : std::string(none);
}

}  // namespace

void PrintEvaluationTable(const Evaluation& evaluation, std::ostream& out) {
  cli::PrintFieldLines(Fields(evaluation.totals), out);
  std::array<char, 128> line{};
  if (evaluation.targets.empty())
    return;
  out << "\ntarget  present  matches  hypothesis\n";
  for (const TargetResult& target : evaluation.targets) {
    std::snprintf(line.data(), line.size(), "%6d  %7d  %7d  %10s\n", target.id, target.present,
                  target.matches, HypothesisText(target, "-").c_str());
    out << line.data();
  }
}

void PrintEvaluationJson(const Evaluation& evaluation, std::ostream& out) {
  out << "{\n";
  for (const ReportField& field : Fields(evaluation.totals))
    out << "  \"" << field.key << "\": " << (field.exact.empty() ? "null" : field.exact) << ",\n";
  out << "  \"per_target\": [";
  const char* separator = "\n";
  for (const TargetResult& target : evaluation.targets) {
    out << separator << "    {\"index\": " << target.id << ", \"present\": " << target.present
        << ", \"matches\": " << target.matches
        << ", \"hypothesis\": " << HypothesisText(target, "null") << '}';
    separator = ",\n";
  }
  out << (evaluation.targets.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

void PrintEvaluationCsv(const Evaluation& evaluation, std::ostream& out) {
  const std::vector<ReportField> fields = Fields(evaluation.totals);
  out << cli::CsvKeys(fields) << '\n' << cli::CsvValues(fields) << '\n';
}
