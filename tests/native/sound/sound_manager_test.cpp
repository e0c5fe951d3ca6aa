// The sound manager's slot rules against a fake platform that logs, in one list with
// the listener's notifications, everything the devices and the notify window are
// asked to do. "Done" reports queue up like window messages and arrive when the test
// delivers them.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/sound_manager.h"
#include "tests/native/sound/wave_builder.h"

namespace movarin::sound {
namespace {

using namespace test;
using Log = std::vector<std::string>;

class FakePlatform;

class FakeDevice final : public WaveOut {
 public:
  FakeDevice(FakePlatform& platform, DeviceId id, std::span<const std::uint8_t> samples)
      : platform_(platform), id_(id), samples_(samples), copy_(samples.begin(), samples.end()) {}
  ~FakeDevice() override;
  DeviceId id() const override { return id_; }
  bool Write() override;
  void Reset() override;
  bool BufferDone() const override { return done_; }
  // The device reached the end of the buffer.
  void Finish();

 private:
  FakePlatform& platform_;
  DeviceId id_;
  std::span<const std::uint8_t> samples_;
  std::vector<std::uint8_t> copy_;
  bool queued_ = false;
  bool done_ = false;
};

class FakePlatform final : public SoundPlatform {
 public:
  explicit FakePlatform(Log& log) : log_(log) {}

  bool window_can_be_created = true;
  bool devices_available = true;
  bool writes_accepted = true;
  // Hands out the same handle again after a device is closed, as a driver may.
  bool reuse_ids = false;
  std::deque<DeviceId> reports;  // "done" messages waiting in the queue
  std::map<DeviceId, FakeDevice*> open;
  std::vector<WaveFormat> formats;
  std::vector<std::string> samples_opened;
  int windows_created = 0;

  bool NotifyWindowExists() const override { return handler_ != nullptr; }
  bool CreateNotifyWindow(WaveOutDoneHandler& handler) override {
    if (!window_can_be_created) return false;
    handler_ = &handler;
    ++windows_created;
    log_.push_back("window created");
    return true;
  }
  void DestroyNotifyWindow() override {
    handler_ = nullptr;
    log_.push_back("window destroyed");
  }
  std::unique_ptr<WaveOut> OpenWaveOut(const WaveFormat& format,
                                       std::span<const std::uint8_t> samples) override {
    if (!devices_available) return nullptr;
    const DeviceId id = reuse_ids ? 0x100 : next_id_++;
    formats.push_back(format);
    samples_opened.emplace_back(samples.begin(), samples.end());
    log_.push_back("open " + std::to_string(id));
    auto device = std::make_unique<FakeDevice>(*this, id, samples);
    open[id] = device.get();
    return device;
  }
  void ShowMessage(std::string_view text) override { log_.push_back("message " + std::string(text)); }

  // The message loop runs: every queued report reaches the window (if it still exists).
  void Deliver() {
    while (!reports.empty()) {
      const DeviceId id = reports.front();
      reports.pop_front();
      if (handler_) handler_->WaveOutDone(id);
    }
  }
  Log& log_;

 private:
  WaveOutDoneHandler* handler_ = nullptr;
  DeviceId next_id_ = 0x100;
};

FakeDevice::~FakeDevice() {
  if (queued_) platform_.reports.push_back(id_);  // closing resets first
  platform_.open.erase(id_);
  platform_.log_.push_back("close " + std::to_string(id_));
}
bool FakeDevice::Write() {
  // The samples must still be where the device was told they are, unchanged.
  EXPECT_TRUE(std::equal(samples_.begin(), samples_.end(), copy_.begin(), copy_.end()));
  if (!platform_.writes_accepted) return false;
  platform_.log_.push_back("write " + std::to_string(id_));
  queued_ = true;
  done_ = false;
  return true;
}
void FakeDevice::Reset() {
  platform_.log_.push_back("reset " + std::to_string(id_));
  if (!queued_) return;
  queued_ = false;
  done_ = true;
  platform_.reports.push_back(id_);
}
void FakeDevice::Finish() {
  ASSERT_TRUE(queued_);
  queued_ = false;
  done_ = true;
  platform_.reports.push_back(id_);
}

class RecordingListener : public SoundListener {
 public:
  explicit RecordingListener(Log& log) : log_(log) {}
  std::function<void(int)> on_play_end;
  void SoundLoaded(int slot) override { log_.push_back("loaded " + std::to_string(slot)); }
  void SoundPlayStart(int slot) override { log_.push_back("start " + std::to_string(slot)); }
  void SoundPlayEnd(int slot) override {
    log_.push_back("end " + std::to_string(slot));
    if (on_play_end) on_play_end(slot);
  }
  void SoundUnloaded(int slot) override { log_.push_back("unloaded " + std::to_string(slot)); }

