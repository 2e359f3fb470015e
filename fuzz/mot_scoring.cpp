// Feeds arbitrary bytes to the scoring of MOTChallenge sequences: the first
// half as ground truth, the second as a tracker's output (lines the row
// reader refuses are skipped, as are rows beyond what a file may hold), each
// scored with and without the protocol, by IoU and by centre distance; and
// the whole input as a seqinfo.ini. Besides the sanitizers' checks it traps
// when the counts do not add up or a ratio leaves its range.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "mot/MotRows.h"
#include "scoring/BenchmarkLayout.h"
#include "scoring/MotScoring.h"

namespace {

using fuzz::Check;

// Keeps a fuzzed frame small enough for the fuzzer to move on quickly.
constexpr std::size_t kMaxRows = 80;

std::vector<cli::MotRow> Rows(std::string_view text) {
  std::vector<cli::MotRow> rows;
  std::set<std::pair<int, int>> seen;
  while (!text.empty() && rows.size() < kMaxRows) {
    const std::size_t newline = text.find('\n');
    std::optional<cli::MotRow> row;
    if (!cli::ParseMotLine(text.substr(0, newline), row) && row && std::fabs(row->left) <= 1e9 &&
        std::fabs(row->top) <= 1e9 && row->width <= 1e9 && row->height <= 1e9 &&
        seen.insert({row->frame, row->id}).second)
      rows.push_back(*row);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  return rows;
}

bool Fraction(double value) {
  return std::isfinite(value) && value >= -1e-12 && value <= 1.0 + 1e-12;
}

void CheckScore(const MotSequenceScore& score) {
  const SequenceResult& r = score.result;
  const ClearCounts& c = r.clear;
  Check(c.tp + c.fn == c.gt && c.tp + c.fp == c.hypotheses);
  Check(c.idsw <= c.tp && c.frag <= c.tp);
  Check(r.identity.idtp >= 0 && r.identity.idtp <= c.gt && r.identity.idtp <= c.hypotheses);
  Check(r.identity.idtp + r.identity.idfn == c.gt);
  for (const std::optional<double> ratio : {Idf1(r.identity), Idp(r.identity), Idr(r.identity)})
    Check(!ratio || Fraction(*ratio));
  if (r.matching == MatchingKind::kBoxIou && Motp(c))
    Check(Fraction(*Motp(c)));
  for (int a = 0; a < kHotaAlphaCount; ++a) {
    const HotaAlphaCounts& at = r.hota.at[static_cast<std::size_t>(a)];
    Check(at.tp + at.fn == c.gt && at.tp + at.fp == c.hypotheses);
    // A pair that counts at an alpha counts at every smaller one.
    if (a > 0)
      Check(at.tp <= r.hota.at[static_cast<std::size_t>(a - 1)].tp);
    const HotaScores s = HotaAt(r.hota, a);
    for (const double v : {s.hota, s.detA, s.assA, s.detRe, s.detPr, s.assRe, s.assPr, s.locA})
      Check(Fraction(v));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int length = 0;
  if (!SequenceLengthOf(text, length))
    Check(length >= 1);

  std::vector<MotTruthRow> truth;
  for (const cli::MotRow& row : Rows(text.substr(0, size / 2)))
    truth.push_back({row.frame,
                     {row.id, row.left, row.top, row.width, row.height},
                     row.conf,
                     row.classId,
                     static_cast<std::size_t>(row.line)});
  std::vector<BoxRow> hypotheses;
  for (const cli::MotRow& row : Rows(text.substr(size / 2)))
    hypotheses.push_back({row.frame, {row.id, row.left, row.top, row.width, row.height}});

  for (const bool protocol : {true, false}) {
    for (const MatchingKind matching : {MatchingKind::kBoxIou, MatchingKind::kPointDistance}) {
      MotScoringSettings settings;
      settings.protocol = protocol;
      settings.matching = matching;
      settings.sequence.distance = 25.0;
      MotSequenceScore score;
      if (ScoreMotRows(truth, hypotheses, settings, score))
        continue;  // a class outside the benchmark's, refused by the protocol
      CheckScore(score);
    }
  }
  return 0;
}
