// package upgrade / package container: making a release. The upgrade package is the updater
// program with the release's files appended (update/UpgradePackage.h); the release container is
// the save container the service serves it in.
#include <filesystem>
#include <iostream>
#include <map>

#include "cli/Cli.h"
#include "update/UpgradePackage.h"

namespace pspkvx::cli {
namespace {

struct PackageOptions {
  std::string updater;
  std::string output;
  std::vector<std::string> files;
  std::string package;
};

PackageOptions& Options() {
  static PackageOptions options;
  return options;
}

void WriteOutput(const std::string& path, std::span<const uint8_t> bytes,
                 platform::FileAccess access) {
  if (!platform::ReplaceFileAtomically(path, bytes.data(), bytes.size(), access))
    throw CliError(kExitFailed, "cannot write " + path);
}

// The archive's names are the files' own names; they must be names the updater takes, once each.
std::vector<std::string> ArchiveNames(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  std::map<std::string, std::string> taken;  // name key -> the path that has it
  for (const std::string& path : paths) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (auto problem = ArchiveNameProblem(name); !problem.empty())
      throw CliError(kExitUsage, "the name of " + path + " cannot go into a package: \"" + name +
                                     "\" " + problem);
    const auto [at, added] = taken.emplace(platform::PathKey(name), path);
    if (!added)
      throw CliError(kExitUsage,
                     "two files have the name \"" + name + "\": " + at->second + " and " + path);
    names.push_back(name);
  }
  return names;
}

void MakeUpgrade(const Context& context) {
  const PackageOptions& o = Options();
  const std::vector<std::string> names = ArchiveNames(o.files);
  RequireOutputFile(o.output);
  const std::vector<uint8_t> updater = ReadInputFile(o.updater);
  std::vector<ArchiveFile> files;
  for (size_t i = 0; i < o.files.size(); ++i)
    files.push_back({names[i], ReadInputFile(o.files[i])});
  const PackageBytes package = BuildUpgradePackage(updater, files);
  if (!package.ok()) throw CliError(kExitFailed, "cannot make the package: " + package.error);
  WriteOutput(o.output, package.bytes, platform::FileAccess::Program);

  const size_t payload = package.bytes.size() - updater.size() - 4;
  if (context.json) {
    nlohmann::json listed = nlohmann::json::array();
    for (const ArchiveFile& file : files)
      listed.push_back({{"name", file.name}, {"bytes", file.bytes.size()}});
    PrintJson({{"file", o.output},
               {"bytes", package.bytes.size()},
               {"payload", payload},
               {"files", listed}});
  } else {
    std::cout << "wrote " << o.output << " (" << package.bytes.size() << " bytes, " << files.size()
              << " files in a payload of " << payload << " bytes)\n";
  }
}

void MakeContainer(const Context& context) {
  const PackageOptions& o = Options();
  RequireOutputFile(o.output);
  const std::vector<uint8_t> package = ReadInputFile(o.package);
  // A release that the updater would refuse is not made.
  const ArchiveReading reading = ReadUpgradePackage(package);
  if (!reading.ok())
    throw CliError(kExitFailed, o.package + " is not an upgrade package: " + reading.reason);
  const ContainerWriteResult container = MakeUpgradeContainer(package);
  if (!container.ok()) throw CliError(kExitFailed, "cannot make the container: " + container.error);
  WriteOutput(o.output, container.container, platform::FileAccess::Kept);
  if (context.json)
    PrintJson({{"file", o.output}, {"bytes", container.container.size()}});
  else
    std::cout << "wrote " << o.output << " (" << container.container.size() << " bytes)\n";
}

}  // namespace

CLI::App* RegisterPackageCommands(CLI::App& app, Context& context) {
  PackageOptions& o = Options();
  auto* package = app.add_subcommand("package", "Making a release of PSPKVX");
  package->require_subcommand(1);

  auto* upgrade = package->add_subcommand(
      "upgrade",
      "Make the upgrade package: the updater program with the files appended. Each file goes in "
      "under its own name, and the updater writes it under that name into PSPKVX's folder");
  upgrade->add_option("--updater", o.updater, "The updater program (upgrade in the program folder)")
      ->required();
  upgrade->add_option("-o,--output", o.output, "The package to write")->required();
  upgrade->add_option("FILES", o.files, "The files of the release")->required();
  AddJsonFlag(upgrade, context);
  upgrade->callback([&context] { MakeUpgrade(context); });

  auto* container = package->add_subcommand(
      "container",
      "Put an upgrade package into the release file the service serves, which PSPKVX downloads");
  container->add_option("FILE", o.package, "The upgrade package")->required();
  container->add_option("-o,--output", o.output, "The release file to write")->required();
  AddJsonFlag(container, context);
  container->callback([&context] { MakeContainer(context); });

  // The signing commands join the group from their own file (RegisterPackageSigningCommands).
  return package;
}

}  // namespace pspkvx::cli
