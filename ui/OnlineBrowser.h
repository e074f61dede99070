// The online page's browser: the letter index, the games of a letter and the saves of a game in
// the page's left list, fetched by the background worker one cycle at a time. The window thread
// only records what the user asks for (a row clicked, Back, Refresh); the worker switches views,
// fetches and fills the list.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "base/ManualResetEvent.h"
#include "online/OnlineRows.h"
#include "online/ServiceSettings.h"
#include "online/TagTableFetcher.h"
#include "online/ThumbnailCache.h"
#include "ui/ListModel.h"

namespace pspkvx {

enum OnlineView : int {
  ViewLetters = 0,
  ViewGames = 1,
  ViewSaves = 2,
  ViewReloadSaves = 5,
};

// The highlight of the chosen save, as a Windows colour value (0x00BBGGRR).
inline constexpr uint32_t kSelectedSaveColour = 0xE64B4B;

// What the browser shows its work through.
class IOnlineBrowserHost : public ISettingsFetchHost {
 public:
  virtual std::string StatusText() const = 0;
};

class OnlineBrowser {
 public:
  struct Pauses {
    std::chrono::milliseconds emptyIndex{1000};  // before an empty letter index is fetched again
    std::chrono::milliseconds letters{100};      // a loaded letter index
    std::chrono::milliseconds games{50};         // a games list with no new picture
    std::chrono::milliseconds saves{100};        // a saves list with no new picture
  };

  // region gives the service region (OnlineRegion) at the moment of a request.
  OnlineBrowser(TagTableFetcher& fetcher, const ServiceEndpoints& endpoints, ListModel& list,
                ThumbnailCache& pictures, IOnlineBrowserHost& host, std::function<int()> region);

  // The worker: one cycle of the browser while the online page is current (false, at once,
  // otherwise). It waits its pause before it returns.
  bool RunCycle(const ManualResetEvent& stop);

  // The window thread.
  void ClickRow(size_t row);
  void Back();
  void Refresh();
  // The page is entered again: its current view is fetched anew.
  void PageEntered() { reloadRequest_ = 0; }

  int CurrentView() const { return currentView_.load(); }
  int RequestedView() const { return requestedView_.load(); }
  char Letter() const { return letter_.load(); }
  int SelectedGame() const { return selectedGame_.load(); }
  ChosenGame SelectedGameTexts() const;
  int SelectedSave() const { return selectedSave_.load(); }
  // The chosen save's row, read under the list's lock; none without a chosen save.
  std::optional<OnlineSaveChoice> SelectedSaveChoice() const;
  unsigned RequestCounter() const { return counter_.load(); }

  void SetPauses(const Pauses& pauses) { pauses_ = pauses; }

 private:
  void LoadLetters(const ManualResetEvent& stop);
  void LoadGames(const ManualResetEvent& stop);
  void LoadSaves(const ManualResetEvent& stop);
  // Hands the finished pictures to the rows whose key column holds their key.
  bool ApplyPictures(size_t keyColumn);
  // The loading text while a list is fetched; cleared afterwards unless another text replaced it.
  void Prepare(int statusText);
  void Finished(int statusText);
  void Pause(const ManualResetEvent& stop, std::chrono::milliseconds pause);
  std::string Value(const char* key) const;

  TagTableFetcher& fetcher_;
  const ServiceEndpoints& endpoints_;
  ListModel& list_;
  ThumbnailCache& pictures_;
  IOnlineBrowserHost& host_;
  std::function<int()> region_;
  Pauses pauses_;

  // Written by the window thread (the worker clears the reload request and, at a switch, the
  // chosen save); read by the worker.
  std::atomic<int> currentView_{ViewLetters};
  std::atomic<int> requestedView_{ViewLetters};
  std::atomic<int> reloadRequest_{-1};
  std::atomic<char> letter_{'A'};
  std::atomic<int> selectedGame_{-1};
  std::atomic<int> selectedSave_{-1};
  std::atomic<unsigned> counter_{0};
  mutable std::mutex gameMutex_;
  ChosenGame chosenGame_;
  ThumbnailCache::Picture chosenPicture_;

  // The worker's own.
  bool loaded_ = false;
  bool settingsFetched_ = false;
  bool reloadSaves_ = false;
  std::string lastSavesAddress_;
  std::optional<OnlineSaveChoice> keptSave_;  // the chosen save across a reload
};

}  // namespace pspkvx
