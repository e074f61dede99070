// An encoder command formed from a fixed argument template ("-y -i \"%s\" -s 320x240 \"%s\""):
// the text, formatted exactly as the template says, for display and for the record; and the
// argument list the child is started with, one argument per token of the template. A value put
// into the template is always exactly one argument, whatever quotes, spaces or shell syntax it
// holds: the text is never split again.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "base/StringFormat.h"

namespace pspkvx {

struct EncoderCommand {
  std::string text;
  std::vector<std::string> argv;  // without the program itself
};

// The template's tokens are separated by single spaces; a token in double quotes stands for the
// text between them. None when the placeholders do not match the values.
std::optional<EncoderCommand> FormEncoderCommand(const char* argumentTemplate,
                                                 std::initializer_list<FormatArg> values);

}  // namespace pspkvx
