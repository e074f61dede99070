// Build tool: the public key the program checks upgrades against, as a source file of the core.
//
//   upgrade_key_tool dev KEYDIR OUT.cpp     the build folder's development key pair
//                                           (KEYDIR/dev-upgrade.key and .pub, made once and kept),
//                                           its public half compiled in
//   upgrade_key_tool public PUBFILE OUT.cpp a release build's own public key compiled in
//
// OUT.cpp is rewritten only when its text changes, so a rebuild recompiles nothing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "update/UpgradeSignature.h"

namespace fs = std::filesystem;
using namespace pspkvx;

namespace {

bool ReadText(const fs::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

bool WriteText(const fs::path& path, const std::string& text, bool ownerOnly) {
  {
    std::ofstream create(path, std::ios::binary | std::ios::trunc);
    if (!create) return false;
  }
  std::error_code error;
  if (ownerOnly)
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                    error);
  if (error) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "upgrade_key_tool: %s\n", message.c_str());
  return 1;
}

int WriteSource(const std::string& publicKeyText, const fs::path& publicFile, const fs::path& out) {
  const auto key = ParsePublicKeyText(publicKeyText);
  if (!key) return Fail(publicFile.string() + " holds no public key (64 hexadecimal digits)");
  std::ostringstream source;
  source << "// Made by tools/upgrade_key_tool from " << publicFile.filename().string()
         << "; do not edit.\n#include \"update/UpgradeSignature.h\"\n\nnamespace pspkvx {\n\n"
         << "const UpgradePublicKey& BuiltInUpgradeKey() {\n  static const UpgradePublicKey key{";
  for (size_t i = 0; i < key->size(); ++i)
    source << (i % 8 == 0 ? "\n      " : " ") << static_cast<int>((*key)[i]) << ",";
  source << "\n  };\n  return key;\n}\n\n}  // namespace pspkvx\n";
  std::string old;
  if (ReadText(out, old) && old == source.str()) return 0;
  fs::create_directories(out.parent_path());
  return WriteText(out, source.str(), false) ? 0 : Fail("cannot write " + out.string());
}

int DevelopmentKey(const fs::path& folder, const fs::path& out) {
  const fs::path secretFile = folder / "dev-upgrade.key";
  const fs::path publicFile = folder / "dev-upgrade.pub";
  std::string secretText;
  if (!ReadText(secretFile, secretText)) {
    const auto pair = MakeUpgradeKeyPair();
    if (!pair) return Fail("libsodium could not start");
    std::error_code error;
    fs::create_directories(folder, error);
    secretText = KeyFileText(pair->secretKey);
    if (!WriteText(secretFile, secretText, true))
      return Fail("cannot write " + secretFile.string());
  }
  const auto secret = ParseSecretKeyText(secretText);
  if (!secret) return Fail(secretFile.string() + " holds no secret key (128 hexadecimal digits)");
  // The public half is always derived again, so the two files never disagree.
  const std::string publicText = KeyFileText(PublicHalf(*secret));
  std::string oldPublic;
  if ((!ReadText(publicFile, oldPublic) || oldPublic != publicText) &&
      !WriteText(publicFile, publicText, false))
    return Fail("cannot write " + publicFile.string());
  return WriteSource(publicText, publicFile, out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode == "dev") return DevelopmentKey(argv[2], argv[3]);
  if (mode == "public") {
    std::string text;
    if (!ReadText(argv[2], text)) return Fail(std::string("cannot read ") + argv[2]);
    return WriteSource(text, argv[2], argv[3]);
  }
  return Fail("usage: upgrade_key_tool dev KEYDIR OUT.cpp | public PUBFILE OUT.cpp");
}
