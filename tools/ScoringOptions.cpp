#include "tools/ScoringOptions.h"

#include <string_view>

#include "base/NumberText.h"

namespace cli {

std::optional<std::string> ReadMetricFamilies(const ParsedArgs& parsed, MetricFamilies& families) {
  const std::string* list = parsed.Value("--metrics");
  if (list == nullptr)
    return std::nullopt;
  MetricFamilies chosen{false, false, false};
  std::string_view rest = *list;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view name = rest.substr(0, comma);
    bool* family = name == "clear"      ? &chosen.clear
                   : name == "identity" ? &chosen.identity
                   : name == "hota"     ? &chosen.hota
                                        : nullptr;
    if (family == nullptr)
      return "--metrics takes a comma-separated list of clear, identity and hota";
    if (*family)
      return "--metrics names " + std::string(name) + " twice";
    *family = true;
    if (comma == std::string_view::npos)
      break;
    rest.remove_prefix(comma + 1);
  }
  families = chosen;
  return std::nullopt;
}

std::optional<std::string> ReadMotScoringOptions(const ParsedArgs& parsed,
                                                 MotScoringSettings& settings) {
  const std::string* iou = parsed.Value("--iou");
  const std::string* threshold = parsed.Value("--threshold");
  if (iou != nullptr && threshold != nullptr)
    return "--iou (boxes) and --threshold (box centres) cannot be given together";
  if (threshold != nullptr) {
    const std::optional<double> d = base::ParseDouble(*threshold);
    if (!d || *d < 0.0)
      return "--threshold must be a distance in pixels, 0 or more";
    settings.matching = MatchingKind::kPointDistance;
    settings.sequence.distance = *d;
  } else {
    settings.matching = MatchingKind::kBoxIou;
    if (iou != nullptr) {
      const std::optional<double> t = base::ParseDouble(*iou);
      if (!t || !(*t > 0.0) || *t > 1.0)
        return "--iou must be a number above 0 and at most 1";
      settings.sequence.iou = *t;
    }
  }
  if (const std::string* protocol = parsed.Value("--protocol")) {
    if (*protocol != "mot" && *protocol != "none")
      return "--protocol must be mot or none";
    settings.protocol = *protocol == "mot";
  }
  return ReadMetricFamilies(parsed, settings.sequence.metrics);
}

std::optional<std::string> ReadReportFormat(const ParsedArgs& parsed, ReportFormat& format) {
  if (parsed.Has("--csv") && parsed.Has("--json"))
    return "--csv and --json cannot be given together";
  format = parsed.Has("--json")  ? ReportFormat::kJson
           : parsed.Has("--csv") ? ReportFormat::kCsv
                                 : ReportFormat::kTable;
  return std::nullopt;
}

}  // namespace cli
