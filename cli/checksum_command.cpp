#include <cstdio>
#include <iostream>
#include <vector>

#include "base/RecordChecksum.h"
#include "cli/Cli.h"

namespace pspkvx::cli {

void RegisterChecksumCommand(CLI::App& app, Context& context) {
  auto* command = app.add_subcommand("checksum", "RecordChecksum of a file's bytes");
  static std::string file;
  command->add_option("FILE", file, "The file to sum")->required();
  AddJsonFlag(command, context);
  command->callback([&context] {
    const std::vector<uint8_t> bytes = ReadInputFile(file);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", RecordChecksum(bytes.data(), bytes.size()));
    if (context.json)
      PrintJson({{"checksum", hex}});
    else
      std::cout << hex << "\n";
  });
}

}  // namespace pspkvx::cli
