#pragma once
// The program's sound cues: 32 numbered slots, each holding one sound read whole from a
// RIFF/WAVE file with its own open wave-out device, so that playing is a single device
// write. Everything runs on the user-interface thread; the device's end of playback
// arrives as a "done" report through the platform's notify window.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "sound/sound_platform.h"

namespace movarin::sound {

inline constexpr int kSlotCount = 32;  // slots are numbered 1 to 32
inline constexpr int kAllSlots = -1;   // StopWave / UnloadWave on every slot

// Option bits of a loaded sound.
enum SoundOption : std::uint32_t {
  kPlayWhenLoaded = 1,  // start playing at the end of loading
  kUnloadWhenDone = 2,  // empty the slot when its playback ends
  kNoEvents = 4,        // send no notifications for this slot
};

enum class SlotState { kEmpty = 0, kLoaded = 1, kPlaying = 2 };

// A slot number outside 1..32 (and not -1 where every slot is meant): a caller's error.
enum class SlotError { kOutOfRange };
std::string_view SlotErrorText(SlotError error);

// Told what happens to the slots, unless the slot has kNoEvents.
class SoundListener {
 public:
  virtual ~SoundListener() = default;
  virtual void SoundLoaded(int slot) = 0;
  virtual void SoundPlayStart(int slot) = 0;
  virtual void SoundPlayEnd(int slot) = 0;
  virtual void SoundUnloaded(int slot) = 0;
};

class SoundManager final : public WaveOutDoneHandler {
 public:
  // The largest sound file the player reads (it keeps the whole file in memory).
  static constexpr std::size_t kMaxFileBytes = 64u << 20;

  explicit SoundManager(SoundPlatform& platform);
  // Releases every device without notifying anyone.
  ~SoundManager() override;
  SoundManager(const SoundManager&) = delete;
  SoundManager& operator=(const SoundManager&) = delete;

  // One listener or none.
  void SetListener(SoundListener* listener) { listener_ = listener; }

  // Fills a slot from a file (path in UTF-8); false, after a message box where the file
  // is at fault, when the slot is not loaded. A slot outside 1..32 is refused silently.
  bool LoadWave(int slot, std::string_view path, std::uint32_t options);
  // Starts playing a loaded slot; false when nothing was started (empty slot, no
  // device, or the slot was still playing: the call then only stops it).
  bool PlayWave(int slot);
  // Stops one slot, or every slot for kAllSlots. Playback ends when the device reports.
  base::Result<void, SlotError> StopWave(int slot);
  // Empties one slot, or every used slot in order for kAllSlots.
  base::Result<void, SlotError> UnloadWave(int slot);
  // Empties every slot and destroys the notify window.
  void ShutdownSound();

  // The device reported that it handed a slot's buffer back.
  void WaveOutDone(DeviceId device) override;

  SlotState State(int slot) const;
  std::uint32_t Options(int slot) const;

 private:
  struct Slot {
    std::unique_ptr<WaveOut> device;  // null when empty or when no device could be opened
    std::vector<std::uint8_t> file;   // the whole file; the samples are a part of it
    SlotState state = SlotState::kEmpty;
    std::uint32_t options = 0;
    std::uint64_t load_number = 0;  // tells this load from a later one of the same slot
  };

  static bool InRange(int slot) { return slot >= 1 && slot <= kSlotCount; }
  Slot& At(int slot) { return slots_[static_cast<std::size_t>(slot - 1)]; }
  const Slot& At(int slot) const { return slots_[static_cast<std::size_t>(slot - 1)]; }
  void StopSlot(int slot);
  void UnloadSlot(int slot);
  bool Fail(const WaveReadError& error);
  bool Notifies(int slot) const { return listener_ && !(At(slot).options & kNoEvents); }

  SoundPlatform& platform_;
  SoundListener* listener_ = nullptr;
  std::array<Slot, kSlotCount> slots_;
  std::uint64_t loads_ = 0;
};

}  // namespace movarin::sound
