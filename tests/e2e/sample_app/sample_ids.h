#pragma once
// What the sample program shows, shared with the tests that check it.

namespace movarin::e2e::sample {

inline constexpr wchar_t kTitle[] = L"Driver Sample";
inline constexpr char kTitleUtf8[] = "Driver Sample";
inline constexpr wchar_t kChildTitle[] = L"Driver Sample Child";
inline constexpr char kChildTitleUtf8[] = "Driver Sample Child";
inline constexpr wchar_t kRegistryKey[] = L"Software\\MovarinDriverSample";
inline constexpr char kRegistryKeyUtf8[] = "Software\\MovarinDriverSample";
inline constexpr int kExitCode = 3;

enum ControlId : int {
  kEdit = 101,
  kChangeButton = 102,
  kLabel = 103,
  kList = 104,
  kMessageButton = 105,
  kMenuButton = 106,
  kSignalEdit = 107,
  kFolderLabel = 108,
  kCloseCheck = 109,
  kTree = 110,
  kBrowseButton = 111,
  kOpenButton = 112,
  kMenuFirst = 201,
  kMenuSecond = 202,
  kMenuThird = 203,
  kMenuGrayed = 204,
  kMenuYes = 205,
  kMenuNo = 206,
};

inline constexpr int kRowCount = 3;
inline constexpr const wchar_t* kRows[kRowCount][2] = {
    {L"comdlg32.ocx", L"6.0.84.18"}, {L"mscomctl.ocx", L"6.1.98.34"}, {L"\u00fcn\u00efcode.dll", L"1.0"}};

// A band across the top of the client area, for checking screenshots.
inline constexpr int kBandHeight = 20;
inline constexpr int kBandRed = 200, kBandGreen = 30, kBandBlue = 90;

}  // namespace movarin::e2e::sample
