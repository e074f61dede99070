#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "app/RecordChecksum.h"
#include "cli/Cli.h"

namespace pspkvx::cli {

void RegisterChecksumCommand(CLI::App& app, Context& context) {
  auto* command = app.add_subcommand("checksum", "RecordChecksum of a file's bytes");
  static std::string file;
  command->add_option("FILE", file, "The file to sum")->required();
  AddJsonFlag(command, context);
  command->callback([&context] {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw CliError(kExitFailed, "cannot open " + file);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (in.bad()) throw CliError(kExitFailed, "cannot read " + file);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", RecordChecksum(bytes.data(), bytes.size()));
    if (context.json)
      PrintJson({{"checksum", hex}});
    else
      std::cout << hex << "\n";
  });
}

}  // namespace pspkvx::cli
