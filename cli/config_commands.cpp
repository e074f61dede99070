#include <iostream>

#include "app/AppConfig.h"
#include "app/ConfigFields.h"
#include "cli/Cli.h"

namespace pspkvx::cli {
namespace {

struct ConfigOptions {
  std::string folder;
  std::string field;
  std::string value;
};

std::string FolderOr(const Context& context, const std::string& folder) {
  return folder.empty() ? context.ProgramFolder() : folder;
}

void ShowConfig(const Context& context, const std::string& folder) {
  RequireReadableConfig(folder);
  AppConfig config;
  const bool firstRun = LoadConfig(config, folder, context.platform.DocumentsFolder());
  if (context.json) {
    nlohmann::json out = nlohmann::json::object();
    for (const auto& field : ConfigFields()) {
      switch (field.kind) {
        case ConfigFieldKind::Widths: {
          int32_t widths[5];
          ConfigFieldWidths(config, field, widths);
          out[field.name] = widths;
          break;
        }
        case ConfigFieldKind::Int:
        case ConfigFieldKind::UInt:
          out[field.name] = ConfigFieldNumber(config, field);
          break;
        default:
          out[field.name] = Latin1ToUtf8(ConfigFieldText(config, field));
      }
    }
    out["first_run"] = firstRun;
    PrintJson(out);
    return;
  }
  for (const auto& field : ConfigFields()) {
    std::cout << field.name << ": ";
    if (field.kind == ConfigFieldKind::Widths) {
      int32_t widths[5];
      ConfigFieldWidths(config, field, widths);
      for (int i = 0; i < 5; ++i)
        std::cout << (i ? "," : "") << widths[i];
    } else {
      std::cout << ConfigFieldText(config, field);
    }
    std::cout << "\n";
  }
  std::cout << "first_run: " << (firstRun ? 1 : 0) << "\n";
}

void SetConfig(const Context& context, const ConfigOptions& options) {
  const std::string folder = FolderOr(context, options.folder);
  RequireReadableConfig(folder);
  const std::string path = platform::JoinPath(folder, kConfigFileName);
  RequireOutputFile(path);
  AppConfig config;
  LoadConfig(config, folder, context.platform.DocumentsFolder());
  const std::string refusal = SetConfigField(config, options.field, options.value);
  if (!refusal.empty()) throw CliError(kExitUsage, refusal);
  if (!SaveConfig(config, folder)) throw CliError(kExitFailed, "could not write " + path);
  if (context.json)
    PrintJson({{"field", options.field}, {"value", Latin1ToUtf8(options.value)}, {"saved", true}});
  else
    std::cout << options.field << " set and saved\n";
}

}  // namespace

void RegisterConfigCommands(CLI::App& app, Context& context) {
  static ConfigOptions options;
  auto* config = app.add_subcommand("config", "The configuration record PSPKV.CFG");
  config->require_subcommand(1);

  auto* show =
      config->add_subcommand("show", "Load PSPKV.CFG as PSPKVX would and print every field");
  show->add_option("--folder", options.folder,
                   "Folder holding PSPKV.CFG (default: the program folder)");
  AddJsonFlag(show, context);
  show->callback([&context] { ShowConfig(context, FolderOr(context, options.folder)); });

  auto* set = config->add_subcommand("set", "Set one field and save the record");
  set->add_option("FIELD", options.field, "Field name, as config show prints it")->required();
  set->add_option("VALUE", options.value, "New value (widths: five numbers separated by commas)")
      ->required();
  set->add_option("--folder", options.folder,
                  "Folder holding PSPKV.CFG (default: the program folder)");
  AddJsonFlag(set, context);
  set->callback([&context] { SetConfig(context, options); });
}

}  // namespace pspkvx::cli
