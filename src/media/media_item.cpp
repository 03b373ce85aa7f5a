// The common media item and the item list of the managers: latches, marks and the enabled flag.
#include "media/media_item.h"

#include <algorithm>

namespace kivo {

void TDMediaItem::SetPosition(int ms) {
  ended_ = false;
  DoSetPosition(std::max(0, ms));
}

bool TDMediaItem::IsEnded() {
  if (!ended_ && DoIsEnded()) ended_ = true;
  return ended_;
}

void TDMediaItem::Play() {
  if (manager_ && !manager_->Enabled()) {
    playRequested_ = true;
    return;
  }
  playRequested_ = false;
  DoPlay();
}

TDMediaItem* TMediaManager::AddItem(const std::string& fileName) {
  std::unique_ptr<TDMediaItem> item = CreateItem(fileName);
  if (!item) return nullptr;
  items_.push_back(std::move(item));
  return items_.back().get();
}

void TMediaManager::RemoveItem(TDMediaItem* item) {
  std::erase_if(items_, [item](const std::unique_ptr<TDMediaItem>& p) { return p.get() == item; });
}

std::unique_ptr<TDMediaItem> TMediaManager::CreateItem(const std::string&) { return std::make_unique<TDMediaItem>(this); }

void TMediaManager::PauseItems() {
  for (auto& item : items_) {
    item->Mark = item->IsPlaying() && !item->IsPaused() && !item->IsEnded();
    if (item->Mark) item->Pause();
  }
}

void TMediaManager::ResumeItems() {
  for (auto& item : items_) {
    if (!item->Mark) continue;
    item->Mark = false;
    item->Play();
  }
}

void TMediaManager::PauseAll() {
  if (!enabled_ || paused_) return;
  paused_ = true;
  PauseItems();
}

void TMediaManager::ResumeAll() {
  if (!enabled_ || !paused_) return;
  paused_ = false;
  ResumeItems();
}

void TMediaManager::SetEnabled(bool enabled) {
  if (!enabled) {
    PauseAll();
    enabled_ = false;
  } else {
    enabled_ = true;
    ResumeAll();
  }
}

}  // namespace kivo
