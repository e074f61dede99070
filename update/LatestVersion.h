// The newest release the service offers: VERSION_URL of its settings page, read from the tags
// the settings page filled, fetching the page first when they hold no value yet.
#pragma once

#include <string>

#include "base/ManualResetEvent.h"
#include "base/MessageBox.h"
#include "online/ServiceSettings.h"
#include "online/TagTable.h"
#include "online/TagTableFetcher.h"
#include "update/UpdateVersion.h"

namespace pspkvx {

struct LatestRelease {
  ReleaseVersion release;  // version 0: unknown
  std::string address;     // the VERSION_URL value (the release container's address)
};

// The settings the lookup works with: the window's tags, their fetcher and the service.
struct ReleaseLookup {
  TagTable& tags;
  TagTableFetcher& fetcher;
  const ServiceEndpoints& endpoints;
};

// VERSION_URL's release. When the tags hold no value, the settings page is fetched (waiting
// while the fetcher is busy); when there is still none, boxes (if given) says string 85 and
// the version is 0. A set stop event ends the lookup early, silently, with version 0.
LatestRelease FetchLatestVersion(const ReleaseLookup& lookup, IMessageBoxHost* boxes,
                                 const ManualResetEvent* stop = nullptr);

// The release's version when the tags already hold VERSION_URL (no fetch, no message), else 0.
int KnownLatestVersion(const TagTable& tags);

}  // namespace pspkvx
