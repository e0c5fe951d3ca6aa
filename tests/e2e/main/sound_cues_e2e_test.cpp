// Movarin's sound cues as heard: the program runs with an ALSA default device that
// records what each of its devices plays into a WAV file of its own
// (run_with_recorder.sh --per-device; each loaded cue has a device of its own), and what
// was recorded after searches is compared with the cue files themselves.
#include "tests/e2e/main/movarin_fixture.h"

#include <algorithm>
#include <thread>

#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/registry_guard.h"
#include "tests/support/win32/wine_paths.h"
#include "tests/wine/sound/sound_recording.h"

namespace movarin::e2e {
namespace {

using namespace std::chrono_literals;
namespace heard = sound::test;
using settings::Key;

// Wine notes the recorder as an audio device in the shared prefix's registry.
class AudioRegistryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { guards_ = test::GuardAudioDeviceKeys(); }
  void TearDown() override {
    for (auto& guard : guards_) guard.Restore();
  }

 private:
  std::vector<test::RegistryKeysGuard> guards_;
};
[[maybe_unused]] const auto* const kAudioEnvironment = ::testing::AddGlobalTestEnvironment(new AudioRegistryEnvironment);

struct Cue {
  explicit Cue(const char* file_name) : file(file_name) {}
  const char* file;
  std::vector<double> envelope;  // loudness in 10 ms windows
  heard::Span audible;
};

class SoundCueTest : public MovarinTest {
 protected:
  void SetUp() override {
    MovarinTest::SetUp();
    ASSERT_TRUE(test::EnvVar("MOVARIN_SOUND_RECORDINGS").has_value())
        << "run with tests/wine/sound/run_with_recorder.sh --per-device";
    for (Cue* cue : {&found_, &not_found_}) {
      const auto bytes = test::ReadWholeFile(BuildPath(std::string("app\\Sounds\\") + cue->file));
      ASSERT_TRUE(bytes.has_value()) << cue->file;
      const auto sound = heard::Decode(*bytes);
      ASSERT_TRUE(sound.has_value()) << cue->file;
      cue->envelope = heard::Envelope(*sound);
      cue->audible = heard::Audible(cue->envelope);
    }
  }

  // Runs the program with the two sound options, searches each text in turn (a second
  // and a half apart) and closes it, which releases the devices and so ends their
  // recordings. Automatic download is off. Returns the envelope of every device's
  // recording that holds anything audible; nullopt when the run failed.
  std::optional<std::vector<std::vector<double>>> Record(bool found_sound, bool not_found_sound,
                                                         const std::vector<std::string>& texts) {
    settings::RegistrySettingsStore store;
    store.WriteSwitch(Key::kFileFoundSound, found_sound);
    store.WriteSwitch(Key::kFileNotFoundSound, not_found_sound);
    store.WriteSwitch(Key::kYesMovarinFiles2, false);
    store.WriteSwitch(Key::kNoMovarinFiles2, true);
    heard::ClearDeviceRecordings();
    main_ = nullptr;
    Start();
    if (!app_) return std::nullopt;
    AttachMainWindow();
    if (!main_) return std::nullopt;
    for (const std::string& text : texts) {
      SearchFor(text);
      std::this_thread::sleep_for(1500ms);
    }
    CloseAnswering("Yes");
    if (!app_->WaitForExit().has_value()) {
      ADD_FAILURE() << "the program did not end";
      return std::nullopt;
    }
    std::this_thread::sleep_for(300ms);  // the recorders write out what is left
    const auto recordings = heard::DeviceRecordings();
    EXPECT_GE(recordings.size(), 2u) << "each of the two cues has a device of its own";
    std::vector<std::vector<double>> audible;
    for (const auto& recording : recordings) {
      auto envelope = heard::Envelope(recording);
      if (heard::Audible(envelope).any) audible.push_back(std::move(envelope));
    }
    return audible;
  }

  // Exactly one device played, and what it played is this cue: its audible length, its
  // shape, and a shape unlike the other cue's.
  void ExpectOnly(const std::optional<std::vector<std::vector<double>>>& played, const Cue& cue,
                  const Cue& other) {
    ASSERT_TRUE(played.has_value());
    ASSERT_EQ(played->size(), 1u) << "devices that played something";
    const auto& envelope = played->front();
    EXPECT_NEAR(static_cast<double>(heard::Audible(envelope).length()), static_cast<double>(cue.audible.length()), 3)
        << "audible length in 10 ms windows";
    const double own = heard::ShapeCorrelation(cue.envelope, envelope);
    EXPECT_GT(own, 0.97);
    EXPECT_LT(heard::ShapeCorrelation(other.envelope, envelope), own - 0.1) << "the other cue";
    EXPECT_NEAR(*std::max_element(envelope.begin(), envelope.end()) /
                    *std::max_element(cue.envelope.begin(), cue.envelope.end()),
                1.0, 0.1)
        << "as loud as the file";
  }

  Cue found_{"Found.wav"}, not_found_{"Notfound.wav"};
};

TEST_F(SoundCueTest, AHitPlaysTheFoundCue) {
  ExpectOnly(Record(true, true, {"zlib"}), found_, not_found_);
}

TEST_F(SoundCueTest, AMissPlaysTheNotFoundCue) {
  ExpectOnly(Record(true, true, {"nothing-like-this"}), not_found_, found_);
}

TEST_F(SoundCueTest, EachOptionSwitchesItsOwnCueOff) {
  {
    SCOPED_TRACE("File found sound off");
    ExpectOnly(Record(false, true, {"zlib", "nothing-like-this"}), not_found_, found_);
  }
  {
    SCOPED_TRACE("File not found sound off");
    ExpectOnly(Record(true, false, {"nothing-like-this", "zlib"}), found_, not_found_);
  }
  {
    SCOPED_TRACE("both off");
    const auto played = Record(false, false, {"zlib", "nothing-like-this"});
    ASSERT_TRUE(played.has_value());
    EXPECT_TRUE(played->empty());
  }
}

}  // namespace
}  // namespace movarin::e2e
