// The service's routes on a real HTTP server on a loopback port the system picks, over a
// database the fixture fills; requests go through a plain HTTP client, and replies are read with
// the client's own reply reader.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <mutex>
#include <thread>

#include "online/ReplyLines.h"
#include "online/ServiceTags.h"
#include "online/TagTable.h"
#include "service/ServiceDatabase.h"
#include "service/ServiceRoutes.h"
#include "support/TempDir.h"

namespace pspkvx::service {

class RunningService {
 public:
  explicit RunningService(ServiceDatabase& db) {
    InstallRoutes(server_, db, [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      log_.push_back(line);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~RunningService() {
    server_.stop();
    thread_.join();
  }

  httplib::Result Get(const std::string& target, const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", port_);
    client.set_keep_alive(false);
    return client.Get(target.c_str(), headers);
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Log() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> log_;
};

// A reply read the way the request worker reads it, into a table registered as the main window
// registers it.
struct ClientReading {
  std::unique_ptr<TagTable> table = std::make_unique<TagTable>();
  int result = -1;

  explicit ClientReading(const std::string& body) {
    RegisterServiceTags(*table);
    const std::string text = JoinReplyLines(body);
    result = table->ParseReply(text.c_str(), text.size());
  }
  int Records() const { return table->RecordCount(); }
  std::string Field(int record, const std::string& name) const {
    std::string value = "<missing>";
    table->FieldValue(table->RecordAt(record), name, value);
    return value;
  }
  std::string Value(const std::string& name) const {
    std::string value;
    table->LookupTag(name, value);
    return value;
  }
};

}  // namespace pspkvx::service
