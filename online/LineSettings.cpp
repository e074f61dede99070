#include "online/LineSettings.h"

#include <string_view>

#include "base/StringTable.h"

namespace pspkvx {
namespace {

void Show(IMessageBoxHost* messages, int textId) {
  if (messages) ShowMessage(*messages, StringOf(textId));
}

}  // namespace

bool LineSettings::LoadLineSettings(const std::string& pageAddress, IMessageBoxHost* messages) {
  HttpGetOptions options;
  options.limits = limits_;
  options.maxBytes = limits_.maxReplyBytes;
  const HttpResult page = HttpGet(pageAddress, options);
  if (page.outcome != HttpOutcome::Ok) {
    Show(messages, IDS_NO_ONLINE_SERVER);
    return false;
  }
  const std::pair<std::string_view, std::string*> keys[] = {{"SAVES_URL=", &savesUrl_},
                                                            {"UPLOAD_URL=", &uploadUrl_},
                                                            {"PNG_URL=", &pngUrl_},
                                                            {"CODELIST_URL=", &codelistUrl_},
                                                            {"VERSION_URL=", &versionUrl_}};
  std::string_view rest = page.body;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.size() <= 10) continue;
    for (const auto& [prefix, value] : keys) {
      if (line.substr(0, prefix.size()) == prefix) {
        value->assign(line.substr(prefix.size()));
        break;
      }
    }
  }
  loaded_ = true;
  return true;
}

std::string LineSettings::SavesUrlOrLoad(const std::string& pageAddress,
                                         IMessageBoxHost* messages) {
  std::string url = SavesUrl();
  if (url.empty()) {
    LoadLineSettings(pageAddress, messages);
    url = SavesUrl();
    if (url.empty()) Show(messages, IDS_INTERNET_NOT_WORKING);
  }
  return url;
}

}  // namespace pspkvx
