#include "sound/win32/winmm_sound_platform.h"

#include <utility>

#include "platform/win32/text.h"

namespace movarin::sound::win32 {
namespace {

// A wave-out device with its one prepared buffer. The header lives in this object
// (fixed address while the device may use it); the samples belong to the caller, who
// keeps them until this object is gone.
class WinmmWaveOut final : public WaveOut {
 public:
  WinmmWaveOut() = default;
  WinmmWaveOut(const WinmmWaveOut&) = delete;
  WinmmWaveOut& operator=(const WinmmWaveOut&) = delete;
  ~WinmmWaveOut() override {
    if (!device_) return;
    // A buffer still queued would keep the samples' address: hand it back first.
    waveOutReset(device_);
    if (prepared_) waveOutUnprepareHeader(device_, &header_, sizeof(header_));
    waveOutClose(device_);
  }

  bool Open(const WaveFormat& format, HWND notify_window, std::span<const std::uint8_t> samples) {
    WAVEFORMATEX record{};
    record.wFormatTag = format.format_tag;
    record.nChannels = format.channels;
    record.nSamplesPerSec = format.samples_per_second;
    record.nAvgBytesPerSec = format.average_bytes_per_second;
    record.nBlockAlign = format.block_align;
    record.wBitsPerSample = format.bits_per_sample;
    record.cbSize = 0;
    if (waveOutOpen(&device_, WAVE_MAPPER, &record, reinterpret_cast<DWORD_PTR>(notify_window), 0,
                    CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
      device_ = nullptr;
      return false;
    }
    // An empty sound has no first byte to point at; it is opened but never playable.
    if (samples.empty()) return true;
    header_.lpData = reinterpret_cast<LPSTR>(const_cast<std::uint8_t*>(samples.data()));
    header_.dwBufferLength = static_cast<DWORD>(samples.size());
    prepared_ = waveOutPrepareHeader(device_, &header_, sizeof(header_)) == MMSYSERR_NOERROR;
    return true;
  }

  DeviceId id() const override { return reinterpret_cast<DeviceId>(device_); }
  bool Write() override {
    return prepared_ && waveOutWrite(device_, &header_, sizeof(header_)) == MMSYSERR_NOERROR;
  }
  void Reset() override { waveOutReset(device_); }
  bool BufferDone() const override { return (header_.dwFlags & WHDR_DONE) != 0; }

 private:
  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
  bool prepared_ = false;
};

}  // namespace

WinmmSoundPlatform::~WinmmSoundPlatform() { DestroyNotifyWindow(); }

bool WinmmSoundPlatform::CreateNotifyWindow(WaveOutDoneHandler& handler) {
  if (window_) return true;
  // A window of the system's "STATIC" class with its procedure replaced: the devices
  // post their reports to it, and nothing else ever needs to see it.
  HWND window = CreateWindowExW(0, kNotifyWindowClass, kNotifyWindowTitle, kNotifyWindowStyle, 0, 0,
                                kNotifyWindowWidth, kNotifyWindowHeight, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) return false;
  handler_ = &handler;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previous_procedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NotifyProcedure)));
  window_ = window;
  return true;
}

void WinmmSoundPlatform::DestroyNotifyWindow() {
  if (!window_) return;
  HWND window = std::exchange(window_, nullptr);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_procedure_));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
  previous_procedure_ = nullptr;
  handler_ = nullptr;
}

LRESULT CALLBACK WinmmSoundPlatform::NotifyProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<WinmmSoundPlatform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  // Kept before the handler runs: it may shut the sound down and destroy this window.
  const WNDPROC previous = self->previous_procedure_;
  if (msg == kWaveOutDoneMessage && self->handler_)
    self->handler_->WaveOutDone(static_cast<DeviceId>(wp));
  if (!IsWindow(hwnd)) return 0;
  return CallWindowProcW(previous, hwnd, msg, wp, lp);
}

std::unique_ptr<WaveOut> WinmmSoundPlatform::OpenWaveOut(const WaveFormat& format,
                                                         std::span<const std::uint8_t> samples) {
  auto device = std::make_unique<WinmmWaveOut>();
  if (!device->Open(format, window_, samples)) return nullptr;
  return device;
}

void WinmmSoundPlatform::ShowMessage(std::string_view text) {
  // Modal for every window of the thread, as the program's own message boxes are.
  MessageBoxW(nullptr, movarin::win32::Widen(text).c_str(), kMessageTitle, MB_OK | MB_TASKMODAL);
}

}  // namespace movarin::sound::win32
