#pragma once
// What the download dialog decides: when a download starts, where the file goes, how
// each engine event changes the dialog, and what happens after a completed download.
// The Windows dialog shows what this says; the engine runs inside Download().
#include <functional>
#include <string>
#include <string_view>

#include "download/download_engine.h"
#include "programs/main/program_state.h"

namespace movarin::main_program {

inline constexpr std::string_view kConnectionErrorText = "Connection error";
inline constexpr std::string_view kConnectionErrorTitle = "Not downloaded";

class DownloadDialogHost {
 public:
  virtual ~DownloadDialogHost() = default;
  virtual std::string AddressText() = 0;
  virtual void SetAddressText(const std::string& text) = 0;
  // The download folder dialog's folder box (creating that dialog hidden if needed).
  virtual std::string DownloadFolder() = 0;
  // Idle: Download button and address box enabled, cancel disabled; downloading: the reverse.
  virtual void ShowDownloading(bool downloading) = 0;
  virtual void EnableCancel() = 0;
  virtual void SetFileNameLabel(const std::string& text) = 0;
  virtual void SetFolderLabel(const std::string& text) = 0;
  // The current time of day in the system's format.
  virtual void SetStartTimeToNow() = 0;
  virtual void SetEndTimeToNow() = 0;
  virtual void SetProgress(int value) = 0;
  virtual void SetPercentLabel(const std::string& text) = 0;
  // The critical-stop box "Connection error" / "Not downloaded"; returns when closed.
  virtual void ShowConnectionError() = 0;
  virtual bool CloseWhenDoneChecked() = 0;
  virtual bool OpenFolderWhenDoneChecked() = 0;
  virtual void EnableCloseTimer(bool enabled) = 0;
  virtual void ExploreFolder(const std::string& folder) = 0;
  // The live "Yes" mark of "Automatically register ocx or dll files when downloaded".
  virtual bool AutoRegisterChecked() = 0;
  // Hands a completed download to the main window for registration: its file name and
  // full path.
  virtual void RegisterDownloadedFile(const std::string& name, const std::string& path) = 0;
};

class DownloadDialogLogic final : public download::DownloadListener {
 public:
  DownloadDialogLogic(DownloadDialogHost& host, download::DownloadEngine& engine, ProgramState& state);
  ~DownloadDialogLogic() override;

  // The window's load: the idle state.
  void Load();
  // Downloads `address` into the download folder, checking the file against `digest`
  // before it is put in place; returns when the download has ended. An address that
  // arrives while a download runs is ignored, so the engine never runs two at once.
  void Download(const std::string& address, const download::ExpectedDigest& digest = {});
  // The Download button: downloads what the address box holds. The address another
  // window handed over with a digest keeps that digest when it is started again here.
  void DownloadButtonPressed();
  // A write into the start signal field, the adapter for other windows: "1" empties the
  // field (`clear`) and presses the Download button.
  void StartSignalChanged(const std::string& text, const std::function<void()>& clear_field);
  void CancelPressed();
  // The close timer's tick and the window's close: stop any running download.
  void Closing();
  bool Downloading() const { return engine_.Running(); }
  // The destination a download of this address into this folder writes to.
  static std::string Destination(const std::string& folder, const std::string& address);

  // download::DownloadListener
  void OnError(const std::string& message) override;
  void OnStatus(const std::string& status) override;
  void OnComplete() override;
  void OnProgress(int percent) override;

 private:
  DownloadDialogHost& host_;
  download::DownloadEngine& engine_;
  ProgramState& state_;
  // The running (or last) download: its address, folder and file name, as the labels show.
  std::string address_;
  std::string folder_;
  std::string file_name_;
  // The last address handed over with a catalogue digest, and that digest.
  std::string vouched_address_;
  download::ExpectedDigest vouched_digest_;
};

}  // namespace movarin::main_program
