// Signed releases: every upgrade the service offers carries an Ed25519 signature (libsodium) over
// the bytes of its release container, served beside it at the release's address with ".sig"
// appended. The program checks it against the public key built into it before anything of the
// release is written or started, so that whoever answers for the service's host cannot make the
// program run a program of theirs.
//
// Key files are text: the key's bytes in lowercase hexadecimal on one line. A signature file is
// the 64 signature bytes as they are.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pspkvx {

inline constexpr size_t kUpgradePublicKeyBytes = 32;
inline constexpr size_t kUpgradeSecretKeyBytes = 64;
inline constexpr size_t kUpgradeSignatureBytes = 64;

using UpgradePublicKey = std::array<uint8_t, kUpgradePublicKeyBytes>;
using UpgradeSecretKey = std::array<uint8_t, kUpgradeSecretKeyBytes>;

struct UpgradeKeyPair {
  UpgradePublicKey publicKey{};
  UpgradeSecretKey secretKey{};
};

// The key releases are checked against. It is compiled in from the build's public key file:
// the build folder's development key, or the release key a release build names.
const UpgradePublicKey& BuiltInUpgradeKey();

enum class SignatureCheck {
  Valid,
  Missing,  // no signature came (an empty one)
  Wrong,    // not 64 bytes, or not made with the key's secret half over these bytes
};

SignatureCheck CheckUpgradeSignature(std::span<const uint8_t> container,
                                     std::span<const uint8_t> signature,
                                     const UpgradePublicKey& key);

// A new key pair from the system's random source. False only when libsodium cannot start.
std::optional<UpgradeKeyPair> MakeUpgradeKeyPair();

// The 64-byte signature of container made with secretKey (empty only when libsodium cannot
// start).
std::vector<uint8_t> SignUpgrade(std::span<const uint8_t> container,
                                 const UpgradeSecretKey& secretKey);

// A key's file text: lowercase hexadecimal and a line end.
std::string KeyFileText(std::span<const uint8_t> key);
// The key in a key file's text: exactly bytes bytes in hexadecimal (either case), white space
// around it allowed; none when the text is not that.
std::optional<std::vector<uint8_t>> ParseKeyFileText(std::string_view text, size_t bytes);
// The same for each kind of key.
std::optional<UpgradePublicKey> ParsePublicKeyText(std::string_view text);
std::optional<UpgradeSecretKey> ParseSecretKeyText(std::string_view text);

// The public half of a secret key (libsodium keeps it in the secret key's last 32 bytes).
UpgradePublicKey PublicHalf(const UpgradeSecretKey& secretKey);

}  // namespace pspkvx
