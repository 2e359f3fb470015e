#pragma once
// The bytes of text files as the companion hands them on: the byte order
// mark a file may begin with, and text quoted from a file back to a
// terminal, which must not reach it as control bytes.

#include <string>
#include <string_view>

namespace base {

// The UTF-8 byte order mark some editors write at the start of a text file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// text without a UTF-8 byte order mark at its start.
std::string_view WithoutByteOrderMark(std::string_view text);

// Text from a file made safe for a terminal: printable ASCII stays, every
// other byte (and the backslash) becomes \xNN.
std::string PrintableText(std::string_view text);

// PrintableText of at most `shown` bytes of text, in single quotes, with
// "..." inside the closing quote when text is longer.
std::string QuotedText(std::string_view text, std::size_t shown);

}  // namespace base
