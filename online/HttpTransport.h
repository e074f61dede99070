// Plain HTTP GET on libcurl, the one way the program talks to the online service. Every transfer
// has a connect timeout, fails when nothing arrives for a while, is limited in size, and ends
// early when the caller's stop event is set; a limit crossed is a failure, never a hang.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ManualResetEvent.h"

namespace pspkvx {

struct TransferLimits {
  std::chrono::milliseconds connectTimeout{30000};
  std::chrono::milliseconds idleTimeout{60000};  // a transfer that receives nothing this long
  size_t maxReplyBytes = size_t(4) << 20;        // text replies of the request worker
  size_t maxDownloadBytes = size_t(256) << 20;   // whole-body downloads
};

enum class HttpOutcome {
  Ok,              // a response arrived in full (whatever its HTTP status)
  BadAddress,      // not an http:// or https:// address, or malformed
  ConnectFailed,   // name lookup, connection or connect timeout
  TransferFailed,  // the connection broke or the reply was not HTTP
  TooLarge,        // more than the size limit
  TimedOut,        // nothing received for the idle timeout
  NoMemory,        // the body could not be kept
  Stopped,         // the stop event was set
};

struct HttpResult {
  HttpOutcome outcome = HttpOutcome::TransferFailed;
  long httpStatus = 0;
  std::string body;
  std::string error;  // curl's description of a failure
};

// True for an address whose scheme is http or https (letters in any case).
bool IsHttpAddress(const std::string& address);

struct HttpGetOptions {
  size_t maxBytes = size_t(4) << 20;
  TransferLimits limits;
  const ManualResetEvent* stop = nullptr;
  std::atomic<uint32_t>* received = nullptr;  // running byte count of the body
  std::atomic<int>* phase = nullptr;          // set to 2 (reading) once the server answers
};

// One GET of address, following redirects (http and https only), with no cache.
HttpResult HttpGet(const std::string& address, const HttpGetOptions& options);

}  // namespace pspkvx
