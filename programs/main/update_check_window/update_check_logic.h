#pragma once
// What the program update check window does: at load, and whenever "Check" is pressed,
// it asks the server which version is current and either offers the updater, waits, or
// hands over to the catalogue update and closes. The reply's reading and the decision
// live in updates/update_reply.h; this is the window's flow around them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::main_program {

// The local version number from the program's file version text ("2.0.0.0" gives 2:
// major plus minor); nullopt when the text holds no major and minor number.
std::optional<std::int16_t> LocalVersionFromFileVersion(std::string_view file_version);

class UpdateCheckHost {
 public:
  virtual ~UpdateCheckHost() = default;
  // The body of ServerBaseUrl + "checkversion.php" (an answer of any status), or nullopt
  // when no answer arrived at all. Window messages are processed while it waits.
  virtual std::optional<std::string> FetchReply() = 0;
  virtual void ProcessMessagesOnce() = 0;
  virtual void SetLabel(std::string_view text) = 0;
  // Shows the catalogue update window, modeless.
  virtual void ShowDatabaseUpdate() = 0;
  virtual void CloseWindow() = 0;
  // Starts NewVersion.exe from the program folder; a failure to start is not reported.
  virtual void StartUpdater() = 0;
  virtual void EndProgram() = 0;
};

class UpdateCheckLogic {
 public:
  UpdateCheckLogic(UpdateCheckHost& host, std::int16_t local_version) : host_(host), local_version_(local_version) {}

  // The window has loaded: the check runs as if "Check" had been pressed.
  void Load() { Check(); }
  // "Check". A press while a check waits for its reply is ignored.
  void Check();
  // "Update": starts the updater and ends the program at once.
  void Update();
  // The window goes away. Unless it handed over to the catalogue update, nothing of the
  // program would be left to see, so the program ends.
  void Closed();

  bool Checking() const { return checking_; }
  bool WentOn() const { return went_on_; }

 private:
  UpdateCheckHost& host_;
  std::int16_t local_version_;
  bool checking_ = false;
  bool went_on_ = false;
  bool closed_ = false;
  bool ending_ = false;
};

}  // namespace movarin::main_program
