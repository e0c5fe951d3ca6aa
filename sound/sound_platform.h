#pragma once
// What the sound manager needs from the platform: a wave-out device per loaded sound,
// the hidden window that receives the devices' "done" reports, and a message box. The
// Windows side implements it over winmm; unit tests use a fake.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "sound/wave_file.h"

namespace movarin::sound {

// A device as the "done" report names it (the device handle's value); 0 is no device.
using DeviceId = std::uintptr_t;

// An open wave-out device with the one buffer it plays, prepared. Destroying it stops
// the device, unprepares the buffer and closes the device, so the device never keeps
// the address of samples that are gone.
class WaveOut {
 public:
  virtual ~WaveOut() = default;
  virtual DeviceId id() const = 0;
  // Queues the whole prepared buffer once; false when the device refused it.
  virtual bool Write() = 0;
  // Stops playback; the device hands the buffer back and reports "done".
  virtual void Reset() = 0;
  // True once the device has handed the buffer back (after the end or a reset).
  virtual bool BufferDone() const = 0;
};

// Receives the devices' "done" reports, on the user-interface thread.
class WaveOutDoneHandler {
 public:
  virtual ~WaveOutDoneHandler() = default;
  virtual void WaveOutDone(DeviceId device) = 0;
};

class SoundPlatform {
 public:
  virtual ~SoundPlatform() = default;

  virtual bool NotifyWindowExists() const = 0;
  // Creates the hidden window that turns the devices' reports into calls of `handler`.
  virtual bool CreateNotifyWindow(WaveOutDoneHandler& handler) = 0;
  virtual void DestroyNotifyWindow() = 0;

  // Opens a device on the default output for this format, reporting to the notify
  // window, and prepares `samples` as its buffer. The samples must stay where they are
  // until the device is destroyed. Null when no device could be opened.
  virtual std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format,
                                               std::span<const std::uint8_t> samples) = 0;

  // A plain message box: the text, an OK button, no icon, the program's title.
  virtual void ShowMessage(std::string_view text) = 0;
};

}  // namespace movarin::sound
