#include "sound/sound_manager.h"

#include <new>

#include "base/files.h"

namespace movarin::sound {

std::string_view SlotErrorText(SlotError) { return "Subscript out of range"; }

SoundManager::SoundManager(SoundPlatform& platform) : platform_(platform) {}

SoundManager::~SoundManager() {
  listener_ = nullptr;
  ShutdownSound();
}

bool SoundManager::Fail(const WaveReadError& error) {
  platform_.ShowMessage(WaveErrorText(error));
  return false;
}

bool SoundManager::LoadWave(int slot, std::string_view path, std::uint32_t options) {
  if (!InRange(slot)) return false;
  UnloadSlot(slot);

  // The file is read whole (and closed) before anything else; the player keeps it.
  std::vector<std::uint8_t> file;
  try {
    auto read = base::ReadWholeFile(path, kMaxFileBytes);
    if (!read) return Fail({WaveError::kCannotOpenFile});
    file = std::move(*read);
  } catch (const std::bad_alloc&) {
    return Fail({WaveError::kCannotOpenFile});
  }

  const auto layout = ReadWaveLayout(file);
  if (!layout) return Fail(layout.error());

  // The notify window is made before the samples are taken: without it no device could
  // report, and the load gives up without a word.
  if (!platform_.NotifyWindowExists() && !platform_.CreateNotifyWindow(*this)) return false;

  const auto samples = WaveSamples(file, *layout);
  if (!samples) return Fail(samples.error());

  Slot& s = At(slot);
  s.file = std::move(file);  // the bytes stay where they are: moving a vector keeps its buffer
  // Whether a device could be opened is not an error of the load: without one the slot
  // is loaded and PlayWave finds no device.
  s.device = platform_.OpenWaveOut(layout->format, *samples);
  s.state = SlotState::kLoaded;
  s.options = options;
  s.load_number = ++loads_;
  if (Notifies(slot)) listener_->SoundLoaded(slot);
  if (options & kPlayWhenLoaded) PlayWave(slot);
  return true;
}

bool SoundManager::PlayWave(int slot) {
  if (!InRange(slot)) return false;
  StopSlot(slot);
  Slot& s = At(slot);
  // A slot still playing was only stopped: its end report has not arrived yet.
  if (s.state != SlotState::kLoaded || !s.device) return false;
  // A write the device refuses starts nothing: the slot stays ready, and no start is
  // reported for a sound that will never end.
  if (!s.device->Write()) return false;
  s.state = SlotState::kPlaying;
  if (Notifies(slot)) listener_->SoundPlayStart(slot);
  return true;
}

void SoundManager::StopSlot(int slot) {
  Slot& s = At(slot);
  if (s.state == SlotState::kPlaying && s.device) s.device->Reset();
}

base::Result<void, SlotError> SoundManager::StopWave(int slot) {
  if (slot == kAllSlots) {
    for (int i = 1; i <= kSlotCount; ++i) StopSlot(i);
    return {};
  }
  if (!InRange(slot)) return SlotError::kOutOfRange;
  StopSlot(slot);
  return {};
}

void SoundManager::UnloadSlot(int slot) {
  Slot& s = At(slot);
  if (s.state == SlotState::kEmpty) return;
  StopSlot(slot);
  s.device.reset();  // unprepares the buffer and closes the device
  s.file = {};
  s.state = SlotState::kEmpty;
  const bool notify = Notifies(slot);
  s.options = 0;
  if (notify) listener_->SoundUnloaded(slot);
}

base::Result<void, SlotError> SoundManager::UnloadWave(int slot) {
  if (slot == kAllSlots) {
    for (int i = 1; i <= kSlotCount; ++i) UnloadSlot(i);
    return {};
  }
  if (!InRange(slot)) return SlotError::kOutOfRange;
  UnloadSlot(slot);
  return {};
}

void SoundManager::ShutdownSound() {
  for (int i = 1; i <= kSlotCount; ++i) UnloadSlot(i);
  if (platform_.NotifyWindowExists()) platform_.DestroyNotifyWindow();
}

void SoundManager::WaveOutDone(DeviceId device) {
  if (device == 0) return;
  int slot = 0;
  for (int i = 1; i <= kSlotCount && slot == 0; ++i) {
    if (At(i).device && At(i).device->id() == device) slot = i;
  }
  if (slot == 0) return;
  // A report can outlive the device it came from: a sound unloaded while playing reports
  // after its device is closed, and a new device may get the same handle. Only a slot
  // that is playing and whose buffer is back has ended.
  Slot& s = At(slot);
  if (s.state != SlotState::kPlaying || !s.device->BufferDone()) return;
  const std::uint64_t load_number = s.load_number;
  if (Notifies(slot)) listener_->SoundPlayEnd(slot);
  // The listener may have unloaded or reloaded the slot meanwhile; that sound is not
  // the one that ended.
  if (s.load_number != load_number || s.state != SlotState::kPlaying) return;
  s.state = SlotState::kLoaded;
  if (s.options & kUnloadWhenDone) UnloadSlot(slot);
}

SlotState SoundManager::State(int slot) const {
  return InRange(slot) ? At(slot).state : SlotState::kEmpty;
}

std::uint32_t SoundManager::Options(int slot) const { return InRange(slot) ? At(slot).options : 0; }

}  // namespace movarin::sound
