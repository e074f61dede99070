// package keygen / sign / verify: the signatures every release carries. PSPKVX installs a
// release only when its signature checks against the public key built into it.
#include <iostream>
#include <optional>
#include <type_traits>

#include "base/FileRead.h"
#include "cli/Cli.h"
#include "update/UpgradeSignature.h"

namespace pspkvx::cli {
namespace {

struct SigningOptions {
  std::string base;
  std::string file;
  std::string key;
  std::string signature;
  std::string output;
};

SigningOptions& Options() {
  static SigningOptions options;
  return options;
}

// The key in a key file (Key: UpgradePublicKey or UpgradeSecretKey).
template <typename Key>
Key ReadKey(const std::string& path, const char* what) {
  const std::vector<uint8_t> text = ReadInputFile(path);
  const std::string_view view(reinterpret_cast<const char*>(text.data()), text.size());
  std::optional<Key> key;
  if constexpr (std::is_same_v<Key, UpgradeSecretKey>)
    key = ParseSecretKeyText(view);
  else
    key = ParsePublicKeyText(view);
  if (!key)
    throw CliError(kExitFailed, path + " holds no " + what + " key (" +
                                    std::to_string(Key().size() * 2) + " hexadecimal digits)");
  return *key;
}

void Write(const std::string& path, const std::string& bytes, platform::FileAccess access) {
  if (!platform::ReplaceFileAtomically(path, bytes.data(), bytes.size(), access))
    throw CliError(kExitFailed, "cannot write " + path);
}

void KeyGen(const Context& context) {
  const SigningOptions& o = Options();
  const std::string secretPath = o.base + ".key";
  const std::string publicPath = o.base + ".pub";
  // A release key is never replaced by accident: releases signed with it would be refused.
  if (platform::QueryLocalPath(secretPath))
    throw CliError(kExitFailed, secretPath + " already exists; remove it first to make a new key");
  RequireOutputFile(secretPath);
  RequireOutputFile(publicPath);
  const auto pair = MakeUpgradeKeyPair();
  if (!pair) throw CliError(kExitFailed, "libsodium could not start");
  Write(secretPath, KeyFileText(pair->secretKey), platform::FileAccess::OwnerOnly);
  Write(publicPath, KeyFileText(pair->publicKey), platform::FileAccess::Kept);
  std::string hex = KeyFileText(pair->publicKey);
  hex.pop_back();
  if (context.json)
    PrintJson({{"secret", secretPath}, {"public", publicPath}, {"publicKey", hex}});
  else
    std::cout << "wrote " << secretPath << " (keep it secret) and " << publicPath << "\npublic key "
              << hex << "\n";
}

void Sign(const Context& context) {
  const SigningOptions& o = Options();
  RequireOutputFile(o.output);
  const UpgradeSecretKey key = ReadKey<UpgradeSecretKey>(o.key, "secret");
  const std::vector<uint8_t> release = ReadInputFile(o.file);
  const std::vector<uint8_t> signature = SignUpgrade(release, key);
  if (signature.empty()) throw CliError(kExitFailed, "libsodium could not start");
  Write(o.output, std::string(signature.begin(), signature.end()), platform::FileAccess::Kept);
  std::string publicHex = KeyFileText(PublicHalf(key));
  publicHex.pop_back();
  if (context.json)
    PrintJson({{"file", o.output}, {"bytes", signature.size()}, {"publicKey", publicHex}});
  else
    std::cout << "wrote " << o.output << " (signed with the key whose public half is " << publicHex
              << ")\n";
}

void Verify(Context& context) {
  const SigningOptions& o = Options();
  const UpgradePublicKey key =
      o.key.empty() ? BuiltInUpgradeKey() : ReadKey<UpgradePublicKey>(o.key, "public");
  const std::vector<uint8_t> release = ReadInputFile(o.file);
  const std::vector<uint8_t> signature = ReadInputFile(o.signature);
  const SignatureCheck check = CheckUpgradeSignature(release, signature, key);
  const bool valid = check == SignatureCheck::Valid;
  const std::string message = valid ? ""
                              : check == SignatureCheck::Missing
                                  ? "the signature file is empty"
                                  : "the signature does not match this file and key";
  if (context.json)
    PrintJson({{"valid", valid}, {"message", message}});
  else
    std::cout << (valid ? "valid" : "not valid: " + message) << "\n";
  if (!valid) {
    context.exitCode = kExitFailed;
    PrintFailureLine(o.file + ": " + message + " (" + o.signature + ")");
  }
}

}  // namespace

void RegisterPackageSigningCommands(CLI::App* package, Context& context) {
  SigningOptions& o = Options();
  auto* keygen = package->add_subcommand(
      "keygen",
      "Make a new signing key pair: BASENAME.key (secret, readable by you alone) and BASENAME.pub "
      "(to build into PSPKVX with -DPSPKVX_UPGRADE_PUBLIC_KEY=BASENAME.pub)");
  keygen->add_option("-o,--output", o.base, "The key files' path without .key or .pub")->required();
  AddJsonFlag(keygen, context);
  keygen->callback([&context] { KeyGen(context); });

  auto* sign = package->add_subcommand(
      "sign",
      "Sign a release file (package container); the service serves the signature beside it");
  sign->add_option("FILE", o.file, "The release file")->required();
  sign->add_option("--key", o.key, "The secret key (package keygen)")->required();
  sign->add_option("-o,--output", o.output, "The signature file to write (64 bytes)")->required();
  AddJsonFlag(sign, context);
  sign->callback([&context] { Sign(context); });

  auto* verify = package->add_subcommand(
      "verify", "Check a release file's signature as PSPKVX will before installing it");
  verify->add_option("FILE", o.file, "The release file")->required();
  verify->add_option("--signature", o.signature, "Its signature file")->required();
  verify->add_option("--key", o.key, "A public key file (default: the one built into PSPKVX)");
  AddJsonFlag(verify, context);
  verify->callback([&context] { Verify(context); });
}

}  // namespace pspkvx::cli
