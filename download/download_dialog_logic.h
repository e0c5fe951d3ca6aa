#pragma once
// What the download dialog decides: when a download starts, where the file goes, how
// each engine event changes the dialog, and what happens after a completed download.
// The Windows dialog shows what this says; the engine runs inside Start().
#include <string>
#include <string_view>

#include "download/download_engine.h"

namespace movarin::download {

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
  virtual std::string FileNameLabel() = 0;
  virtual std::string FolderLabel() = 0;
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
  // Fills the main window's downloaded-file fields and writes "1" into its signal field.
  virtual void HandOverForRegistration(const std::string& name, const std::string& path) = 0;
};

class DownloadDialogLogic final : public DownloadListener {
 public:
  DownloadDialogLogic(DownloadDialogHost& host, DownloadEngine& engine);
  ~DownloadDialogLogic() override;

  // The window's load: the idle state.
  void Load();
  // A write into the start signal field. "1" starts the download; a signal that arrives
  // while a download runs is ignored, so the engine never runs two at once.
  void StartSignalChanged(const std::string& text, const std::function<void()>& clear_field);
  // The Download button: returns when the download has ended.
  void Start();
  void CancelPressed();
  // The close timer's tick and the window's close: stop any running download.
  void Closing();
  bool Downloading() const { return engine_.Running(); }
  // The destination a download of this address into this folder writes to.
  static std::string Destination(const std::string& folder, const std::string& address);

  // DownloadListener
  void OnError(const std::string& message) override;
  void OnStatus(const std::string& status) override;
  void OnComplete() override;
  void OnProgress(int percent) override;

 private:
  DownloadDialogHost& host_;
  DownloadEngine& engine_;
};

}  // namespace movarin::download
