#include "ui/OnlineBrowser.h"

#include <utility>

#include "base/Numbers.h"
#include "base/StringTable.h"
#include "online/ServiceTags.h"

namespace pspkvx {

OnlineBrowser::OnlineBrowser(TagTableFetcher& fetcher, const ServiceEndpoints& endpoints,
                             ListModel& list, ThumbnailCache& pictures, IOnlineBrowserHost& host,
                             std::function<int()> region)
    : fetcher_(fetcher),
      endpoints_(endpoints),
      list_(list),
      pictures_(pictures),
      host_(host),
      region_(std::move(region)) {}

// ---- Window thread ----

void OnlineBrowser::ClickRow(size_t row) {
  const std::optional<ListRow> clicked = list_.Row(row);
  if (!clicked || clicked->columns.empty()) return;
  switch (currentView_.load()) {
    case ViewLetters:
      if (clicked->columns.size() != 1 || clicked->columns[0].empty()) return;
      letter_ = clicked->columns[0][0];
      requestedView_ = ViewGames;
      break;
    case ViewGames: {
      if (clicked->columns.size() != kGameColumns) return;
      {
        std::lock_guard<std::mutex> lock(gameMutex_);
        chosenGame_ = ChosenGameOf(clicked->columns);
        chosenPicture_ = clicked->pictureBytes;
      }
      selectedGame_ = static_cast<int>(row);
      requestedView_ = ViewSaves;
      break;
    }
    case ViewSaves: {
      if (clicked->columns.size() != kOnlineSaveColumns) return;
      const bool again = selectedSave_.load() == static_cast<int>(row);
      selectedSave_ = again ? -1 : static_cast<int>(row);
      list_.Edit([&](std::vector<ListRow>& rows) {
        for (size_t i = 0; i < rows.size(); ++i)
          rows[i].selected = !again && i == row;
      });
      break;
    }
    default:
      break;
  }
}

void OnlineBrowser::Back() {
  const int view = currentView_.load();
  if (view == ViewGames)
    requestedView_ = ViewLetters;
  else if (view == ViewSaves)
    requestedView_ = ViewGames;
}

void OnlineBrowser::Refresh() {
  if (currentView_.load() == ViewSaves)
    requestedView_ = ViewReloadSaves;
  else
    reloadRequest_ = 0;
}

ChosenGame OnlineBrowser::SelectedGameTexts() const {
  std::lock_guard<std::mutex> lock(gameMutex_);
  return chosenGame_;
}

std::optional<OnlineSaveChoice> OnlineBrowser::SelectedSaveChoice() const {
  std::optional<OnlineSaveChoice> choice;
  list_.Edit([&](std::vector<ListRow>& rows) {
    const int selected = selectedSave_.load();
    if (selected < 0 || static_cast<size_t>(selected) >= rows.size()) return;
    const ListRow& row = rows[static_cast<size_t>(selected)];
    if (row.columns.size() != kOnlineSaveColumns) return;
    choice = OnlineSaveChoice{static_cast<size_t>(selected), row.columns[OnlineSaveGame],
                              row.columns[OnlineSaveUrl], ScanInteger(row.columns[OnlineSaveId]),
                              ScanInteger(row.columns[OnlineSaveBytes])};
  });
  return choice;
}

// ---- Worker ----

bool OnlineBrowser::RunCycle(const ManualResetEvent& stop) {
  if (!host_.OnOnlinePage() || stop.IsSet()) return false;
  switch (currentView_.load()) {
    case ViewLetters:
      if (!settingsFetched_) {
        if (FetchServiceSettings(fetcher_, endpoints_, host_, stop) != SettingsFetchResult::Loaded)
          return true;
        settingsFetched_ = true;
      }
      if (!loaded_)
        LoadLetters(stop);
      else
        Pause(stop, pauses_.letters);
      break;
    case ViewGames:
      if (!loaded_) LoadGames(stop);
      if (loaded_ && !ApplyPictures(GameColumnPictureKey)) Pause(stop, pauses_.games);
      break;
    case ViewSaves:
      if (!loaded_) {
        if (selectedGame_.load() < 0) {
          requestedView_ = ViewGames;
          currentView_ = ViewGames;
          return true;
        }
        LoadSaves(stop);
      }
      if (loaded_ && !ApplyPictures(OnlineSavePictureKey)) Pause(stop, pauses_.saves);
      break;
    case ViewReloadSaves:
      requestedView_ = ViewSaves;
      reloadSaves_ = true;
      break;
    default:
      requestedView_ = ViewLetters;
      break;
  }
  if (stop.IsSet()) return true;
  const int reload = reloadRequest_.exchange(-1);
  if (reload != -1) loaded_ = reload != 0;
  const int requested = requestedView_.load();
  if (requested != currentView_.load()) {
    // A reload of the saves list keeps the chosen save chosen.
    if (requested == ViewReloadSaves) keptSave_ = SelectedSaveChoice();
    list_.Clear();
    list_.SetEmptyText("");
    selectedSave_ = -1;
    currentView_ = requested;
    loaded_ = false;
  }
  return true;
}

void OnlineBrowser::LoadLetters(const ManualResetEvent& stop) {
  Prepare(IDS_RECEIVING_GAME_LIST);
  const std::string index = Value(kSettingsKeys[SettingAlphaKavexUrl]);
  if (!index.empty()) {
    const int region = region_();
    const FetchResult reply = fetcher_.Fetch(LetterIndexAddress(index, region), &stop);
    if (reply.status == FetchStopped && stop.IsSet()) return;
    std::vector<ListRow> rows;
    for (std::string& text : LetterIndexRows(reply))
      rows.push_back(ListRow{{std::move(text)}, {}, false, nullptr});
    list_.SetRows(std::move(rows));
    list_.SetEmptyText(LetterIndexEmptyText(region));
  }
  Finished(IDS_RECEIVING_GAME_LIST);
  loaded_ = true;
  if (list_.RowCount() == 0) {
    Pause(stop, pauses_.emptyIndex);
    loaded_ = false;
  }
}

void OnlineBrowser::LoadGames(const ManualResetEvent& stop) {
  const char letter = letter_.load();
  const std::string address = GamesListAddress(Value(kSettingsKeys[SettingCorvanesUrl]), region_(),
                                               letter, counter_.fetch_add(1));
  Prepare(IDS_RECEIVING_GAME_LIST);
  const FetchResult reply = fetcher_.Fetch(address, &stop);
  if (reply.status == FetchStopped && stop.IsSet()) return;
  std::vector<ListRow> rows;
  if (reply.ok()) {
    for (const ReplyRecord& record : reply.records) {
      GameRowTexts texts = GameRowOf(record);
      const ThumbnailCache::Lookup picture = pictures_.GetThumbnail(texts.pictureAddress);
      texts.columns[GameColumnPictureKey] = picture.key;
      rows.push_back(ListRow{std::move(texts.columns), {}, false, picture.picture});
    }
  }
  const bool empty = rows.empty();
  list_.SetRows(std::move(rows));
  if (empty) list_.SetEmptyText(GamesEmptyText(reply.status, letter));
  Finished(IDS_RECEIVING_GAME_LIST);
  loaded_ = true;
}

void OnlineBrowser::LoadSaves(const ManualResetEvent& stop) {
  ChosenGame game;
  ThumbnailCache::Picture picture;
  {
    std::lock_guard<std::mutex> lock(gameMutex_);
    game = chosenGame_;
    picture = chosenPicture_;
  }
  if (!reloadSaves_) lastSavesAddress_ = game.url;
  reloadSaves_ = false;
  const std::string address = SavesListAddress(lastSavesAddress_, counter_.fetch_add(1));
  Prepare(IDS_RECEIVING_SAVES_LIST);
  const FetchResult reply = fetcher_.Fetch(address, &stop);
  if (reply.status == FetchStopped && stop.IsSet()) {
    reloadSaves_ = true;  // the same list is asked for again
    return;
  }
  // The chosen save stays chosen when the same list comes again (a refresh, the page entered
  // anew).
  const std::optional<OnlineSaveChoice> kept =
      keptSave_ ? std::exchange(keptSave_, std::nullopt) : SelectedSaveChoice();
  int selected = -1;
  std::vector<ListRow> rows;
  if (reply.ok()) {
    for (const ReplyRecord& record : reply.records) {
      SaveRowTexts texts = SaveRowOf(record, game);
      const ThumbnailCache::Picture known =
          picture ? picture : pictures_.GetThumbnail(game.pictureKey).picture;
      const bool again = kept && selected < 0 && texts.saveId == kept->saveId &&
                         texts.columns[OnlineSaveUrl] == kept->url;
      if (again) selected = static_cast<int>(rows.size());
      rows.push_back(ListRow{std::move(texts.columns), {}, again, known});
    }
  }
  const bool empty = rows.empty();
  selectedSave_ = selected;
  list_.SetRows(std::move(rows));
  if (empty) list_.SetEmptyText(SavesEmptyText(reply.status));
  Finished(IDS_RECEIVING_SAVES_LIST);
  loaded_ = true;
}

bool OnlineBrowser::ApplyPictures(size_t keyColumn) {
  return pictures_.ApplyThumbnails([&](const std::string& key,
                                       const ThumbnailCache::Picture& picture) {
    if (!picture) return;
    list_.Edit([&](std::vector<ListRow>& rows) {
      for (ListRow& row : rows)
        if (keyColumn < row.columns.size() && ThumbnailCache::SameKey(row.columns[keyColumn], key))
          row.pictureBytes = picture;
    });
  });
}

void OnlineBrowser::Prepare(int statusText) {
  list_.SetEmptyText("");
  host_.SetStatusText(StringOf(statusText));
  host_.Repaint();
}

void OnlineBrowser::Finished(int statusText) {
  if (host_.StatusText() != StringOf(statusText)) return;
  host_.SetStatusText("");
  host_.Repaint();
}

void OnlineBrowser::Pause(const ManualResetEvent& stop, std::chrono::milliseconds pause) {
  stop.WaitFor(pause);
}

std::string OnlineBrowser::Value(const char* key) const {
  std::string value;
  fetcher_.Table().LookupTag(key, value);
  return value;
}

}  // namespace pspkvx
