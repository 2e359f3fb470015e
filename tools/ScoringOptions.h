#pragma once
// The options evaluate (with MOTChallenge truth) and benchmark share: how
// pairs are matched (--iou T on boxes, the default 0.5; or --threshold D on
// box centres), which rows are scored (--protocol mot, the default, or
// none) and which metric families are reported (--metrics
// clear,identity,hota, all by default), and the form of the report (--csv,
// --json or a table).

#include <optional>
#include <string>

#include "report/ReportFormat.h"
#include "scoring/MotScoring.h"
#include "tools/CommandLine.h"

namespace cli {

// --metrics: a comma-separated list of clear, identity and hota (each at
// most once). Leaves `families` as it is when the option is not given.
// Returns the usage message when the list cannot be used.
std::optional<std::string> ReadMetricFamilies(const ParsedArgs& parsed, MetricFamilies& families);

// --iou, --threshold, --protocol and --metrics into settings. Returns the
// usage message when they cannot be used (both --iou and --threshold, an
// IoU not above 0 or above 1, a negative distance, an unknown protocol).
std::optional<std::string> ReadMotScoringOptions(const ParsedArgs& parsed,
                                                 MotScoringSettings& settings);

// --csv or --json, else a table. Returns the usage message when both are
// given.
std::optional<std::string> ReadReportFormat(const ParsedArgs& parsed, ReportFormat& format);

}  // namespace cli
