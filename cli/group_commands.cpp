// group new / rename / delete: the group folders of the music and photo pages on a memory stick
// (CliStick.h), through the operations the window uses; the name entry is the command's NAME or
// NEW.
#include <iostream>

#include "base/Names.h"
#include "cli/Cli.h"
#include "cli/CliStick.h"
#include "media/GroupFolders.h"
#include "media/MediaStick.h"
#include "psp/StickLayout.h"

namespace pspkvx::cli {
namespace {

struct GroupOptions {
  std::string page;
  std::string stick;
  std::string name;
  std::string newName;
};

StickPage PageOf(const std::string& page) {
  return page == "photo" ? StickPage::Photos : StickPage::Music;
}

// The existing group folder NAME at the top of the page's folder, as a row of its PSP list.
StickRow GroupRow(const MediaStick& stick, const GroupOptions& options) {
  if (!BareNameProblem(options.name).empty())
    throw CliError(kExitUsage, "NAME must be the name of a group folder: " + options.name);
  const std::string folder = ShownFolder(stick, PageOf(options.page), "");
  const std::string path = FindOnStick(stick.platform, folder, options.name);
  const auto status = stick.platform.QueryPath(path);
  if (folder.empty() || !status || status->kind != platform::PathKind::Folder)
    throw CliError(kExitFailed, "there is no group folder " + options.name + " in " + folder);
  return {path.substr(path.find_last_of(platform::kPathSep) + 1), path, true};
}

void Run(const Context& context, const GroupOptions& options, const char* command) {
  const std::string verb = command;
  CliStick cli(options.stick, true);
  CliMediaWindow window(verb == "new" ? options.name : options.newName, "");
  const MediaStick stick{cli.Platform(), cli.Drive(), cli.Files(), cli.Host(), window};
  const StickPage page = PageOf(options.page);

  if (verb == "new") {
    const GroupResult result = NewGroupFolder(stick, page, "");
    if (!result.done)
      throw CliError(kExitFailed,
                     cli.Host().Messages("\"" + options.name +
                                         "\" is empty once cleaned: no folder was created"));
    if (context.json)
      PrintJson({{"folder", result.name}});
    else
      std::cout << "created " << result.name << "\n";
    return;
  }

  const StickRow row = GroupRow(stick, options);
  if (verb == "rename") {
    const GroupResult result = RenameOnStick(stick, page, "", row);
    if (!result.done)
      throw CliError(kExitFailed,
                     cli.Host().Messages("\"" + options.newName +
                                         "\" is empty once cleaned: nothing was renamed"));
    if (context.json)
      PrintJson({{"folder", result.name}});
    else
      std::cout << "renamed " << row.name << " to " << result.name << "\n";
    return;
  }

  const GroupResult result = DeleteOnStick(stick, page, "", {row});
  if (!result.done)
    throw CliError(kExitFailed, cli.Host().Messages("the group folder was not deleted"));
  if (context.json)
    PrintJson({{"deleted", row.name}});
  else
    std::cout << "deleted " << row.name << "\n";
}

}  // namespace

void RegisterGroupCommands(CLI::App& app, Context& context) {
  static GroupOptions options;
  auto* group = app.add_subcommand("group", "The group folders of the music and photo pages");
  group->require_subcommand(1);
  const struct {
    const char* name;
    const char* description;
    const char* nameHelp;
  } kCommands[] = {
      {"new", "Create a group folder", "The new folder's name (cleaned as PSPKVX cleans it)"},
      {"rename", "Rename a group folder", "The group folder's name"},
      {"delete", "Delete a group folder with everything in it", "The group folder's name"},
  };
  for (const auto& c : kCommands) {
    auto* command = group->add_subcommand(c.name, c.description);
    command->add_option("--page", options.page, "The page: music or photo")
        ->required()
        ->check(CLI::IsMember({"music", "photo"}));
    command->add_option("--stick", options.stick, "The stick's root folder")->required();
    command->add_option("NAME", options.name, c.nameHelp)->required();
    if (std::string(c.name) == "rename")
      command->add_option("NEW", options.newName, "The new name (cleaned as PSPKVX cleans it)")
          ->required();
    AddJsonFlag(command, context);
    const char* name = c.name;
    command->callback([&context, name] { Run(context, options, name); });
  }
}

}  // namespace pspkvx::cli
