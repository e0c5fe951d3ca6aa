#pragma once
// The keys of the per-user settings store shared by Movarin, Register and
// Unregister: one table, so every program spells and defaults them alike.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace movarin::settings {

inline constexpr std::string_view kApplication = "MovarinFiles";
inline constexpr std::string_view kSection = "OPTIONS";

enum class KeyKind { kSwitch, kText };

// One value per key; kKeys gives each its name in the store.
enum class Key {
  kYesMovarinFiles1, kNoMovarinFiles1,
  kYesMovarinFiles2, kNoMovarinFiles2,
  kYesMovarinFiles3, kNoMovarinFiles3,
  kFileFoundSound, kFileNotFoundSound,
  kMovarinFilesWindowsXP, kMovarinFilesWindowsVista7,
  kRegisterLink, kRegisterName, kDownloadPath, kUnregisterMovarin,
};

struct KeyInfo {
  Key key;
  std::string_view name;
  KeyKind kind;
  std::string_view fallback;  // what a reader uses when the key is absent
};

inline constexpr std::array<KeyInfo, 14> kKeys{{
    {Key::kYesMovarinFiles1, "YesMovarinFiles1", KeyKind::kSwitch, "False"},
    {Key::kNoMovarinFiles1, "NoMovarinFiles1", KeyKind::kSwitch, "True"},
    {Key::kYesMovarinFiles2, "YesMovarinFiles2", KeyKind::kSwitch, "True"},
    {Key::kNoMovarinFiles2, "NoMovarinFiles2", KeyKind::kSwitch, "False"},
    {Key::kYesMovarinFiles3, "YesMovarinFiles3", KeyKind::kSwitch, "True"},
    {Key::kNoMovarinFiles3, "NoMovarinFiles3", KeyKind::kSwitch, "False"},
    {Key::kFileFoundSound, "Filefoundsound", KeyKind::kSwitch, "True"},
    {Key::kFileNotFoundSound, "Filenotfoundsound", KeyKind::kSwitch, "True"},
    {Key::kMovarinFilesWindowsXP, "MovarinFilesWindowsXP", KeyKind::kSwitch, "False"},
    {Key::kMovarinFilesWindowsVista7, "MovarinFilesWindowsVista7", KeyKind::kSwitch, "False"},
    {Key::kRegisterLink, "registerlink", KeyKind::kText, ""},
    {Key::kRegisterName, "registername", KeyKind::kText, ""},
    {Key::kDownloadPath, "downloadpath", KeyKind::kText, "C:\\WINDOWS\\system32"},
    {Key::kUnregisterMovarin, "Unregistermovarin", KeyKind::kText, ""},
}};

const KeyInfo& Info(Key key);

// The ten option switches in the order the main window writes them when it closes.
inline constexpr std::array<Key, 10> kOptionSwitchesInWriteOrder{
    Key::kYesMovarinFiles1, Key::kNoMovarinFiles1, Key::kYesMovarinFiles2,
    Key::kNoMovarinFiles2,  Key::kYesMovarinFiles3, Key::kNoMovarinFiles3,
    Key::kFileFoundSound,   Key::kFileNotFoundSound, Key::kMovarinFilesWindowsXP,
    Key::kMovarinFilesWindowsVista7};

// Text to Boolean as the settings reader converts it: "True"/"False" in any letter
// case, or a decimal number (0 is False, anything else True), with surrounding
// blanks allowed. Anything else cannot be converted: nullopt, and the caller keeps
// what it had.
std::optional<bool> ParseSwitch(std::string_view text);

// Boolean to text: exactly "True" or "False".
std::string_view SwitchText(bool value);

}  // namespace movarin::settings
