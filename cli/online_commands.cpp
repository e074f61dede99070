// reply parse, online settings, online get: the online service's protocol from the command line.
// The browsing commands are in browse_commands.cpp.
#include <iostream>

#include "cli/Cli.h"
#include "online/ReplyLines.h"
#include "online/ServiceSettings.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"

namespace pspkvx::cli {
namespace {

struct OnlineOptions {
  std::string service;  // HOST:PORT from --service; empty: the program folder's setting
  std::string probe;
  std::string file;
  std::string url;
};

OnlineOptions& Options() {
  static OnlineOptions options;
  return options;
}

// The service as PSPKVX finds it, unless --service or --probe say otherwise.
ServiceEndpoints Endpoints(const Context& context) {
  ServiceEndpoints endpoints = OnlineEndpoints(context);
  if (!Options().probe.empty()) endpoints.probeAddress = Options().probe;
  return endpoints;
}

// A table registered as the main window registers it.
std::unique_ptr<TagTable> NewServiceTable() {
  auto table = std::make_unique<TagTable>();
  RegisterServiceTags(*table);
  return table;
}

nlohmann::json RecordsJson(const std::vector<ReplyRecord>& replyRecords) {
  nlohmann::json records = nlohmann::json::array();
  for (const ReplyRecord& record : replyRecords) {
    nlohmann::json fields = nlohmann::json::array();
    for (const auto& [name, value] : record.fields)
      fields.push_back({Latin1ToUtf8(name), Latin1ToUtf8(value)});
    records.push_back(fields);
  }
  return records;
}

// The values of the comment, settings and letter-block entries, in table order.
nlohmann::json ValuesJson(const std::vector<TagEntry>& entries) {
  nlohmann::json values = nlohmann::json::array();
  for (const TagEntry& entry : entries)
    if (entry.kind == TagComment || entry.kind == TagSetting || entry.kind == TagBlock)
      values.push_back({Latin1ToUtf8(entry.tag), Latin1ToUtf8(entry.value)});
  return values;
}

void PrintPairs(const nlohmann::json& pairs, const char* indent) {
  for (const auto& pair : pairs)
    std::cout << indent << pair[0].get<std::string>() << ": " << pair[1].get<std::string>() << "\n";
}

void PrintRecords(const nlohmann::json& records) {
  for (size_t i = 0; i < records.size(); ++i) {
    std::cout << "record " << i << "\n";
    PrintPairs(records[i], "  ");
  }
}

void ParseReplyFile(const Context& context) {
  const std::string& file = Options().file;
  const std::vector<uint8_t> bytes = ReadInputFile(file);
  const std::string body(bytes.begin(), bytes.end());
  const std::string text = JoinReplyLines(body);
  auto table = NewServiceTable();
  const int result = table->ParseReply(text.c_str(), text.size());
  const nlohmann::json records = RecordsJson(table->Records());
  const nlohmann::json values = ValuesJson(table->Entries());
  if (context.json) {
    PrintJson({{"result", result}, {"records", records}, {"values", values}});
    return;
  }
  std::cout << "result: " << result << "\n";
  PrintRecords(records);
  std::cout << "values\n";
  PrintPairs(values, "  ");
}

// What a failed request adds to the output: the address tried and what answered. Only keys
// with a value are added.
void AddFailure(nlohmann::json& out, int status, const FetchDetail& detail) {
  if (!detail.address.empty()) out["address"] = Latin1ToUtf8(detail.address);
  if (detail.httpStatus != 0) out["http_status"] = detail.httpStatus;
  out["error"] = Latin1ToUtf8(DescribeFetch(status, detail));
}

// A failed request ends with exit code 1 and one line on stderr that says what was tried.
void ReportFailure(Context& context, int status, const FetchDetail& detail,
                   const std::string& statusText = {}) {
  context.exitCode = kExitFailed;
  PrintFailureLine(DescribeFetch(status, detail) +
                   (statusText.empty() ? "" : " (PSPKVX shows: " + statusText + ")"));
}

void ShowSettings(Context& context) {
  auto table = NewServiceTable();
  TagTableFetcher fetcher(*table);
  const SettingsAttempt attempt = FetchSettingsOnce(fetcher, Endpoints(context));
  // Only the keys the page gave: a failed fetch has none to show.
  nlohmann::json keys = nlohmann::json::array();
  for (const char* key : kSettingsKeys) {
    std::string value;
    table->LookupTag(key, value);
    if (!value.empty()) keys.push_back({key, Latin1ToUtf8(value)});
  }
  const bool ok = attempt.status == FetchOk;
  if (context.json) {
    nlohmann::json out = {{"status", FetchStatusName(attempt.status)}, {"keys", keys}};
    if (!ok) {
      AddFailure(out, attempt.status, attempt.detail);
      if (!attempt.text.empty()) out["message"] = attempt.text;
    }
    PrintJson(out);
  } else {
    std::cout << "status: " << FetchStatusName(attempt.status) << "\n";
    if (!attempt.text.empty()) std::cout << "message: " << attempt.text << "\n";
    PrintPairs(keys, "");
  }
  if (!ok) ReportFailure(context, attempt.status, attempt.detail, attempt.text);
}

void GetReply(Context& context) {
  std::string address = Options().url;
  if (!address.empty() && address[0] == '/') address = Endpoints(context).serviceBase + address;
  auto table = NewServiceTable();
  TagTableFetcher fetcher(*table);
  const FetchResult reply = fetcher.Fetch(address);
  const nlohmann::json records = RecordsJson(reply.records);
  const nlohmann::json values = ValuesJson(reply.entries);
  if (context.json) {
    nlohmann::json out = {
        {"status", FetchStatusName(reply.status)}, {"records", records}, {"values", values}};
    if (!reply.ok()) AddFailure(out, reply.status, reply.detail);
    PrintJson(out);
  } else {
    std::cout << "status: " << FetchStatusName(reply.status) << "\n";
    PrintRecords(records);
    std::cout << "values\n";
    for (const auto& pair : values)
      if (!pair[1].get<std::string>().empty())
        std::cout << "  " << pair[0].get<std::string>() << ": " << pair[1].get<std::string>()
                  << "\n";
  }
  if (!reply.ok()) ReportFailure(context, reply.status, reply.detail);
}

}  // namespace

ServiceEndpoints OnlineEndpoints(const Context& context) {
  ServiceEndpoints endpoints = LoadServiceEndpoints(context.ProgramFolder());
  if (!Options().service.empty())
    endpoints = EndpointsFor(Options().service, endpoints.probeAddress);
  return endpoints;
}

void RegisterOnlineCommands(CLI::App& app, Context& context) {
  OnlineOptions& o = Options();
  app.add_option("--service", o.service,
                 "The service as HOST:PORT (default: service.host in the program folder, else " +
                     std::string(kDefaultServiceHost) + ")")
      ->check(
          CLI::Validator([](std::string& value) { return HostPortProblem(value); }, "HOST:PORT"));

  auto* reply = app.add_subcommand("reply", "The reader of the service's replies");
  reply->require_subcommand(1);
  auto* parse =
      reply->add_subcommand("parse", "Read a reply file as the request worker does and parse it");
  parse->add_option("FILE", o.file, "The reply")->required();
  AddJsonFlag(parse, context);
  parse->callback([&context] { ParseReplyFile(context); });

  auto* online = app.add_subcommand("online", "Requests to the online saves service");
  online->require_subcommand(1);
  online->fallthrough();
  auto* settings =
      online->add_subcommand("settings", "Fetch the settings page once, as the online worker does");
  settings->add_option("--probe", o.probe,
                       "The public site asked when the service cannot be reached");
  settings->fallthrough();
  AddJsonFlag(settings, context);
  settings->callback([&context] { ShowSettings(context); });

  auto* get = online->add_subcommand("get", "One request through the request worker");
  get->add_option("URL", o.url, "The address (a path starting with / is on the service)")
      ->required();
  get->fallthrough();
  AddJsonFlag(get, context);
  get->callback([&context] { GetReply(context); });

  RegisterOnlineBrowseCommands(online, context);
}

}  // namespace pspkvx::cli