 private:
  Log& log_;
};

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("movarin-sound-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    sounds.SetListener(&listener);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const auto path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::string Sound(const std::string& name, const std::string& samples = "0123456789") {
    return Write(name, PcmWave(samples));
  }
  // The log from now on.
  Log Take() { return std::exchange(log, {}); }
  void Finish(DeviceId id) { platform.open.at(id)->Finish(); }

  std::filesystem::path folder;
  Log log;
  FakePlatform platform{log};
  RecordingListener listener{log};
  SoundManager sounds{platform};
};

TEST_F(SoundManagerTest, SlotNumbersOutsideOneToThirtyTwo) {
  const std::string file = Sound("a.wav");
  for (int slot : {0, 33, -2, kAllSlots}) {
    EXPECT_FALSE(sounds.LoadWave(slot, file, 0)) << slot;
    EXPECT_FALSE(sounds.PlayWave(slot)) << slot;
  }
  for (int slot : {0, 33, -2, 1000}) {
    const auto stop = sounds.StopWave(slot);
    ASSERT_FALSE(stop.ok()) << slot;
    EXPECT_EQ(SlotErrorText(stop.error()), "Subscript out of range");
    EXPECT_FALSE(sounds.UnloadWave(slot).ok()) << slot;
  }
  EXPECT_TRUE(Take().empty()) << "nothing was touched: no window, no device, no message";
  EXPECT_TRUE(sounds.StopWave(kAllSlots).ok());
  EXPECT_TRUE(sounds.UnloadWave(kAllSlots).ok());
  EXPECT_TRUE(sounds.LoadWave(32, file, 0));
  EXPECT_EQ(sounds.State(32), SlotState::kLoaded);
}

TEST_F(SoundManagerTest, LoadOpensOneDeviceWithTheFormatAndTheWholeDataChunk) {
  const std::string samples = "one sound's bytes, odd";
  ASSERT_TRUE(sounds.LoadWave(1, Write("a.wav", PcmWave(samples, 2, 11025, 8)), 0));
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), 0));
  EXPECT_EQ(Take(), (Log{"window created", "open 256", "loaded 1", "open 257", "loaded 2"}));
  ASSERT_EQ(platform.formats.size(), 2u);
  EXPECT_EQ(platform.formats[0].channels, 2);
  EXPECT_EQ(platform.formats[0].samples_per_second, 11025u);
  EXPECT_EQ(platform.formats[0].bits_per_sample, 8);
  EXPECT_EQ(platform.samples_opened[0], samples);
  EXPECT_EQ(sounds.State(1), SlotState::kLoaded);
  EXPECT_EQ(platform.windows_created, 1);
}

TEST_F(SoundManagerTest, AMissingOrBrokenFileShowsOneMessageAndLeavesTheSlotEmpty) {
  EXPECT_FALSE(sounds.LoadWave(1, (folder / "Notfound.wav").string(), 0));
  EXPECT_FALSE(sounds.LoadWave(2, Write("avi.wav", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16)), "AVI ")), 0));
  EXPECT_FALSE(sounds.LoadWave(3, Write("short.wav", Riff(Chunk("fmt ", std::string(14, 'x')))), 0));
  EXPECT_FALSE(sounds.LoadWave(4, folder.string(), 0));
  // A data chunk declaring nearly 4 GiB: refused without allocating it (the sanitizer
  // build would stop at such an allocation).
  EXPECT_FALSE(sounds.LoadWave(5, Write("huge.wav", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16)) +
                                                        Chunk("data", "ab", 0xFFFFFFF0u))), 0));
  // A file larger than the player holds in memory is not read at all (a sparse file).
  const std::string too_large = Sound("large.wav");
  std::filesystem::resize_file(too_large, SoundManager::kMaxFileBytes + 1);
  EXPECT_FALSE(sounds.LoadWave(6, too_large, 0));
  EXPECT_EQ(Take(), (Log{"message Cannot open file", "message Incorrect format",
                         "message Not enough data, only 14, wanted 16", "message Cannot open file",
                         "window created", "message Could not read full buffer", "message Cannot open file"}));
  for (int slot : {1, 2, 3, 4, 5, 6}) EXPECT_EQ(sounds.State(slot), SlotState::kEmpty);
  EXPECT_FALSE(sounds.PlayWave(1));
  EXPECT_TRUE(Take().empty()) << "playing an empty slot is silent";
}

