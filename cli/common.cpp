#include <iostream>

#include "app/AppConfig.h"
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

void RequireFolder(const std::string& path, bool missingIsFine) {
  if (auto problem = FolderProblem(path, missingIsFine); !problem.empty())
    throw CliError(kExitFailed, problem);
}

void RequireOutputFile(const std::string& path) {
  if (auto problem = OutputFileProblem(path); !problem.empty())
    throw CliError(kExitFailed, problem);
}

void RequireReadableConfig(const std::string& folder) {
  if (auto problem = ConfigFileProblem(folder); !problem.empty())
    throw CliError(kExitFailed, problem);
}

void PrintFailureLine(const std::string& message) {
  std::string line = message;
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  std::cerr << "pspkvx-cli: " << line << "\n";
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
