// The sound manager on winmm under Wine. The test runs with an ALSA default device that
// records what is played into a WAV file (run_with_recorder.sh), so that playing the
// synthesised cues can be compared with the files themselves: their length, their
// loudness and the shape of their envelope. Also: the hidden notify window, the plain
// message boxes, notifications on the user-interface thread, and StopWave.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/message_pump.h"
#include "platform/win32/text.h"
#include "sound/sound_manager.h"
#include "sound/wave_file.h"
#include "sound/win32/winmm_sound_platform.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/native/sound/wave_builder.h"
#include "tests/wine/sound/sound_recording.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/environment.h"
#include "tests/support/win32/registry_guard.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::sound {
namespace {

namespace support = movarin::test;
namespace wave = movarin::sound::test;
using wave::Audible;
using wave::Decode;
using wave::Envelope;
using wave::Peak;
using wave::Recording;
using wave::ShapeCorrelation;
using wave::Span;
namespace ui = movarin::win32;

// ---- The prefix stays as it was ------------------------------------------------------

// Wine writes an entry for each audio device it finds (the recorder) into the registry
// of the shared prefix; every key this run adds under these roots is removed at the end.
class AudioRegistryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { guards_ = support::GuardAudioDeviceKeys(); }
  void TearDown() override {
    for (auto& guard : guards_) guard.Restore();
  }

 private:
  std::vector<support::RegistryKeysGuard> guards_;
};
[[maybe_unused]] const auto* const kRegistryEnvironment = ::testing::AddGlobalTestEnvironment(new AudioRegistryEnvironment);

// ---- Helpers -------------------------------------------------------------------------

class RecordingListener : public SoundListener {
 public:
  std::vector<std::string> events;
  std::set<DWORD> threads;
  void SoundLoaded(int slot) override { Note("loaded", slot); }
  void SoundPlayStart(int slot) override { Note("start", slot); }
  void SoundPlayEnd(int slot) override { Note("end", slot); }
  void SoundUnloaded(int slot) override { Note("unloaded", slot); }
  bool Has(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }

 private:
  void Note(const char* what, int slot) {
    events.push_back(std::string(what) + " " + std::to_string(slot));
    threads.insert(GetCurrentThreadId());
  }
};

// Processes window messages until the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    ui::ProcessPendingMessages();
  }
  return true;
}
void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

std::string CuePath(const char* name) {
  const auto build = support::BuildDir();
  return build ? *build + "\\app\\Sounds\\" + name : std::string();
}

// A message box of this process, read and answered with OK by a second thread while
// the first one sits in the box's modal loop.
struct SeenBox {
  std::string title, text;
  std::vector<std::string> buttons;
  bool icon = false;
};
class BoxAnswerer {
 public:
  BoxAnswerer()
      : thread_([this] {
          auto box = e2e::WaitForMessageBox(GetCurrentProcessId(), std::chrono::milliseconds(15000));
          if (!box) return;
          seen_ = SeenBox{box->title, box->text, box->buttons, HasVisibleIcon(box->window)};
          e2e::PressMessageBoxButton(box->window, "OK");
        }) {}
  // Waits for the answer; nullopt when no box came.
  std::optional<SeenBox> Result() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }
  ~BoxAnswerer() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  // A callback of the system's calling convention (a lambda has another on 32-bit x86).
  static BOOL CALLBACK MarkVisibleIcon(HWND child, LPARAM found) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0)
      *reinterpret_cast<bool*>(found) = true;
    return TRUE;
  }
  static bool HasVisibleIcon(HWND box) {
    bool icon = false;
    EnumChildWindows(box, &MarkVisibleIcon, reinterpret_cast<LPARAM>(&icon));
    return icon;
  }

  std::optional<SeenBox> seen_;
  std::thread thread_;
};

class SoundWineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::BuildDir()) << "MOVARIN_BUILD is not set";
    ASSERT_TRUE(support::FileExists(CuePath("Found.wav"))) << CuePath("Found.wav");
    sounds.SetListener(&listener);
  }
  void TearDown() override { sounds.ShutdownSound(); }

  win32::WinmmSoundPlatform platform;
  SoundManager sounds{platform};
  RecordingListener listener;
};

// ---- Tests ---------------------------------------------------------------------------

TEST_F(SoundWineTest, HiddenNotifyWindowLivesFromTheFirstLoadToShutdown) {
  EXPECT_EQ(FindWindowW(L"Static", L"Soundmanager Window"), nullptr);
  ASSERT_TRUE(sounds.LoadWave(1, CuePath("Notfound.wav"), 0));
  ASSERT_TRUE(sounds.LoadWave(2, CuePath("Found.wav"), 0));
  HWND window = FindWindowW(L"Static", L"Soundmanager Window");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, platform.notify_window()) << "one window for every slot";
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x8000000Bu);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right - rect.left, 100);
  EXPECT_EQ(rect.bottom - rect.top, 20);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), GetModuleHandleW(nullptr));
  EXPECT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), GetClassLongPtrW(window, GCLP_WNDPROC))
      << "its procedure is replaced";
  sounds.ShutdownSound();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(listener.events, (std::vector<std::string>{"loaded 1", "loaded 2", "unloaded 1", "unloaded 2"}));
}

