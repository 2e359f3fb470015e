#include "tools/EvaluationReport.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// One total: its short name (JSON key and CSV column), its label in the
// table, and its value as text in the form each output wants.
struct Field {
  std::string_view key;
  std::string_view label;
  std::string exact;  // JSON and CSV; empty for a missing ratio
  std::string shown;  // the table
};

// The shortest text that reads back as the same double.
std::string Exact(double value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

Field Count(std::string_view key, std::string_view label, long long value) {
  return {key, label, std::to_string(value), std::to_string(value)};
}

Field Ratio(std::string_view key, std::string_view label, std::optional<double> value) {
  if (!value)
    return {key, label, "", "-"};
  std::array<char, 48> shown{};
  std::snprintf(shown.data(), shown.size(), "%.4f", *value);
  return {key, label, Exact(*value), shown.data()};
}

std::vector<Field> Fields(const EvaluationTotals& t) {
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
  std::array<char, 128> line{};
  for (const Field& field : Fields(evaluation.totals)) {
    std::snprintf(line.data(), line.size(), "%-24s %12s\n", std::string(field.label).c_str(),
                  field.shown.c_str());
    out << line.data();
  }
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
  for (const Field& field : Fields(evaluation.totals))
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
  const std::vector<Field> fields = Fields(evaluation.totals);
  std::string keys;
  std::string values;
  for (const Field& field : fields) {
    if (!keys.empty()) {
      keys += ',';
      values += ',';
    }
    keys += field.key;
    values += field.exact;
  }
  out << keys << '\n' << values << '\n';
}