TEST_F(SoundManagerTest, NotifyWindowIsMadeBeforeTheSamplesAreRead) {
  const std::string short_data = Write("short.wav", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16)) + Chunk("data", "ab", 99)));
  platform.window_can_be_created = false;
  EXPECT_FALSE(sounds.LoadWave(1, short_data, 0));
  EXPECT_FALSE(sounds.LoadWave(2, Sound("good.wav"), 0));
  EXPECT_TRUE(Take().empty()) << "without a notify window the load gives up without a word";
  platform.window_can_be_created = true;
  EXPECT_FALSE(sounds.LoadWave(1, short_data, 0));
  EXPECT_EQ(Take(), (Log{"window created", "message Could not read full buffer"}));
  EXPECT_EQ(sounds.State(1), SlotState::kEmpty);
}

TEST_F(SoundManagerTest, PlayToTheEndAndAgain) {
  ASSERT_TRUE(sounds.LoadWave(2, Sound("Found.wav"), 0));
  Take();
  EXPECT_TRUE(sounds.PlayWave(2));
  EXPECT_EQ(sounds.State(2), SlotState::kPlaying);
  Finish(256);
  EXPECT_EQ(sounds.State(2), SlotState::kPlaying) << "the end arrives as a message";
  platform.Deliver();
  EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
  EXPECT_TRUE(sounds.PlayWave(2));
  EXPECT_EQ(Take(), (Log{"write 256", "start 2", "end 2", "write 256", "start 2"}));
}

TEST_F(SoundManagerTest, PlayTwiceStopsTheFirstAndStartsNothing) {
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0));
  Take();
  EXPECT_TRUE(sounds.PlayWave(1));
  EXPECT_FALSE(sounds.PlayWave(1));
  EXPECT_EQ(sounds.State(1), SlotState::kPlaying);
  EXPECT_FALSE(sounds.PlayWave(1)) << "still playing until the device reports";
  platform.Deliver();
  EXPECT_EQ(sounds.State(1), SlotState::kLoaded);
  EXPECT_EQ(Take(), (Log{"write 256", "start 1", "reset 256", "reset 256", "end 1"}));
}

TEST_F(SoundManagerTest, NoDeviceOrARefusedWriteStartsNothing) {
  platform.devices_available = false;
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0)) << "the device's open is not a failure of the load";
  EXPECT_FALSE(sounds.PlayWave(1));
  platform.devices_available = true;
  platform.writes_accepted = false;
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), 0));
  EXPECT_FALSE(sounds.PlayWave(2));
  EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
  EXPECT_EQ(Take(), (Log{"window created", "loaded 1", "open 256", "loaded 2"}));
}

TEST_F(SoundManagerTest, OptionBits) {
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), kPlayWhenLoaded | kUnloadWhenDone));
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), kPlayWhenLoaded | kNoEvents));
  EXPECT_EQ(sounds.State(2), SlotState::kPlaying);
  Finish(256);
  Finish(257);
  platform.Deliver();
  EXPECT_EQ(sounds.State(1), SlotState::kEmpty);
  EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
  ASSERT_TRUE(sounds.UnloadWave(2).ok());
  EXPECT_EQ(Take(), (Log{"window created", "open 256", "loaded 1", "write 256", "start 1", "open 257",
                         "write 257", "end 1", "close 256", "unloaded 1", "close 257"}))
      << "slot 2 (NoEvents) tells nothing; slot 1 unloads itself after its end";
}