TEST_F(SoundWineTest, FileFaultsShowPlainOkBoxes) {
  support::TempFolder folder;
  ASSERT_TRUE(support::WriteWholeFile(folder / "short.wav",
                                   wave::Riff(wave::Chunk("fmt ", std::string(14, '\0')))));
  struct Case {
    std::string path;
    std::string text;
  };
  for (const Case& c : {Case{folder / "Notfound.wav", "Cannot open file"},
                        Case{folder / "short.wav", "Not enough data, only 14, wanted 16"}}) {
    BoxAnswerer answerer;
    EXPECT_FALSE(sounds.LoadWave(1, c.path, 0));
    const auto box = answerer.Result();
    ASSERT_TRUE(box) << "no message box for " << c.text;
    EXPECT_EQ(box->title, "Movarin");
    EXPECT_EQ(box->text, c.text);
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"OK"}));
    EXPECT_FALSE(box->icon);
    EXPECT_EQ(sounds.State(1), SlotState::kEmpty);
  }
  // The icon check sees an icon where there is one.
  BoxAnswerer answerer;
  MessageBoxW(nullptr, L"with an icon", L"Movarin", MB_OK | MB_ICONINFORMATION);
  const auto box = answerer.Result();
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->icon);
}

TEST_F(SoundWineTest, PlayingTheCuesRecordsTheirLengthAndShape) {
  std::vector<std::vector<double>> references, heard;
  for (const char* name : {"Found.wav", "Notfound.wav"}) {
    SCOPED_TRACE(name);
    listener.events.clear();
    const auto reference = Decode(*support::ReadWholeFile(CuePath(name)));
    ASSERT_TRUE(reference);
    ASSERT_TRUE(sounds.LoadWave(2, CuePath(name), 0));
    ASSERT_TRUE(sounds.PlayWave(2));
    EXPECT_EQ(sounds.State(2), SlotState::kPlaying);
    ASSERT_TRUE(PumpUntil([&] { return listener.Has("end 2"); }, std::chrono::seconds(10)))
        << "the device never reported the end";
    EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
    sounds.ShutdownSound();  // closes the device, and ALSA the recording
    EXPECT_EQ(listener.events, (std::vector<std::string>{"loaded 2", "start 2", "end 2", "unloaded 2"}));
    EXPECT_EQ(listener.threads, std::set<DWORD>{GetCurrentThreadId()}) << "told on the UI thread";

    const auto recording = Recording();
    ASSERT_TRUE(recording) << "nothing was recorded";
    const auto ref_envelope = Envelope(*reference), rec_envelope = Envelope(*recording);
    const Span ref_span = Audible(ref_envelope), rec_span = Audible(rec_envelope);
    ASSERT_TRUE(rec_span.any) << "the recording is silence";
    EXPECT_NEAR(static_cast<double>(rec_span.length()), static_cast<double>(ref_span.length()), 3)
        << "audible length in 10 ms windows";
    EXPECT_NEAR(Peak(*recording) / Peak(*reference), 1.0, 0.1);
    EXPECT_GT(ShapeCorrelation(ref_envelope, rec_envelope), 0.97);
    references.push_back(ref_envelope);
    heard.push_back(rec_envelope);
  }
  // Each recording is its own cue and not the other one.
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_LT(ShapeCorrelation(references[1], heard[0]), ShapeCorrelation(references[0], heard[0]) - 0.1);
  EXPECT_LT(ShapeCorrelation(references[0], heard[1]), ShapeCorrelation(references[1], heard[1]) - 0.1);
}

TEST_F(SoundWineTest, StopWaveStopsPlaybackAndAPlayRequestWhilePlayingOnlyStops) {
  support::TempFolder folder;
  const double seconds = 6.0;
  ASSERT_TRUE(support::WriteWholeFile(folder / "long.wav",
                                   wave::PcmWave(wave::SineSamples(seconds, 8000, 440, 0.4), 1, 8000, 16)));
  ASSERT_TRUE(sounds.LoadWave(3, folder / "long.wav", 0));
  ASSERT_TRUE(sounds.PlayWave(3));
  PumpFor(std::chrono::milliseconds(150));
  ASSERT_TRUE(sounds.StopWave(3).ok());
  EXPECT_EQ(sounds.State(3), SlotState::kPlaying) << "until the device reports";
  const auto stopped = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return listener.Has("end 3"); }, std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  EXPECT_EQ(sounds.State(3), SlotState::kLoaded);

  // Playing again works; a second request while it plays stops it and starts nothing.
  listener.events.clear();
  ASSERT_TRUE(sounds.PlayWave(3));
  PumpFor(std::chrono::milliseconds(50));
  EXPECT_FALSE(sounds.PlayWave(3));
  ASSERT_TRUE(PumpUntil([&] { return listener.Has("end 3"); }, std::chrono::seconds(5)));
  EXPECT_EQ(listener.events, (std::vector<std::string>{"start 3", "end 3"}));
  sounds.ShutdownSound();

  const auto recording = Recording();
  ASSERT_TRUE(recording);
  const Span heard = Audible(Envelope(*recording));
  ASSERT_TRUE(heard.any) << "something was played before the stop";
  EXPECT_LT(static_cast<double>(heard.length()) / 100.0, seconds / 2)
      << "the recording holds " << heard.length() * 10 << " ms of the 6 s tone";
}

}  // namespace
}  // namespace movarin::sound
