// Filling the placeholders of the string table's format texts ("%2.1fMb free (%iMb)"), checked:
// a text is formatted only when its placeholders match the values given, kind for kind, so a
// text and its caller that disagree give a visible mistake instead of undefined behaviour.
//
// The placeholders the table uses: "%i" and "%d" for a whole number, "%f" for a real number,
// "%s" for a text, each with an optional "-" or "0" flag, width and precision; "%%" is a
// percent sign. Whole numbers are 64-bit, so sizes above 4 GiB print in full.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <type_traits>

namespace pspkvx {

class FormatArg {
 public:
  enum Kind : char { Integer = 'i', Real = 'f', Text = 's' };

  template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> &&
                                             !std::is_same_v<T, char>,
                                         int> = 0>
  FormatArg(T value) : kind_(Integer), integer_(static_cast<long long>(value)) {}  // NOLINT
  FormatArg(double value) : kind_(Real), real_(value) {}                           // NOLINT
  FormatArg(float value) : kind_(Real), real_(value) {}                            // NOLINT
  FormatArg(std::string value) : kind_(Text), text_(std::move(value)) {}           // NOLINT
  FormatArg(const char* value) : kind_(Text), text_(value ? value : "") {}         // NOLINT

  Kind kind() const { return kind_; }
  long long integer() const { return integer_; }
  double real() const { return real_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  long long integer_ = 0;
  double real_ = 0;
  std::string text_;
};

// The kinds of a format text's placeholders in order ("fi" for "%2.0f%% (%i votes)"); none
// when it holds a placeholder the helper does not take.
std::optional<std::string> FormatKinds(const char* format);

// The text with its placeholders filled; none when they do not match the values.
std::optional<std::string> TryFormat(const char* format, std::span<const FormatArg> args);
inline std::optional<std::string> TryFormat(const char* format,
                                            std::initializer_list<FormatArg> args) {
  return TryFormat(format, std::span<const FormatArg>(args.begin(), args.size()));
}

// The string table's text of id with its placeholders filled. A text that does not match the
// values is given unfilled, after its id, so that the mistake shows.
std::string FormatString(int id, std::initializer_list<FormatArg> args);

}  // namespace pspkvx
