#include "online/FileDownload.h"

#include <cstring>
#include <new>

#include "base/LittleEndian.h"

namespace pspkvx {
namespace {

std::vector<uint8_t> LengthPrefixed(const std::string& body) {
  const auto length = static_cast<uint32_t>(body.size());
  std::vector<uint8_t> buffer(4 + body.size());
  WriteLe32(buffer.data(), length);
  if (!body.empty()) std::memcpy(buffer.data() + 4, body.data(), body.size());
  return buffer;
}

}  // namespace

uint32_t FileDownload::ResultLength() const {
  if (!result_ || result_->size() < 4) return 0;
  return ReadLe32(result_->data());
}

int FileDownload::DownloadFile(const std::string& address, const ManualResetEvent* stop) {
  result_.reset();
  httpStatus_ = 0;
  received_ = 0;
  if (!IsHttpAddress(address)) return 0;
  if (stop && stop->IsSet()) {
    result_ = LengthPrefixed("");
    return 1;
  }
  HttpGetOptions options;
  options.limits = limits_;
  options.maxBytes = limits_.maxDownloadBytes;
  options.stop = stop;
  options.received = &received_;
  HttpResult response = HttpGet(address, options);
  httpStatus_ = response.httpStatus;
  if (response.outcome != HttpOutcome::Ok && response.outcome != HttpOutcome::Stopped) return 0;
  // A stopped download keeps nothing, and an error page is not the file that was asked for.
  if (response.outcome == HttpOutcome::Stopped || response.httpStatus >= 400) response.body.clear();
  try {
    result_ = LengthPrefixed(response.body);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

}  // namespace pspkvx
