#pragma once
// How korvane-cli evaluate shows its result: a table for people, or the
// totals as JSON or CSV for programs. A ratio whose denominator is 0 is
// "-" in the table, null in JSON and an empty field in CSV.

#include <ostream>

#include "eval/Evaluation.h"

void PrintEvaluationTable(const Evaluation& evaluation, std::ostream& out);
// One object: the totals under their short names, then per_target.
void PrintEvaluationJson(const Evaluation& evaluation, std::ostream& out);
// A header line of the short names and one line of values.
void PrintEvaluationCsv(const Evaluation& evaluation, std::ostream& out);
