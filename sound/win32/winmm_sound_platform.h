#pragma once
// The sound manager's platform on Windows: one winmm wave-out device per loaded sound,
// reporting through CALLBACK_WINDOW to a hidden "STATIC" window whose procedure is
// replaced by ours, and plain OK message boxes.
#include <windows.h>

#include <mmsystem.h>

#include "sound/sound_platform.h"

namespace movarin::sound::win32 {

// The notify window as other programs and tests see it.
inline constexpr wchar_t kNotifyWindowClass[] = L"STATIC";
inline constexpr wchar_t kNotifyWindowTitle[] = L"Soundmanager Window";
// A pop-up with the static style 0x0B, not visible: 0x8000000B.
inline constexpr DWORD kNotifyWindowStyle = WS_POPUP | SS_SIMPLE;
inline constexpr int kNotifyWindowWidth = 100;
inline constexpr int kNotifyWindowHeight = 20;
// The device's "done" report (0x3BD).
inline constexpr UINT kWaveOutDoneMessage = MM_WOM_DONE;
inline constexpr wchar_t kMessageTitle[] = L"Movarin";

class WinmmSoundPlatform final : public SoundPlatform {
 public:
  WinmmSoundPlatform() = default;
  ~WinmmSoundPlatform() override;
  WinmmSoundPlatform(const WinmmSoundPlatform&) = delete;
  WinmmSoundPlatform& operator=(const WinmmSoundPlatform&) = delete;

  bool NotifyWindowExists() const override { return window_ != nullptr; }
  bool CreateNotifyWindow(WaveOutDoneHandler& handler) override;
  void DestroyNotifyWindow() override;
  std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format,
                                       std::span<const std::uint8_t> samples) override;
  void ShowMessage(std::string_view text) override;

  HWND notify_window() const { return window_; }

 private:
  static LRESULT CALLBACK NotifyProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND window_ = nullptr;
  WNDPROC previous_procedure_ = nullptr;
  WaveOutDoneHandler* handler_ = nullptr;
};

}  // namespace movarin::sound::win32
