// update parse-version / check / write: how PSPKVX reads the newest release from the service
// and writes the upgrade program out of a downloaded release.
#include <iostream>

#include "base/LittleEndian.h"
#include "base/ProgramEnvironment.h"
#include "base/StringTable.h"
#include "cli/Cli.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"
#include "update/UpdateVersion.h"
#include "update/UpgradeFile.h"

namespace pspkvx::cli {
namespace {

struct UpdateOptions {
  std::string value;
  std::string file;
  std::string output;
};

UpdateOptions& Options() {
  static UpdateOptions options;
  return options;
}

void ParseVersion(const Context& context) {
  const ReleaseVersion release = ParseVersionUrl(Options().value);
  if (context.json)
    PrintJson({{"version", release.version}, {"size", release.bytes}});
  else
    std::cout << "version " << release.version << ", " << release.bytes << " bytes\n";
}

void Check(const Context& context) {
  TagTable table;
  RegisterServiceTags(table);
  TagTableFetcher fetcher(table);
  const SettingsAttempt attempt = FetchSettingsOnce(fetcher, OnlineEndpoints(context));
  std::string value;
  table.LookupTag(kSettingsKeys[SettingVersionUrl], value);
  if (attempt.status != FetchOk || value.empty())
    throw CliError(kExitFailed,
                   StringText(IDS_UPDATE_LOOKUP_FAILED) + std::string(" (") +
                       (attempt.status != FetchOk ? DescribeFetch(attempt.status, attempt.detail)
                                                  : "the settings page names no release") +
                       ")");
  const ReleaseVersion release = ParseVersionUrl(value);
  const bool newer = release.version > ProgramVersion();
  if (context.json)
    PrintJson({{"latest", release.version}, {"newer", newer}});
  else
    std::cout << "latest " << release.version << (newer ? " (newer)" : " (not newer)") << "\n";
}

void Write(Context& context) {
  const UpdateOptions& o = Options();
  RequireOutputFile(o.output);
  std::vector<uint8_t> buffer = ReadInputFile(o.file);
  if (buffer.size() > UINT32_MAX) throw CliError(kExitFailed, "too large for a release: " + o.file);
  PrependLe32Length(buffer);
  const int code = WriteUpgradeFile(buffer, o.output);
  const std::string message = code == UpgradeWritten ? "" : StringText(UpgradeWriteMessage(code));
  if (context.json)
    PrintJson({{"code", code}, {"message", message}});
  else
    std::cout << (code == UpgradeWritten ? "wrote " + o.output : message) << "\n";
  if (code != UpgradeWritten) {
    context.exitCode = kExitFailed;
    PrintFailureLine(message + " (" + o.file + ", code " + std::to_string(code) + ")");
  }
}

}  // namespace

void RegisterUpdateCommands(CLI::App& app, Context& context) {
  UpdateOptions& o = Options();
  auto* update = app.add_subcommand("update", "PSPKVX's updates: the newest release and its file");
  update->require_subcommand(1);
  auto* parse = update->add_subcommand(
      "parse-version", "The version and the size in bytes a VERSION_URL value names");
  parse->add_option("VALUE", o.value, "The VERSION_URL value")->required();
  AddJsonFlag(parse, context);
  parse->callback([&context] { ParseVersion(context); });

  auto* check = update->add_subcommand(
      "check", "The newest version on the service, and whether it is newer than this one");
  check->fallthrough();
  AddJsonFlag(check, context);
  check->callback([&context] { Check(context); });

  auto* write = update->add_subcommand(
      "write", "Write the upgrade program out of a release file, as PSPKVX does after a download");
  write->add_option("CONTAINER", o.file, "The release (a save container)")->required();
  write->add_option("-o,--output", o.output, "The upgrade program to write")->required();
  AddJsonFlag(write, context);
  write->callback([&context] { Write(context); });
}

}  // namespace pspkvx::cli
