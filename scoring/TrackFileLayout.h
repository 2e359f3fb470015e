#pragma once
// What a file given as a track file looks like when it reads as no targets:
// the loader takes MOTChallenge rows or frame,id,x,y points as a set without
// targets, which is no answer to give, so a command names what it was given.

#include <string>
#include <string_view>

enum class OtherLayout { kNone, kMotRows, kPoints };

// The layout of the first row of text that is neither blank nor a comment,
// when it is MOT rows or points; kNone otherwise.
OtherLayout OtherLayoutOf(std::string_view text);

// "FILE: not a track file: it looks like MOTChallenge rows (ADVICE)", or
// "... like frame,id,x,y points", for a layout other than kNone.
std::string NotATrackFile(const std::string& fileName, OtherLayout layout,
                          std::string_view motAdvice = "convert it with mot2tracks");
