// TDMediaItem, the common item of every media manager, and TMediaManager, the owning item list
// with pause all / resume all and the enabled flag.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kivo {

class TMediaManager;

class TDMediaItem {
public:
  explicit TDMediaItem(TMediaManager* manager = nullptr) : manager_(manager) {}
  virtual ~TDMediaItem() = default;
  TDMediaItem(const TDMediaItem&) = delete;
  TDMediaItem& operator=(const TDMediaItem&) = delete;

  virtual bool GetRepeat() { return false; }
  virtual void SetRepeat(bool) {}
  virtual int GetRepeatPosition() { return 0; }
  virtual void SetRepeatPosition(int) {}
  virtual int GetPan() { return 0; }
  virtual int GetVolume() { return 0; }
  virtual void SetPan(int) {}
  virtual void SetVolume(int) {}
  virtual int GetPosition() { return 0; }
  // ms; a negative position is 0. Clears the ended latch.
  void SetPosition(int ms);
  virtual int GetLength() { return 0; }
  // Latched: once reported, it stays true until the position is set.
  bool IsEnded();
  virtual bool IsPlaying() { return false; }
  virtual bool IsPaused() { return false; }
  // With the manager disabled, play is only recorded.
  void Play();
  virtual void Pause() {}
  // After the sound device was lost.
  virtual void Restore() {}

  // Set by the manager on the items it paused.
  bool Mark = false;
  bool PlayRequested() const { return playRequested_; }

protected:
  virtual void DoSetPosition(int) {}
  virtual bool DoIsEnded() { return false; }
  virtual void DoPlay() {}

private:
  TMediaManager* manager_;
  bool ended_ = false;
  bool playRequested_ = false;
};

class TMediaManager {
public:
  TMediaManager() = default;
  virtual ~TMediaManager() = default;
  TMediaManager(const TMediaManager&) = delete;
  TMediaManager& operator=(const TMediaManager&) = delete;

  // The manager owns the item; it lives until RemoveItem or the manager's end.
  TDMediaItem* AddItem(const std::string& fileName);
  void RemoveItem(TDMediaItem* item);
  // Pauses every playing, unpaused, unended item and marks it; resume plays the marked ones.
  virtual void PauseAll();
  virtual void ResumeAll();
  virtual void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  bool Paused() const { return paused_; }
  const std::vector<std::unique_ptr<TDMediaItem>>& Items() const { return items_; }

protected:
  // The item of a file; the playing families override it.
  virtual std::unique_ptr<TDMediaItem> CreateItem(const std::string& fileName);
  void PauseItems();
  void ResumeItems();

  std::vector<std::unique_ptr<TDMediaItem>> items_;
  bool enabled_ = true;
  bool paused_ = false;
};

}  // namespace kivo
