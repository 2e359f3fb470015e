#include "base/TextBytes.h"

#include <cstdio>

namespace base {

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark))
    text.remove_prefix(kUtf8ByteOrderMark.size());
  return text;
}

std::string PrintableText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    }
  }
  return shown;
}

std::string QuotedText(std::string_view text, std::size_t shown) {
  // Built by appending: GCC 12 at -O3 warns falsely about a literal joined
  // to a temporary string.
  std::string quoted(1, '\'');
  quoted.append(PrintableText(text.substr(0, shown)));
  quoted += text.size() > shown ? "...'" : "'";
  return quoted;
}

}  // namespace base
