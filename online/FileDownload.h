// DownloadFile: one whole response body read into memory, with a running byte count and the
// caller's stop event. The object keeps the result until it is freed or the object goes.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "online/HttpTransport.h"

namespace pspkvx {

class FileDownload {
 public:
  // 0 (no result) for an address that is not HTTP and when the transfer fails: no connection,
  // a broken or stalled transfer, a body over the download limit. Otherwise 1 with the result
  // set; its body is empty when the stop event was set (it is checked before every piece is
  // taken) or the server answered with an HTTP error status.
  int DownloadFile(const std::string& address, const ManualResetEvent* stop = nullptr);

  // The result: a little-endian 32-bit length, then that many body bytes. Null when none.
  const std::vector<uint8_t>* Result() const { return result_ ? &*result_ : nullptr; }
  // The body length stored in the result (0 without one).
  uint32_t ResultLength() const;
  void FreeResult() { result_.reset(); }

  // Bytes received so far in the running download (for a progress display).
  uint32_t Received() const { return received_.load(); }
  // HTTP status of the last download's response (0 when none arrived).
  long HttpStatus() const { return httpStatus_; }

  void SetTransferLimits(const TransferLimits& limits) { limits_ = limits; }

 private:
  std::atomic<uint32_t> received_{0};
  std::optional<std::vector<uint8_t>> result_;
  long httpStatus_ = 0;
  TransferLimits limits_;
};

}  // namespace pspkvx
