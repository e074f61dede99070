// The online lists against the reference service, in this process on the loopback: a letter
// index, a games list of 200 games and a saves list of 100 saves from request to rows (fetch,
// parse, rows); 100 pictures from the first request to the last one in the cache; and, while
// the pictures arrive, how long a reader of the list (the window painting it) waits at worst.
// Run: build/release/bench/pspkvx_online_bench
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "../BenchSupport.h"
#include "online/OnlineRows.h"
#include "online/ServiceTags.h"
#include "online/TagTableFetcher.h"
#include "online/ThumbnailCache.h"
#include "service/DemoIcon.h"
#include "service/ServiceDatabase.h"
#include "service/ServiceListener.h"
#include "service/ServiceRoutes.h"
#include "ui/ListModel.h"

namespace {

using namespace pspkvx;
using Clock = std::chrono::steady_clock;

constexpr int kGames = 200;
constexpr int kSaves = 100;

// The reference service with 200 games under "Z", the first with 100 saves, each game with a
// picture of its own.
class LoadedService {
 public:
  LoadedService() : db_(folder_.path() + "/bench.db") {
    for (int i = 0; i < kGames; ++i) {
      const std::string code = "ULUS1" + std::to_string(1000 + i);
      const std::string picture = code + ".png";
      db_.PutPicture(picture, service::MakeIconPng(code));
      const int64_t game = db_.AddGame("Zeta " + std::to_string(i), code, "2008-01-01", picture);
      const int saves = i == 0 ? kSaves : 1;
      for (int s = 0; s < saves; ++s) {
        service::NewSave save;
        save.gameId = game;
        save.name = "Save " + std::to_string(s);
        save.description = "Everything unlocked";
        save.author = "bench";
        save.posted = "2008-02-02";
        save.rating = 80;
        save.votes = 3;
        save.container = std::string(20000, 's');
        db_.AddSave(save);
      }
      if (i == 0) firstGame_ = game;
    }
    service::InstallRoutes(server_, db_, {});
    port_ = service::BindService(server_, "127.0.0.1", 0).port;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    RegisterServiceTags(table_);
  }
  ~LoadedService() {
    server_.stop();
    thread_.join();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  int64_t FirstGame() const { return firstGame_; }
  TagTableFetcher& Fetcher() { return fetcher_; }

 private:
  bench::BenchFolder folder_;
  service::ServiceDatabase db_;
  httplib::Server server_;
  int port_ = 0;
  int64_t firstGame_ = 0;
  std::thread thread_;
  TagTable table_;
  TagTableFetcher fetcher_{table_};
};

LoadedService& Service() {
  static LoadedService service;
  return service;
}

void BM_LetterIndexToRows(benchmark::State& state) {
  LoadedService& service = Service();
  ListModel list;
  for (auto _ : state) {
    const FetchResult reply = service.Fetcher().Fetch(
        LetterIndexAddress(service.Base() + service::kIndexPath + "?", kRegionNone));
    std::vector<ListRow> rows;
    for (std::string& text : LetterIndexRows(reply))
      rows.push_back(ListRow{{std::move(text)}, {}, false, nullptr});
    list.SetRows(std::move(rows));
  }
  state.counters["rows"] = static_cast<double>(list.RowCount());
}
BENCHMARK(BM_LetterIndexToRows)->Unit(benchmark::kMillisecond);

void BM_GamesListOf200ToRows(benchmark::State& state) {
  LoadedService& service = Service();
  ListModel list;
  ThumbnailCache pictures;
  unsigned counter = 0;
  for (auto _ : state) {
    const FetchResult reply = service.Fetcher().Fetch(
        GamesListAddress(service.Base() + service::kGamesPath + "?", kRegionNone, 'Z', counter++));
    std::vector<ListRow> rows;
    for (const ReplyRecord& record : reply.records) {
      GameRowTexts texts = GameRowOf(record);
      const ThumbnailCache::Lookup picture = pictures.GetThumbnail(texts.pictureAddress);
      texts.columns[GameColumnPictureKey] = picture.key;
      rows.push_back(ListRow{std::move(texts.columns), {}, false, picture.picture});
    }
    list.SetRows(std::move(rows));
  }
  state.counters["rows"] = static_cast<double>(list.RowCount());
}
BENCHMARK(BM_GamesListOf200ToRows)->Unit(benchmark::kMillisecond);

void BM_SavesListOf100ToRows(benchmark::State& state) {
  LoadedService& service = Service();
  ListModel list;
  ChosenGame game;
  game.url =
      service.Base() + service::kSavesPath + "?game_id=" + std::to_string(service.FirstGame());
  unsigned counter = 0;
  for (auto _ : state) {
    const FetchResult reply = service.Fetcher().Fetch(SavesListAddress(game.url, counter++));
    std::vector<ListRow> rows;
    for (const ReplyRecord& record : reply.records)
      rows.push_back(ListRow{SaveRowOf(record, game).columns, {}, false, nullptr});
    list.SetRows(std::move(rows));
  }
  state.counters["rows"] = static_cast<double>(list.RowCount());
}
BENCHMARK(BM_SavesListOf100ToRows)->Unit(benchmark::kMillisecond);

// 100 pictures into a fresh cache, handed to 200 rows as they arrive, while another thread
// reads the rows as a painter would; "worst_read_ms" is the longest such read.
void BM_HundredPicturesReachTheRows(benchmark::State& state) {
  LoadedService& service = Service();
  double worstRead = 0;
  for (auto _ : state) {
    ThumbnailCache pictures;
    ListModel list;
    std::vector<ListRow> rows;
    for (int i = 0; i < 100; ++i) {
      const std::string address =
          service.Base() + service::kPicturePrefix + "ULUS1" + std::to_string(1000 + i) + ".png";
      const std::string key = pictures.GetThumbnail(address).key;
      rows.push_back(ListRow{{"", "game", "", "", "", key}, {}, false, nullptr});
      rows.push_back(ListRow{{"", "again", "", "", "", key}, {}, false, nullptr});
    }
    list.SetRows(std::move(rows));
    std::atomic<bool> done{false};
    std::thread painter([&] {
      while (!done) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(list.Rows());
        worstRead = std::max(
            worstRead, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
      }
    });
    size_t arrived = 0;
    while (arrived < 100) {
      pictures.ApplyThumbnails([&](const std::string& key, const ThumbnailCache::Picture& picture) {
        ++arrived;
        list.Edit([&](std::vector<ListRow>& all) {
          for (ListRow& row : all)
            if (row.columns[5] == key) row.pictureBytes = picture;
        });
      });
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    painter.join();
  }
  state.counters["worst_read_ms"] = worstRead;
}
BENCHMARK(BM_HundredPicturesReachTheRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
