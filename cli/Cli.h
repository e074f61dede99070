// Shared pieces of pspkvx-cli: the context every subcommand receives, its exit codes and its
// output helpers. Each group of subcommands lives in its own file and registers itself from
// main.cpp.
#pragma once

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "online/ServiceSettings.h"
#include "platform/Platform.h"

namespace pspkvx::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the operation failed; the reason is on stderr
inline constexpr int kExitUsage = 2;   // bad arguments or a value the record refuses

// Thrown by a subcommand: the message goes to stderr, the code becomes the exit code.
struct CliError : std::runtime_error {
  CliError(int exitCode, const std::string& message)
      : std::runtime_error(message), code(exitCode) {}
  int code;
};

struct Context {
  platform::Platform& platform;
  bool json = false;
  int exitCode = kExitOk;
  // The folder PSPKVX keeps its files in: the one this program lies in.
  std::string ProgramFolder() const;
};

// Adds the --json flag every subcommand takes.
void AddJsonFlag(CLI::App* command, Context& context);

// The whole content of an input file; CliError (exit 1) when it cannot be opened or read.
std::vector<uint8_t> ReadInputFile(const std::string& path);
// CliError (exit 1) unless path is a folder (or nothing, when missingIsFine).
void RequireFolder(const std::string& path, bool missingIsFine);
// CliError (exit 1) unless a file can be written at path (FileRead.h: OutputFileProblem).
void RequireOutputFile(const std::string& path);
// CliError (exit 1) when folder is not a folder or its PSPKV.CFG cannot be read
// (ConfigFileProblem): the defaults would hide that as a first run, and a save would not reach
// the file.
void RequireReadableConfig(const std::string& folder);

// Prints "pspkvx-cli: message" on stderr as one line: line breaks and other control characters
// of the message (some carry names from outside) become spaces.
void PrintFailureLine(const std::string& message);

// Prints a JSON value on one line (bytes that are not UTF-8 are replaced, never dropped
// silently into invalid output).
void PrintJson(const nlohmann::json& value);

// A text whose every byte becomes the character of the same code (U+0000-U+00FF), so that
// no byte of outside data is lost in JSON output.
std::string Latin1ToUtf8(const std::string& bytes);

// The online service as PSPKVX finds it, unless --service says otherwise.
ServiceEndpoints OnlineEndpoints(const Context& context);

void RegisterChecksumCommand(CLI::App& app, Context& context);
void RegisterConfigCommands(CLI::App& app, Context& context);
void RegisterSaveCommands(CLI::App& app, Context& context);
void RegisterPspCommands(CLI::App& app, Context& context);
void RegisterOnlineCommands(CLI::App& app, Context& context);
// "online letters", "online games", "online saves", "online install" and "online picture-key",
// added to the "online" group.
void RegisterOnlineBrowseCommands(CLI::App* online, Context& context);
// Adds "saves list" and, to the "save" group, "install" and "delete".
void RegisterStickSaveCommands(CLI::App& app, Context& context);
// "group new", "group rename" and "group delete".
void RegisterGroupCommands(CLI::App& app, Context& context);
// "catalogue add", "catalogue show", "stick scan" and "send".
void RegisterMediaCommands(CLI::App& app, Context& context);
// Adds "photo convert".
void RegisterPhotoCommands(CLI::App& app, Context& context);
// "update parse-version", "update check" and "update write".
void RegisterUpdateCommands(CLI::App& app, Context& context);
// "video args", "video thumb-args", "video parse-output" and "video is-avc".
void RegisterVideoCommands(CLI::App& app, Context& context);
// "package upgrade" and "package container". Returns the "package" group, so that the
// registration of further package commands (signing) can add them to it.
CLI::App* RegisterPackageCommands(CLI::App& app, Context& context);
// "package keygen", "package sign" and "package verify", into the "package" group.
void RegisterPackageSigningCommands(CLI::App* package, Context& context);
// "skin compose" and "skin region".
void RegisterSkinCommands(CLI::App& app, Context& context);

}  // namespace pspkvx::cli
