// Reading the numbers of the command line and of scripts: plain decimal
// digits only (no sign, no spaces, no hex), so that "-1" or "1e3" is an
// error rather than a surprise.
#pragma once

#include <charconv>
#include <cstdint>
#include <string_view>

namespace host {

template <typename Value>
bool ParseWholeNumber(std::string_view text, uint64_t low, uint64_t high, Value* value) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  // Leading zeros change nothing; past them, 20 digits are beyond any range
  // asked for (and beyond 64 bits once over 18446744073709551615).
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.size() > 19) return false;
  uint64_t parsed = 0;
  std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (parsed < low || parsed > high) return false;
  *value = static_cast<Value>(parsed);
  return true;
}

}  // namespace host
