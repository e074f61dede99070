// pspkvx-cli: the scriptable companion of PSPKVX. Exit codes: 0 success, 1 the operation
// failed (reason on stderr), 2 bad usage.
#include <cstdio>
#include <iostream>

#include "base/ProgramEnvironment.h"
#include "cli/Cli.h"

namespace {

int Run(int argc, char** argv) {
  auto platform = pspkvx::platform::CreatePlatform();
  pspkvx::cli::Context context{*platform};
  CLI::App app{"pspkvx-cli: the scriptable companion of PSPKVX"};
  app.set_version_flag("--version", pspkvx::VersionText(), "Print the program's version");
  app.require_subcommand(1);
  pspkvx::cli::RegisterChecksumCommand(app, context);
  pspkvx::cli::RegisterConfigCommands(app, context);
  pspkvx::cli::RegisterSaveCommands(app, context);
  pspkvx::cli::RegisterPspCommands(app, context);
  pspkvx::cli::RegisterOnlineCommands(app, context);
  pspkvx::cli::RegisterStickSaveCommands(app, context);
  pspkvx::cli::RegisterGroupCommands(app, context);
  pspkvx::cli::RegisterMediaCommands(app, context);
  pspkvx::cli::RegisterPhotoCommands(app, context);
  pspkvx::cli::RegisterVideoCommands(app, context);
  pspkvx::cli::RegisterUpdateCommands(app, context);
  pspkvx::cli::RegisterSkinCommands(app, context);
  pspkvx::cli::RegisterPackageSigningCommands(pspkvx::cli::RegisterPackageCommands(app, context),
                                              context);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? pspkvx::cli::kExitOk : pspkvx::cli::kExitUsage;
  } catch (const pspkvx::cli::CliError& e) {
    // A failed operation also answers a script that asked for JSON.
    if (context.json && e.code == pspkvx::cli::kExitFailed)
      pspkvx::cli::PrintJson({{"message", e.what()}});
    pspkvx::cli::PrintFailureLine(e.what());
    return e.code;
  } catch (const std::exception& e) {
    // Whatever a subcommand did not foresee still ends with a message, never an abort.
    pspkvx::cli::PrintFailureLine(std::string("unexpected failure: ") + e.what());
    return pspkvx::cli::kExitFailed;
  }
  return context.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    // Not even the setting up of the commands went through (no memory, say).
    std::fputs("pspkvx-cli: unexpected failure before the command ran\n", stderr);
    return pspkvx::cli::kExitFailed;
  }
}
