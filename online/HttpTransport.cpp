#include "online/HttpTransport.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <new>

namespace pspkvx {
namespace {

using Clock = std::chrono::steady_clock;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What the callbacks of one transfer share.
struct Transfer {
  const HttpGetOptions* options = nullptr;
  std::string body;
  int64_t lastDataTicks = 0;  // the callbacks all run on the transfer's own thread
  bool stopped = false;
  bool tooLarge = false;
  bool timedOut = false;
  bool noMemory = false;

  void Touch() { lastDataTicks = Clock::now().time_since_epoch().count(); }
  bool Stopping() const { return options->stop && options->stop->IsSet(); }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (t->Stopping()) {
    t->stopped = true;
    return 0;  // aborts the transfer
  }
  if (t->body.size() + n > t->options->maxBytes) {
    t->tooLarge = true;
    return 0;
  }
  try {
    t->body.append(data, n);
  } catch (const std::bad_alloc&) {
    t->noMemory = true;
    return 0;
  }
  if (t->options->received) *t->options->received += static_cast<uint32_t>(n);
  t->Touch();
  return n;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  if (t->options->phase) t->options->phase->store(2);
  t->Touch();
  return size * count;
}

// Called once the connection stands, before the request goes out: the idle time counts from
// here, so a slow connect is judged by the connect timeout alone.
int OnConnected(void* user, char*, char*, int, int) {
  static_cast<Transfer*>(user)->Touch();
  return CURL_PREREQFUNC_OK;
}

// Called by libcurl at least about once a second while the transfer runs.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* t = static_cast<Transfer*>(user);
  if (t->Stopping()) {
    t->stopped = true;
    return 1;
  }
  const auto idle = Clock::now() - Clock::time_point(Clock::duration(t->lastDataTicks));
  if (idle > t->options->limits.idleTimeout) {
    t->timedOut = true;
    return 1;
  }
  return 0;
}

HttpOutcome OutcomeOf(CURLcode code, const Transfer& t, CURL* curl) {
  if (t.stopped) return HttpOutcome::Stopped;
  if (t.tooLarge) return HttpOutcome::TooLarge;
  if (t.timedOut) return HttpOutcome::TimedOut;
  if (t.noMemory) return HttpOutcome::NoMemory;
  switch (code) {
    case CURLE_OK:
      return HttpOutcome::Ok;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return HttpOutcome::BadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      return HttpOutcome::ConnectFailed;
    case CURLE_FILESIZE_EXCEEDED:
      return HttpOutcome::TooLarge;
    case CURLE_OPERATION_TIMEDOUT: {
      curl_off_t connectTime = 0;
      curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
      return connectTime == 0 ? HttpOutcome::ConnectFailed : HttpOutcome::TimedOut;
    }
    default:
      return HttpOutcome::TransferFailed;
  }
}

}  // namespace

bool IsHttpAddress(const std::string& address) {
  auto startsWith = [&](const char* scheme) {
    for (size_t i = 0; scheme[i]; ++i)
      if (i >= address.size() || std::tolower(static_cast<unsigned char>(address[i])) != scheme[i])
        return false;
    return true;
  };
  return startsWith("http://") || startsWith("https://");
}

HttpResult HttpGet(const std::string& address, const HttpGetOptions& options) {
  HttpResult result;
  if (!IsHttpAddress(address)) {
    result.outcome = HttpOutcome::BadAddress;
    result.error = "not an HTTP address";
    return result;
  }
  InitCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) {
    result.error = "cannot start a transfer";
    return result;
  }
  Transfer transfer;
  transfer.options = &options;
  transfer.Touch();
  // Never a cached copy: the service's replies change between requests.
  std::unique_ptr<curl_slist, ListDeleter> headers(
      curl_slist_append(curl_slist_append(nullptr, "Cache-Control: no-cache"), "Pragma: no-cache"));

  CURL* c = curl.get();
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(c, CURLOPT_URL, address.c_str());
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(options.limits.connectTimeout.count()));
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(c, CURLOPT_PREREQDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

  const CURLcode code = curl_easy_perform(c);
  result.outcome = OutcomeOf(code, transfer, c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  if (result.outcome == HttpOutcome::Ok)
    result.body = std::move(transfer.body);
  else
    result.error = errorText[0] ? errorText : curl_easy_strerror(code);
  return result;
}

}  // namespace pspkvx
