#pragma once
// How evaluate (MOTChallenge truth, or any chosen metric families) and
// benchmark show their results, under stable keys: HOTA, DetA, AssA, LocA,
// DetRe, DetPr, AssRe, AssPr, HOTA(0), LocA(0) for HOTA; MOTA, MOTP, IDSW,
// Frag, MT, PT, ML, TP, FN, FP for CLEAR; IDF1, IDP, IDR, IDTP, IDFN, IDFP
// for identity; and frames. Only the families scored appear. Ratios are
// fractions 0..1 (MOTP of points: a mean distance in pixels); a ratio whose
// denominator is 0 is "-" in a table, null in JSON and an empty CSV field.

#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "scoring/SequenceScoring.h"

namespace cli {

// One sequence: "label value" lines, a JSON object, or a CSV header line and
// a line of values.
void PrintSequenceTable(const SequenceResult& result, std::ostream& out);
void PrintSequenceJson(const SequenceResult& result, std::ostream& out);
void PrintSequenceCsv(const SequenceResult& result, std::ostream& out);

struct BenchmarkRow {
  std::string name;
  SequenceResult result;
};
struct BenchmarkFailure {
  std::string name;
  std::string problem;
};

// A benchmark: a table per family with a row per sequence and the COMBINED
// row (when there is one); CSV with a "sequence" column first; JSON
// {"sequences": [...], "COMBINED": {...} or null, "failed": [...]}.
void PrintBenchmarkTable(std::span<const BenchmarkRow> rows,
                         const std::optional<SequenceResult>& combined, std::ostream& out);
void PrintBenchmarkCsv(std::span<const BenchmarkRow> rows,
                       const std::optional<SequenceResult>& combined, std::ostream& out);
void PrintBenchmarkJson(std::span<const BenchmarkRow> rows,
                        const std::optional<SequenceResult>& combined,
                        std::span<const BenchmarkFailure> failures, std::ostream& out);

}  // namespace cli