TEST_F(SoundManagerTest, UnloadAllInOrderWithNotifications) {
  for (int slot : {5, 1, 2}) ASSERT_TRUE(sounds.LoadWave(slot, Sound("s" + std::to_string(slot) + ".wav"), 0));
  ASSERT_TRUE(sounds.PlayWave(2));
  Take();
  ASSERT_TRUE(sounds.UnloadWave(kAllSlots).ok());
  // 256 is slot 5, 257 slot 1, 258 slot 2 (playing: reset before its buffer is released).
  EXPECT_EQ(Take(), (Log{"close 257", "unloaded 1", "reset 258", "close 258", "unloaded 2", "close 256",
                         "unloaded 5"}));
  ASSERT_TRUE(sounds.UnloadWave(kAllSlots).ok());
  ASSERT_TRUE(sounds.UnloadWave(3).ok());
  platform.Deliver();
  EXPECT_TRUE(Take().empty()) << "empty slots send nothing; the late report of slot 2 finds no slot";
}

TEST_F(SoundManagerTest, ReloadingAPlayingSlotEmptiesItFirstAndIgnoresItsLateReport) {
  // The driver gives the new device the old one's handle; the report of the old device,
  // still in the queue, must neither end nor unload the new sound.
  platform.reuse_ids = true;
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), kUnloadWhenDone));
  ASSERT_TRUE(sounds.PlayWave(1));
  Take();
  ASSERT_TRUE(sounds.LoadWave(1, Sound("b.wav", "new"), kUnloadWhenDone));
  platform.Deliver();
  EXPECT_EQ(sounds.State(1), SlotState::kLoaded);
  EXPECT_EQ(Take(), (Log{"reset 256", "close 256", "unloaded 1", "open 256", "loaded 1"}));
  ASSERT_TRUE(sounds.PlayWave(1));
  Finish(256);
  platform.Deliver();
  EXPECT_EQ(sounds.State(1), SlotState::kEmpty);
}

TEST_F(SoundManagerTest, StopAllResetsOnlyPlayingSlots) {
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0));
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), 0));
  ASSERT_TRUE(sounds.PlayWave(2));
  Take();
  ASSERT_TRUE(sounds.StopWave(kAllSlots).ok());
  EXPECT_EQ(sounds.State(2), SlotState::kPlaying);
  platform.Deliver();
  EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
  EXPECT_EQ(Take(), (Log{"reset 257", "end 2"}));
}

TEST_F(SoundManagerTest, ShutdownEmptiesEverySlotThenDestroysTheWindow) {
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0));
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), 0));
  Take();
  sounds.ShutdownSound();
  EXPECT_EQ(Take(), (Log{"close 256", "unloaded 1", "close 257", "unloaded 2", "window destroyed"}));
  sounds.ShutdownSound();
  EXPECT_TRUE(Take().empty());
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0));
  EXPECT_EQ(platform.windows_created, 2) << "a load after the shutdown makes the window again";
}

TEST_F(SoundManagerTest, ListenerMayUnloadOrReplayInsideTheEndNotification) {
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), 0));
  ASSERT_TRUE(sounds.LoadWave(2, Sound("b.wav"), 0));
  listener.on_play_end = [&](int slot) {
    if (slot == 1) {
      EXPECT_TRUE(sounds.UnloadWave(1).ok());
    } else {
      EXPECT_FALSE(sounds.PlayWave(2)) << "still playing while its end is told";
    }
  };
  ASSERT_TRUE(sounds.PlayWave(1));
  ASSERT_TRUE(sounds.PlayWave(2));
  Finish(256);
  Finish(257);
  platform.Deliver();
  EXPECT_EQ(sounds.State(1), SlotState::kEmpty);
  EXPECT_EQ(sounds.State(2), SlotState::kLoaded);
}

TEST_F(SoundManagerTest, WithoutAListenerAndAtDestructionNothingIsTold) {
  sounds.SetListener(nullptr);
  ASSERT_TRUE(sounds.LoadWave(1, Sound("a.wav"), kPlayWhenLoaded));
  EXPECT_EQ(Take(), (Log{"window created", "open 256", "write 256"}));
  Log other_log;
  {
    FakePlatform other_platform(other_log);
    SoundManager other(other_platform);
    other.SetListener(&listener);
    ASSERT_TRUE(other.LoadWave(3, Sound("c.wav"), 0));
    ASSERT_TRUE(other.PlayWave(3));
    other_log.clear();
  }
  EXPECT_EQ(other_log, (Log{"reset 256", "close 256", "window destroyed"}));
  EXPECT_EQ(Take(), (Log{"loaded 3", "start 3"})) << "no unload is told while the manager goes away";
}

}  // namespace
}  // namespace movarin::sound
