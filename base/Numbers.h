// Numbers read from text (command lines, query strings, settings, device paths): the one place
// where digits become a number, on std::from_chars. Nothing here accepts white space, a "+",
// or a number outside the type's range.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace pspkvx {

// Base 0 takes decimal digits, or hexadecimal ones after "0x" or "0X" (after the sign, for a
// signed type); a leading zero is still decimal.
inline constexpr int kDecimalOrHex = 0;

// The number that is the whole text, or none.
template <typename T>
std::optional<T> ParseNumber(std::string_view text, int base = 10) {
  static_assert(std::is_integral_v<T> && !std::is_same_v<T, bool>);
  std::string_view digits = text;
  bool negative = false;
  if (base == kDecimalOrHex) {
    if constexpr (std::is_signed_v<T>) {
      negative = !digits.empty() && digits.front() == '-';
      if (negative) digits.remove_prefix(1);
    }
    base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
      digits.remove_prefix(2);
      base = 16;
    }
    if (digits.empty() || digits.front() == '-') return std::nullopt;
  }
  if (negative) {
    // Read the magnitude with its sign in front, so that the type's smallest value fits.
    std::make_unsigned_t<T> value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const auto limit = static_cast<std::make_unsigned_t<T>>(std::numeric_limits<T>::max()) + 1u;
    if (value > limit) return std::nullopt;
    return static_cast<T>(-static_cast<T>(value - 1) - 1);
  }
  T value{};
  const char* first = digits.data();
  const char* last = first + digits.size();
  if (first == last) return std::nullopt;
  const auto [end, error] = std::from_chars(first, last, value, base);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

// The same, and only within [low, high].
template <typename T>
std::optional<T> ParseNumberIn(std::string_view text, T low, T high, int base = 10) {
  const std::optional<T> value = ParseNumber<T>(text, base);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

// The digits at the start of a text, as far as they go.
template <typename T>
struct LeadingNumber {
  T value{};              // 0 when no digit starts the text
  size_t digits = 0;      // characters read
  bool tooLarge = false;  // the digits name a number beyond T
};
template <typename T>
LeadingNumber<T> ReadLeadingNumber(std::string_view text, int base = 10) {
  static_assert(std::is_unsigned_v<T>);
  LeadingNumber<T> number;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), number.value, base);
  number.digits = static_cast<size_t>(end - text.data());
  number.tooLarge = error == std::errc::result_out_of_range;
  if (error != std::errc()) number.value = 0;
  return number;
}

// The integer at the start of a text as a C "%i" reads a decimal number: white space skipped,
// an optional sign, the digits; 0 when there is none. Values beyond 32 bits are clamped. For
// numbers in outside texts (the service's replies and addresses) that were always read so.
int64_t ScanInteger(std::string_view text);

}  // namespace pspkvx
