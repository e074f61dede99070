#include "update/UpgradeSignature.h"

#include <sodium.h>

#include <algorithm>

namespace pspkvx {
namespace {

static_assert(crypto_sign_PUBLICKEYBYTES == kUpgradePublicKeyBytes);
static_assert(crypto_sign_SECRETKEYBYTES == kUpgradeSecretKeyBytes);
static_assert(crypto_sign_BYTES == kUpgradeSignatureBytes);

// sodium_init may be called from any thread any number of times; below 0 it could not start.
bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

SignatureCheck CheckUpgradeSignature(std::span<const uint8_t> container,
                                     std::span<const uint8_t> signature,
                                     const UpgradePublicKey& key) {
  if (signature.empty()) return SignatureCheck::Missing;
  if (signature.size() != kUpgradeSignatureBytes || !SodiumReady()) return SignatureCheck::Wrong;
  return crypto_sign_verify_detached(signature.data(), container.data(), container.size(),
                                     key.data()) == 0
             ? SignatureCheck::Valid
             : SignatureCheck::Wrong;
}

std::optional<UpgradeKeyPair> MakeUpgradeKeyPair() {
  if (!SodiumReady()) return std::nullopt;
  UpgradeKeyPair pair;
  crypto_sign_keypair(pair.publicKey.data(), pair.secretKey.data());
  return pair;
}

std::vector<uint8_t> SignUpgrade(std::span<const uint8_t> container,
                                 const UpgradeSecretKey& secretKey) {
  if (!SodiumReady()) return {};
  std::vector<uint8_t> signature(kUpgradeSignatureBytes);
  crypto_sign_detached(signature.data(), nullptr, container.data(), container.size(),
                       secretKey.data());
  return signature;
}

std::string KeyFileText(std::span<const uint8_t> key) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(key.size() * 2 + 1);
  for (const uint8_t byte : key) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  text += '\n';
  return text;
}

std::optional<std::vector<uint8_t>> ParseKeyFileText(std::string_view text, size_t bytes) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  if (text.size() != bytes * 2) return std::nullopt;
  std::vector<uint8_t> key(bytes);
  for (size_t i = 0; i < bytes; ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return key;
}

namespace {

template <typename Key>
std::optional<Key> ParseKeyText(std::string_view text) {
  const auto bytes = ParseKeyFileText(text, Key().size());
  if (!bytes) return std::nullopt;
  Key key{};
  std::copy(bytes->begin(), bytes->end(), key.begin());
  return key;
}

}  // namespace

std::optional<UpgradePublicKey> ParsePublicKeyText(std::string_view text) {
  return ParseKeyText<UpgradePublicKey>(text);
}

std::optional<UpgradeSecretKey> ParseSecretKeyText(std::string_view text) {
  return ParseKeyText<UpgradeSecretKey>(text);
}

UpgradePublicKey PublicHalf(const UpgradeSecretKey& secretKey) {
  UpgradePublicKey key{};
  std::copy(secretKey.end() - kUpgradePublicKeyBytes, secretKey.end(), key.begin());
  return key;
}

}  // namespace pspkvx
