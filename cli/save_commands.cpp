// save pack / check / info: producing save containers and looking into them.
#include <iostream>
#include <vector>

#include "base/StringTable.h"
#include "cli/Cli.h"
#include "saves/ContainerInfo.h"
#include "saves/ContainerValidation.h"
#include "saves/ContainerWriter.h"

namespace pspkvx::cli {
namespace {

struct SaveOptions {
  std::string file;
  std::string folder;
  std::string title;
  std::string output;
};

// What save check reports for each verdict: CheckContainer's code, or -4 / -5 for records
// that an install refuses.
struct CheckReport {
  ContainerFault fault;
  int code;
  const char* meaning;
};
constexpr CheckReport kCheckReports[] = {
    {ContainerFault::None, kContainerValid, "valid container"},
    {ContainerFault::NewerVersion, kContainerNewerVersion, "made for a newer version"},
    {ContainerFault::ChecksumMismatch, kContainerChecksumMismatch, "checksum mismatch"},
    {ContainerFault::NotAContainer, kContainerNotAContainer, "not a container"},
    {ContainerFault::DamagedRecord, -4, "damaged record"},
    {ContainerFault::UnsupportedRecordKind, -5, "unsupported record kind"},
};

const CheckReport& ReportOf(ContainerFault fault) {
  for (const auto& report : kCheckReports)
    if (report.fault == fault) return report;
  return kCheckReports[3];
}

std::string FailureText(const ContainerVerdict& verdict) {
  return std::string(StringText(verdict.messageId)) + " (" + verdict.detail + ")";
}

void Pack(const Context& context, const SaveOptions& options) {
  if (auto problem = ContainerTitleProblem(options.title); !problem.empty())
    throw CliError(kExitUsage, problem);
  RequireFolder(options.folder, false);
  RequireOutputFile(options.output);
  const ContainerWriteResult packed = PackSaveFolder(options.folder, options.title);
  if (!packed.ok()) throw CliError(kExitFailed, packed.error);
  if (!platform::ReplaceFileAtomically(options.output, packed.container.data(),
                                       packed.container.size()))
    throw CliError(kExitFailed, "could not write " + options.output);
  if (context.json)
    PrintJson({{"file", options.output}, {"bytes", packed.container.size()}});
  else
    std::cout << "wrote " << options.output << " (" << packed.container.size() << " bytes)\n";
}

void Check(Context& context, const SaveOptions& options) {
  std::vector<uint8_t> container = ReadInputFile(options.file);
  const ContainerVerdict verdict = CheckAndValidateContainer(container);
  const CheckReport& report = ReportOf(verdict.fault);
  if (context.json)
    PrintJson({{"code", report.code},
               {"meaning", report.meaning},
               {"message", StringText(verdict.messageId)},
               {"detail", Latin1ToUtf8(verdict.detail)}});
  else
    std::cout << report.code << " " << report.meaning << "\n";
  if (!verdict.ok()) {
    PrintFailureLine(FailureText(verdict));
    context.exitCode = kExitFailed;
  }
}

void Info(const Context& context, const SaveOptions& options) {
  std::vector<uint8_t> container = ReadInputFile(options.file);
  const ContainerVerdict verdict = CheckAndValidateContainer(container);
  if (!verdict.ok()) throw CliError(kExitFailed, FailureText(verdict));
  // The body is unscrambled now: read the header and walk the records in place.
  const std::string title = ContainerTitle(
      std::span<const uint8_t, kContainerHeaderSize>(container.data(), kContainerHeaderSize));
  nlohmann::json records = nlohmann::json::array();
  for (size_t offset = kContainerHeaderSize; RecordMayStartAt(container, offset);) {
    const auto record = NextRecord(container, offset);
    if (!record) break;  // not reached: the validation walked the same records
    records.push_back(
        {{"kind", record->kind}, {"name", Latin1ToUtf8(record->name)}, {"length", record->length}});
    offset += record->size;
  }
  if (context.json) {
    PrintJson(
        {{"title", title}, {"folder", Latin1ToUtf8(verdict.folderName)}, {"records", records}});
    return;
  }
  std::cout << "title: " << title << "\nfolder: " << verdict.folderName << "\n";
  for (const auto& record : records)
    std::cout << (record["kind"] == kRecordFolder ? "folder " : "file   ") << record["length"]
              << "\t" << record["name"].get<std::string>() << "\n";
}

}  // namespace

void RegisterSaveCommands(CLI::App& app, Context& context) {
  static SaveOptions options;
  auto* save = app.add_subcommand("save", "Save containers");
  save->require_subcommand(1);

  auto* pack = save->add_subcommand("pack", "Make a save container of a save folder");
  pack->add_option("DIR", options.folder, "The save folder (its name is the save's folder name)")
      ->required();
  pack->add_option("--title", options.title, "The save's title")->required();
  pack->add_option("-o,--output", options.output, "The container file to write")->required();
  AddJsonFlag(pack, context);
  pack->callback([&context] { Pack(context, options); });

  auto* check = save->add_subcommand("check", "Check a save container as an install would");
  check->add_option("FILE", options.file, "The container file")->required();
  AddJsonFlag(check, context);
  check->callback([&context] { Check(context, options); });

  auto* info = save->add_subcommand("info", "Show a save container's title, folder and records");
  info->add_option("FILE", options.file, "The container file")->required();
  AddJsonFlag(info, context);
  info->callback([&context] { Info(context, options); });
}

}  // namespace pspkvx::cli
