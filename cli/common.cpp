#include <iostream>

#include "base/FileRead.h"
#include "base/ProgramEnvironment.h"
#include "cli/Cli.h"

namespace pspkvx::cli {

std::string Context::ProgramFolder() const {
  return FindProgramFolder(platform);
}

void AddJsonFlag(CLI::App* command, Context& context) {
  command->add_flag("--json", context.json, "Print the result as JSON");
}

std::vector<uint8_t> ReadInputFile(const std::string& path) {
  WholeFile file = ReadWholeFile(path);
  if (!file.ok()) throw CliError(kExitFailed, file.error);
  return std::move(file.bytes);
}

void PrintJson(const nlohmann::json& value) {
  std::cout << value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace pspkvx::cli
