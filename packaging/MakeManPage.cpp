// Build-time helper: writes the manual page of korvane-cli from the
// companion's own usage texts, so the page and --help never disagree.
//
//   korvane_make_man_page OUTPUT.1

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "packaging/OutputFile.h"
#include "res/VersionInfo.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"

namespace {

// The text as roff input: backslashes and dashes escaped (so options stay
// plain ASCII hyphens when the page is rendered), and lines that begin with a
// control character protected.
std::string Roff(std::string_view text) {
  std::string out;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) {
      out += "\\&";
    }
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    lineStart = c == '\n';
  }
  return out;
}

std::string ManPage() {
  const std::string version = res::DottedVersion(res::kVersionInfo.productVersion);
  std::string page;
  page += ".TH KORVANE\\-CLI 1 \"\" \"Korvane " + Roff(version) + "\" \"User Commands\"\n";
  page += ".SH NAME\nkorvane\\-cli \\- command\\-line companion of Korvane\n";
  page += ".SH SYNOPSIS\n";
  for (const cli::Command& command : cli::Commands()) {
    page += ".B korvane\\-cli " + Roff(command.name) + "\n";
    std::string_view operands = command.synopsis.substr(command.name.size());
    while (operands.starts_with(' ')) {
      operands.remove_prefix(1);
    }
    if (!operands.empty()) {
      page += Roff(operands) + "\n";
    }
    page += ".br\n";
  }
  page += ".B korvane\\-cli\n.I COMMAND\n.B \\-\\-help\n";
  page +=
      ".SH DESCRIPTION\n"
      ".B korvane\\-cli\n"
      "runs Korvane's own console, player and recorder code on an in\\-memory\n"
      "window system: it writes a sample frame series, plays a series with its\n"
      "track overlays into recorded frames, scores a measured path against the\n"
      "ground\\-truth tracks, tells whether a point lies near a disabled target,\n"
      "and checks frame files and track files.\n"
      "Every command prints its usage with\n.BR \\-\\-help .\n";
  page += ".SH COMMANDS\n";
  for (const cli::Command& command : cli::Commands()) {
    page += ".SS \"korvane\\-cli " + Roff(command.synopsis) + "\"\n";
    page += ".nf\n" + Roff(command.help);
    if (!command.help.ends_with('\n')) {
      page += '\n';
    }
    page += ".fi\n";
  }
  page +=
      ".SH \"EXIT STATUS\"\n"
      ".TP\n" +
      std::to_string(cli::kExitOk) +
      "\nsuccess\n"
      ".TP\n" +
      std::to_string(cli::kExitFailure) +
      "\nfailure; the message names the file\n"
      ".TP\n" +
      std::to_string(cli::kExitUsage) + "\nusage error\n";
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: korvane_make_man_page OUTPUT.1\n");
    return 2;
  }
  const std::string page = ManPage();
  return WriteOutputFile("korvane_make_man_page", argv[1], std::as_bytes(std::span(page)));
}
