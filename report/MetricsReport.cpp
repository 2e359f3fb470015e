#include "report/MetricsReport.h"

#include <algorithm>
#include <vector>

#include "report/ReportFields.h"

namespace cli {
namespace {

// The fields of one metric family, a block of the benchmark's table.
struct FamilyFields {
  std::vector<ReportField> fields;
};

std::vector<FamilyFields> Fields(const SequenceResult& r) {
  std::vector<FamilyFields> all;
  if (r.metrics.hota) {
    const std::optional<HotaScores> h = HotaSummary(r.hota);
    const auto ratio = [&h](double HotaScores::*member) {
      return h ? std::optional<double>((*h).*member) : std::nullopt;
    };
    all.push_back({{RatioField("HOTA", "HOTA", ratio(&HotaScores::hota)),
                    RatioField("DetA", "DetA", ratio(&HotaScores::detA)),
                    RatioField("AssA", "AssA", ratio(&HotaScores::assA)),
                    RatioField("LocA", "LocA", ratio(&HotaScores::locA)),
                    RatioField("DetRe", "DetRe", ratio(&HotaScores::detRe)),
                    RatioField("DetPr", "DetPr", ratio(&HotaScores::detPr)),
                    RatioField("AssRe", "AssRe", ratio(&HotaScores::assRe)),
                    RatioField("AssPr", "AssPr", ratio(&HotaScores::assPr)),
                    RatioField("HOTA(0)", "HOTA(0)", ratio(&HotaScores::hota0)),
                    RatioField("LocA(0)", "LocA(0)", ratio(&HotaScores::locA0))}});
  }
  const ClearCounts& c = r.clear;
  if (r.metrics.clear) {
    const bool points = r.matching == MatchingKind::kPointDistance;
    all.push_back(
        {{RatioField("MOTA", "MOTA", Mota(c)),
          RatioField("MOTP", points ? "MOTP (pixels)" : "MOTP (mean IoU)", Motp(c)),
          CountField("IDSW", "identity switches", c.idsw),
          CountField("Frag", "fragmentations", c.frag),
          CountField("MT", "mostly tracked (MT)", c.mt),
          CountField("PT", "partly tracked (PT)", c.pt), CountField("ML", "mostly lost (ML)", c.ml),
          CountField("TP", "matches (TP)", c.tp), CountField("FN", "misses (FN)", c.fn),
          CountField("FP", "false positives (FP)", c.fp)}});
  }
  if (r.metrics.identity) {
    const IdentityCounts& i = r.identity;
    all.push_back({{RatioField("IDF1", "IDF1", Idf1(i)), RatioField("IDP", "IDP", Idp(i)),
                    RatioField("IDR", "IDR", Idr(i)), CountField("IDTP", "IDTP", i.idtp),
                    CountField("IDFN", "IDFN", i.idfn), CountField("IDFP", "IDFP", i.idfp)}});
  }
  // frames closes the last family's block.
  if (all.empty())
    all.push_back({});
  all.back().fields.push_back(CountField("frames", "frames", r.frames));
  return all;
}

std::vector<ReportField> Flat(const SequenceResult& r) {
  std::vector<ReportField> flat;
  for (FamilyFields& family : Fields(r))
    flat.insert(flat.end(), family.fields.begin(), family.fields.end());
  return flat;
}

// The rows of a benchmark, the COMBINED one last.
std::vector<BenchmarkRow> AllRows(std::span<const BenchmarkRow> rows,
                                  const std::optional<SequenceResult>& combined) {
  std::vector<BenchmarkRow> all(rows.begin(), rows.end());
  if (combined)
    all.push_back({"COMBINED", *combined});
  return all;
}

void PrintColumns(const std::vector<std::vector<std::string>>& cells, std::ostream& out) {
  std::vector<std::size_t> widths;
  for (const auto& row : cells) {
    widths.resize(std::max(widths.size(), row.size()), 0);
    for (std::size_t c = 0; c < row.size(); ++c)
      widths[c] = std::max(widths[c], row[c].size());
  }
  for (const auto& row : cells) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      // The name column is set left, the numbers right.
      const std::string pad(widths[c] - row[c].size(), ' ');
      line += c == 0 ? row[c] + pad : "  " + pad + row[c];
    }
    out << line << '\n';
  }
}

}  // namespace

void PrintSequenceTable(const SequenceResult& result, std::ostream& out) {
  PrintFieldLines(Flat(result), out);
}

void PrintSequenceJson(const SequenceResult& result, std::ostream& out) {
  out << "{\n  " << JsonMembers(Flat(result), ",\n  ") << "\n}\n";
}

void PrintSequenceCsv(const SequenceResult& result, std::ostream& out) {
  const std::vector<ReportField> fields = Flat(result);
  out << CsvKeys(fields) << '\n' << CsvValues(fields) << '\n';
}

void PrintBenchmarkTable(std::span<const BenchmarkRow> rows,
                         const std::optional<SequenceResult>& combined, std::ostream& out) {
  const std::vector<BenchmarkRow> all = AllRows(rows, combined);
  if (all.empty())
    return;
  const std::vector<FamilyFields> layout = Fields(all.front().result);
  for (std::size_t f = 0; f < layout.size(); ++f) {
    std::vector<std::vector<std::string>> cells(1, {"sequence"});
    for (const ReportField& field : layout[f].fields)
      cells.front().emplace_back(field.key);
    for (const BenchmarkRow& row : all) {
      cells.push_back({row.name});
      const std::vector<FamilyFields> fields = Fields(row.result);
      for (const ReportField& field : fields[f].fields)
        cells.back().push_back(field.shown);
    }
    if (f > 0)
      out << '\n';
    PrintColumns(cells, out);
  }
}

void PrintBenchmarkCsv(std::span<const BenchmarkRow> rows,
                       const std::optional<SequenceResult>& combined, std::ostream& out) {
  const std::vector<BenchmarkRow> all = AllRows(rows, combined);
  if (all.empty())
    return;
  out << "sequence," << CsvKeys(Flat(all.front().result)) << '\n';
  // A sequence name is a folder name: quoted when it holds what CSV would
  // read otherwise.
  for (const BenchmarkRow& row : all) {
    const bool quote = row.name.find_first_of(",\"\n") != std::string::npos;
    std::string name = row.name;
    if (quote) {
      std::string doubled;
      for (const char c : name)
        doubled += c == '"' ? std::string("\"\"") : std::string(1, c);
      name = "\"" + doubled + "\"";
    }
    out << name << ',' << CsvValues(Flat(row.result)) << '\n';
  }
}

void PrintBenchmarkJson(std::span<const BenchmarkRow> rows,
                        const std::optional<SequenceResult>& combined,
                        std::span<const BenchmarkFailure> failures, std::ostream& out) {
  out << "{\n  \"sequences\": [";
  const char* separator = "\n";
  for (const BenchmarkRow& row : rows) {
    out << separator << "    {\"name\": " << JsonString(row.name) << ", "
        << JsonMembers(Flat(row.result), ", ") << '}';
    separator = ",\n";
  }
  out << (rows.empty() ? "],\n" : "\n  ],\n");
  out << "  \"COMBINED\": ";
  if (combined)
    out << '{' << JsonMembers(Flat(*combined), ", ") << "},\n";
  else
    out << "null,\n";
  out << "  \"failed\": [";
  separator = "\n";
  for (const BenchmarkFailure& failure : failures) {
    out << separator << "    {\"name\": " << JsonString(failure.name)
        << ", \"problem\": " << JsonString(failure.problem) << '}';
    separator = ",\n";
  }
  out << (failures.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace cli
