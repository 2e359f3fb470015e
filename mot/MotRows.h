#pragma once
// MOTChallenge rows: ground truth and tracker output as text, one box per
// line,
//
//     frame,id,left,top,width,height[,conf[,class[,visibility[,...]]]]
//
// frames counted from 1, box corner and size in source pixels. Fields are
// separated by a comma (white space around it allowed) or by white space
// alone; '#' starts a comment that runs to the end of the line; blank lines
// are ignored; fields after the visibility are read past. Integer fields may
// be written as decimals with a zero fraction ("1.0"). conf defaults to 1,
// class to 1 and visibility to 1 when a row stops before them.
//
// This is the one reader of MOTChallenge text: ground truth for mot2tracks
// and the evaluation, tracker output for evaluate and render.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The largest MOTChallenge file read: a whole benchmark's sequence is a few
// megabytes; this bounds what a wrong file can make a command hold.
inline constexpr std::size_t kMaxMotFileBytes = std::size_t{256} << 20;

struct MotRow {
  int frame = 0;
  int id = 0;
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
  double conf = 1.0;
  int classId = 1;
  double visibility = 1.0;
  int line = 0;  // the row's line in its file, for messages; 0 when not read from one
};

// Reads one line. Returns why it is not a row; otherwise `row` holds the row,
// or nothing for a blank line. Every number must be finite; frame, id and
// class are integers in int range; width and height are at least 0.
std::optional<std::string> ParseMotLine(std::string_view line, std::optional<MotRow>& row);

// Whether line reads as a MOTChallenge row, for naming a file given in the
// wrong layout.
bool IsMotRow(std::string_view line);

// Reads every row of the regular file at path (at most kMaxMotFileBytes).
// Returns what is wrong ("FILE: missing", "FILE:LINE: why" for a bad line),
// or nothing.
std::optional<std::string> ReadMotFile(const std::string& path, std::vector<MotRow>& rows);

// A row as text: the nine fields, numbers in their shortest exact form.
std::string MotRowText(const MotRow& row);
// Every row's text, a line each.
std::string MotRowsText(std::span<const MotRow> rows);

}  // namespace cli
