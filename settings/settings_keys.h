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

enum class KeyKind { Switch, Text };

enum class Key {
  YesMovarinFiles1, NoMovarinFiles1,
  YesMovarinFiles2, NoMovarinFiles2,
  YesMovarinFiles3, NoMovarinFiles3,
  Filefoundsound, Filenotfoundsound,
  MovarinFilesWindowsXP, MovarinFilesWindowsVista7,
  registerlink, registername, downloadpath, Unregistermovarin,
};

struct KeyInfo {
  Key key;
  std::string_view name;
  KeyKind kind;
  std::string_view fallback;  // what a reader uses when the key is absent
};

inline constexpr std::array<KeyInfo, 14> kKeys{{
    {Key::YesMovarinFiles1, "YesMovarinFiles1", KeyKind::Switch, "False"},
    {Key::NoMovarinFiles1, "NoMovarinFiles1", KeyKind::Switch, "True"},
    {Key::YesMovarinFiles2, "YesMovarinFiles2", KeyKind::Switch, "True"},
    {Key::NoMovarinFiles2, "NoMovarinFiles2", KeyKind::Switch, "False"},
    {Key::YesMovarinFiles3, "YesMovarinFiles3", KeyKind::Switch, "True"},
    {Key::NoMovarinFiles3, "NoMovarinFiles3", KeyKind::Switch, "False"},
    {Key::Filefoundsound, "Filefoundsound", KeyKind::Switch, "True"},
    {Key::Filenotfoundsound, "Filenotfoundsound", KeyKind::Switch, "True"},
    {Key::MovarinFilesWindowsXP, "MovarinFilesWindowsXP", KeyKind::Switch, "False"},
    {Key::MovarinFilesWindowsVista7, "MovarinFilesWindowsVista7", KeyKind::Switch, "False"},
    {Key::registerlink, "registerlink", KeyKind::Text, ""},
    {Key::registername, "registername", KeyKind::Text, ""},
    {Key::downloadpath, "downloadpath", KeyKind::Text, "C:\\WINDOWS\\system32"},
    {Key::Unregistermovarin, "Unregistermovarin", KeyKind::Text, ""},
}};

const KeyInfo& Info(Key key);

// The ten option switches in the order the main window writes them when it closes.
inline constexpr std::array<Key, 10> kOptionSwitchesInWriteOrder{
    Key::YesMovarinFiles1, Key::NoMovarinFiles1, Key::YesMovarinFiles2,
    Key::NoMovarinFiles2,  Key::YesMovarinFiles3, Key::NoMovarinFiles3,
    Key::Filefoundsound,   Key::Filenotfoundsound, Key::MovarinFilesWindowsXP,
    Key::MovarinFilesWindowsVista7};

// Text to Boolean as the settings reader converts it: "True"/"False" in any letter
// case, or a decimal number (0 is False, anything else True), with surrounding
// blanks allowed. Anything else cannot be converted: nullopt, and the caller keeps
// what it had.
std::optional<bool> ParseSwitch(std::string_view text);

// Boolean to text: exactly "True" or "False".
std::string_view SwitchText(bool value);

}  // namespace movarin::settings
