// pspkvx-service: the reference online saves service.
//   pspkvx-service [--db FILE] [--port N] [--bind ADDRESS] [--demo]
//   pspkvx-service [--db FILE] import FOLDER --game NAME --title-id ID [--author A] ...
//   pspkvx-service [--db FILE] publish-upgrade FILE --version N [--key SECRET.key]
//     (also called add-release)
// Serving prints "pspkvx-service listening on http://ADDRESS:PORT" once it accepts requests
// (with --port 0 the system picks the port), then one line per request.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>

#include "base/FileRead.h"
#include "base/ProgramEnvironment.h"
#include "platform/Platform.h"
#include "service/ServiceCatalogue.h"
#include "service/ServiceListener.h"
#include "service/ServiceRoutes.h"
#include "service/ServiceWorkers.h"

namespace {

using namespace pspkvx::service;

httplib::Server* g_server = nullptr;  // for the signal handler only

void StopOnSignal(int) {
  if (g_server) g_server->stop();
}

int Serve(ServiceDatabase& db, const std::string& bind, int port, bool demo) {
  httplib::Server server;
  std::mutex logLock;
  InstallRoutes(server, db, [&logLock](const std::string& line) {
    std::lock_guard<std::mutex> lock(logLock);
    std::cout << line << std::endl;
  });
  const ServiceLimits limits;
  ApplyServiceLimits(server, limits);
  // Bound first, so that a port in use fails at once, before any demo data is generated.
  const BindResult bound = BindService(server, bind, port, limits.listenBacklog);
  if (!bound.ok()) {
    std::cerr << "pspkvx-service: " << bound.error << "\n";
    return 1;
  }
  if (demo && db.IsEmpty()) {
    FillDemoData(db);
    std::cout << "pspkvx-service: demo data generated" << std::endl;
  }
  g_server = &server;
  std::signal(SIGINT, StopOnSignal);
  std::signal(SIGTERM, StopOnSignal);
  std::cout << "pspkvx-service listening on http://" << bind << ":" << bound.port << std::endl;
  const bool ok = server.listen_after_bind();
  g_server = nullptr;
  return ok ? 0 : 1;
}

int Run(int argc, char** argv) {
  CLI::App app{"pspkvx-service: the reference online saves service of PSPKVX"};
  app.set_version_flag("--version", pspkvx::VersionText(), "Print the program's version");
  std::string dbPath = "pspkvx-service.db";
  std::string bind = "127.0.0.1";
  int port = 8377;
  bool demo = false;
  app.add_option("--db", dbPath, "The SQLite database (created with its schema when new)");
  app.add_option("--port", port, "The port to serve on (0: any free port)")
      ->check(CLI::Range(0, 65535));
  app.add_option("--bind", bind, "The address to serve on");
  app.add_flag("--demo", demo, "Fill an empty database with generated demo data");

  ImportRequest import;
  auto* importCommand = app.add_subcommand("import", "Add a save folder as a save");
  importCommand->add_option("FOLDER", import.folder, "The save folder")->required();
  importCommand->add_option("--game", import.game, "The game's name")->required();
  importCommand->add_option("--title-id", import.titleId, "The game's product code")->required();
  importCommand->add_option("--author", import.author, "Who uploaded it");
  importCommand->add_option("--description", import.description, "What the save holds");
  importCommand->add_option("--name", import.name, "The save's name (default: the folder's)");
  bool community = false;
  importCommand->add_flag("--community", community, "List it in the community section");

  std::string releaseFile;
  std::string keyFile;
  int version = 0;
  auto* releaseCommand = app.add_subcommand(
      "publish-upgrade",
      "Publish an upgrade package (pspkvx-cli package upgrade) as the newest release, signed");
  releaseCommand->alias("add-release");
  releaseCommand->add_option("FILE", releaseFile, "The upgrade package")->required();
  releaseCommand->add_option("--version", version, "Its version times 100, e.g. 116")->required();
  releaseCommand->add_option("--key", keyFile,
                             "The secret key to sign it with (pspkvx-cli package keygen; default: "
                             "the build's development key)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end with 0; any other usage error with 2 (CLI11's own codes would
    // tell a script nothing).
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    ServiceDatabase db(dbPath);
    if (*importCommand) {
      import.section = community ? kSectionCommunity : kSectionOfficial;
      const int64_t id = ImportSaveFolder(db, import);
      std::cout << "imported save " << id << "\n";
      return 0;
    }
    if (*releaseCommand) {
      const pspkvx::WholeFile file = pspkvx::ReadWholeFile(releaseFile);
      if (!file.ok()) throw CatalogueError(file.error);
      const std::string bytes(file.bytes.begin(), file.bytes.end());
      if (keyFile.empty() && pspkvx::platform::QueryLocalPath(PSPKVX_DEV_SECRET_KEY))
        keyFile = PSPKVX_DEV_SECRET_KEY;
      std::optional<pspkvx::UpgradeSecretKey> key;
      if (!keyFile.empty()) key = ReadSecretKeyFile(keyFile);
      std::cout << "added release " << AddRelease(db, version, bytes, key ? &*key : nullptr)
                << (key ? ", signed with " + keyFile : ", unsigned: PSPKVX will refuse it") << "\n";
      return 0;
    }
    return Serve(db, bind, port, demo);
  } catch (const std::exception& e) {
    std::cerr << "pspkvx-service: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (...) {
    std::fputs("pspkvx-service: unexpected failure before the command ran\n", stderr);
    return 1;
  }
}
