#include "skin/styled_button.h"

#include <algorithm>
#include <limits>

#include "skin/button_content_layout.h"
#include "skin/button_themes.h"

namespace movarin::skin {
namespace {

constexpr int kEnter = 13;
constexpr int kSpace = 32;

// Characters, not bytes, of a UTF-8 text.
std::size_t CharacterCount(std::string_view s) {
  return static_cast<std::size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

int ClampByte(int v) { return std::clamp(v, 0, 255); }

std::optional<int> ParseInt32(std::string_view text) {
  const auto v = ParseInteger(text);
  if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<int>(*v);
}

// Property names, as stored and in the order a stored design is applied.
constexpr std::string_view kLoadOrder[] = {
    "Caption", "IconSource", "CaptionDisableColor", "CaptionEffectColor", "CaptionEffect",
    "CaptionOffsetY", "CaptionOffsetX", "ShadowOffsetY", "ShadowOffsetX", "ForeColor", "Theme",
    "FocusDottedRect", "Enabled", "Font", "Icon", "RoundedValue", "TransparencyICO",
    "CaptionAlignment", "IconAlignment"};

}  // namespace

ButtonMessage TransparencyOutOfRangeMessage(const ProgramInfo& program) {
  return {program.executable_name, "Please Enter Between 0 TO 100 Value", ButtonMessage::Icon::Error};
}

ButtonMessage MissingIconSourceMessage(const ProgramInfo& program, bool source_empty) {
  const std::string title = "Styled Button Ver." + std::to_string(program.major) + "." +
                            std::to_string(program.minor) + "." + std::to_string(program.revision) + ".";
  std::string text = source_empty
                         ? "Null Value!\r\n\r\nPlaese Enter Icon Image Source in IconSource.\r\n"
                         : "Incorrect Source!\r\n\r\nPlaese Enter Correct Source in IconSource.\r\n";
  text +=
      "Icon Image Extention is: \r\n"
      "*.bmp / *.gif / *.jpg / *.ico / *.png / *.wmf / *.emf / *.cur / *.jpeg\r\n"
      "\r\n"
      "For Example:\r\n"
      "C:\\My Pic.bmp";
  return {title, text, ButtonMessage::Icon::None};
}

PropertyBag StandardButtonDesign(std::string_view caption, std::string_view picture) {
  PropertyBag bag{{"Caption", caption},
                  {"CaptionDisableColor", "0x00BAB6B7"},
                  {"CaptionEffectColor", "0x00FFFFFF"},
                  {"Theme", "4"},
                  {"CaptionAlignment", "5"},
                  {"CaptionEffect", "1"},
                  {"IconAlignment", "1"},
                  {"RoundedValue", "5"},
                  {"TransparencyICO", "100"}};
  if (!picture.empty()) {
    bag.Put("IconSource", picture);
    bag.Put("Icon", "True");
  }
  return bag;
}

StyledButton::StyledButton(StyledButtonHost& host, std::string display_name, Font host_font,
                           ProgramInfo program)
    : host_(host), program_(std::move(program)), host_font_(std::move(host_font)) {
  p_.caption = std::move(display_name);
  p_.font = host_font_;
}

void StyledButton::Changed(std::string_view name) {
  host_.PropertyChanged(name);
  host_.Redraw();
}

void StyledButton::SetCaption(std::string value) { p_.caption = std::move(value), Changed("Caption"); }
void StyledButton::SetIconSource(std::string value) { p_.icon_source = std::move(value), Changed("IconSource"); }

void StyledButton::SetIcon(bool value) {
  if (value && p_.icon_source.empty()) {
    host_.ShowMessage(MissingIconSourceMessage(program_, true));
    value = false;
  } else if (value && CharacterCount(p_.icon_source) <= 7) {
    host_.ShowMessage(MissingIconSourceMessage(program_, false));
    value = false;
  }
  p_.icon = value;
  Changed("Icon");
}

void StyledButton::SetIconAlignment(int value) { p_.icon_alignment = value, Changed("IconAlignment"); }

void StyledButton::SetTransparency(int value) {
  if (value < 0 || value > 100) {
    host_.ShowMessage(TransparencyOutOfRangeMessage(program_));
    value = 100;
  }
  p_.transparency = value;
  Changed("TransparencyICO");
}

void StyledButton::SetCaptionAlignment(int value) {
  p_.caption_alignment = value;
  p_.caption_offset_x = p_.caption_offset_y = 0;
  Changed("CaptionAlignment");
}

void StyledButton::SetCaptionOffsetX(int value) { p_.caption_offset_x = ClampByte(value), Changed("CaptionOffsetX"); }
void StyledButton::SetCaptionOffsetY(int value) { p_.caption_offset_y = ClampByte(value), Changed("CaptionOffsetY"); }
void StyledButton::SetCaptionEffect(int value) { p_.caption_effect = value, Changed("CaptionEffect"); }
void StyledButton::SetCaptionEffectColour(Colour value) { p_.caption_effect_colour = value, Changed("CaptionEffectColor"); }
void StyledButton::SetShadowOffsetX(int value) { p_.shadow_offset_x = ClampByte(value), Changed("ShadowOffsetX"); }
void StyledButton::SetShadowOffsetY(int value) { p_.shadow_offset_y = ClampByte(value), Changed("ShadowOffsetY"); }
void StyledButton::SetForeColour(Colour value) { p_.fore_colour = value, Changed("ForeColor"); }
void StyledButton::SetCaptionDisableColour(Colour value) { p_.caption_disable_colour = value, Changed("CaptionDisableColor"); }

void StyledButton::SetTheme(int value) {
  p_.theme = value;
  if (!p_.enabled) {
    if (const auto colours = ThemeDisabledColours(value)) {
      p_.caption_disable_colour = colours->caption;
      disabled_border_ = colours->border;
    }
  }
  Changed("Theme");
}

void StyledButton::SetFocusDottedRect(bool value) { p_.focus_dotted_rect = value, Changed("FocusDottedRect"); }
void StyledButton::SetEnabled(bool value) { p_.enabled = value, Changed("Enabled"); }
void StyledButton::SetFont(Font value) { p_.font = std::move(value), Changed("Font"); }
void StyledButton::SetRoundedValue(int value) { p_.rounded_value = value, Changed("RoundedValue"); }

bool StyledButton::SetProperty(std::string_view name, std::string_view v) {
  auto is = [&](std::string_view key) { return SameKey(name, key); };
  auto with_int = [&](auto setter) {
    const auto n = ParseInt32(v);
    if (n) (this->*setter)(*n);
    return n.has_value();
  };
  auto with_colour = [&](auto setter) {
    const auto c = ParseColour(v);
    if (c) (this->*setter)(*c);
    return c.has_value();
  };
  auto with_flag = [&](auto setter) {
    const auto f = ParseFlag(v);
    if (f) (this->*setter)(*f);
    return f.has_value();
  };
  if (is("Caption")) return SetCaption(std::string(v)), true;
  if (is("IconSource")) return SetIconSource(std::string(v)), true;
  if (is("Icon")) return with_flag(&StyledButton::SetIcon);
  if (is("IconAlignment")) return with_int(&StyledButton::SetIconAlignment);
  if (is("TransparencyICO")) return with_int(&StyledButton::SetTransparency);
  if (is("CaptionAlignment")) return with_int(&StyledButton::SetCaptionAlignment);
  if (is("CaptionOffsetX")) return with_int(&StyledButton::SetCaptionOffsetX);
  if (is("CaptionOffsetY")) return with_int(&StyledButton::SetCaptionOffsetY);
  if (is("CaptionEffect")) return with_int(&StyledButton::SetCaptionEffect);
  if (is("CaptionEffectColor")) return with_colour(&StyledButton::SetCaptionEffectColour);
  if (is("ShadowOffsetX")) return with_int(&StyledButton::SetShadowOffsetX);
  if (is("ShadowOffsetY")) return with_int(&StyledButton::SetShadowOffsetY);
  if (is("ForeColor")) return with_colour(&StyledButton::SetForeColour);
  if (is("CaptionDisableColor")) return with_colour(&StyledButton::SetCaptionDisableColour);
  if (is("Theme")) return with_int(&StyledButton::SetTheme);
  if (is("FocusDottedRect")) return with_flag(&StyledButton::SetFocusDottedRect);
  if (is("Enabled")) return with_flag(&StyledButton::SetEnabled);
  if (is("RoundedValue")) return with_int(&StyledButton::SetRoundedValue);
  if (is("Font")) {
    const auto f = ParseFont(v);
    if (f) SetFont(*f);
    return f.has_value();
  }
  return false;
}

void StyledButton::Load(const PropertyBag& design) {
  // Every key with its default, through its setter.
  const PropertyBag defaults{{"Caption", ""},
                             {"IconSource", ""},
                             {"CaptionDisableColor", FormatColour(Rgb(212, 212, 212))},
                             {"CaptionEffectColor", FormatColour(Rgb(200, 200, 200))},
                             {"CaptionEffect", "1"},
                             {"CaptionOffsetY", "0"},
                             {"CaptionOffsetX", "0"},
                             {"ShadowOffsetY", "2"},
                             {"ShadowOffsetX", "2"},
                             {"ForeColor", "0"},
                             {"Theme", "1"},
                             {"FocusDottedRect", "True"},
                             {"Enabled", "True"},
                             {"Font", FormatFont(host_font_)},
                             {"Icon", "False"},
                             {"RoundedValue", "5"},
                             {"TransparencyICO", "100"},
                             {"CaptionAlignment", "5"},
                             {"IconAlignment", "1"}};
  for (std::string_view key : kLoadOrder) {
    const std::string_view fallback = *defaults.Find(key);
    const auto stored = design.Find(key);
    // An unreadable stored value counts as absent.
    if (!stored || !SetProperty(key, *stored)) SetProperty(key, fallback);
  }
}

PropertyBag StyledButton::Save() const {
  PropertyBag bag;
  bag.WriteText("Caption", p_.caption, "");
  bag.WriteText("IconSource", p_.icon_source, "");
  bag.WriteColour("CaptionDisableColor", p_.caption_disable_colour, Rgb(212, 212, 212));
  bag.WriteColour("CaptionEffectColor", p_.caption_effect_colour, Rgb(200, 200, 200));
  bag.WriteInteger("CaptionEffect", p_.caption_effect, 1);
  bag.WriteInteger("CaptionOffsetY", p_.caption_offset_y, 0);
  bag.WriteInteger("CaptionOffsetX", p_.caption_offset_x, 0);
  bag.WriteInteger("ShadowOffsetY", p_.shadow_offset_y, 2);
  bag.WriteInteger("ShadowOffsetX", p_.shadow_offset_x, 2);
  bag.WriteColour("ForeColor", p_.fore_colour, 0);
  bag.WriteInteger("Theme", p_.theme, 1);
  bag.WriteFlag("FocusDottedRect", p_.focus_dotted_rect, true);
  bag.WriteFlag("Enabled", p_.enabled, true);
  bag.WriteFont("Font", p_.font, host_font_);
  bag.WriteFlag("Icon", p_.icon, false);
  bag.WriteInteger("RoundedValue", p_.rounded_value, 5);
  bag.WriteInteger("TransparencyICO", p_.transparency, 100);
  bag.WriteInteger("CaptionAlignment", p_.caption_alignment, 5);
  bag.WriteInteger("IconAlignment", p_.icon_alignment, 1);
  return bag;
}

void StyledButton::OnClick() {
  if (p_.enabled) host_.Click();
}

void StyledButton::OnDoubleClick() {
  if (p_.enabled) host_.DoubleClick();
}

void StyledButton::OnMouseDown(int button, int shift, Point at) {
  if (!p_.enabled) return;
  host_.MouseDown(button, shift, at.x, at.y);
  if (button == kLeftButton) {
    pressed_ = true;
    host_.Redraw();
  }
}

void StyledButton::OnMouseUp(int button, int shift, Point at) {
  if (!p_.enabled) return;
  host_.MouseUp(button, shift, at.x, at.y);
  if (button == kLeftButton) {
    pressed_ = false;
    host_.Redraw();
  }
}

void StyledButton::OnMouseMove(int button, int shift, Point at) {
  if (p_.enabled) host_.MouseMove(button, shift, at.x, at.y);
}

void StyledButton::OnKeyDown(int key_code, int shift) {
  if (!p_.enabled) return;
  host_.KeyDown(key_code, shift);
  if (key_code == kSpace) {
    pressed_ = true;
    host_.Redraw();
  }
}

void StyledButton::OnKeyUp(int key_code, int shift) {
  if (!p_.enabled) return;
  host_.KeyUp(key_code, shift);
  if (key_code == kSpace) {
    pressed_ = false;
    host_.Redraw();
  }
}

void StyledButton::OnKeyPress(int key_ascii) {
  if (!p_.enabled) return;
  host_.KeyPress(key_ascii);
  if (key_ascii == kEnter) host_.Click();
}

void StyledButton::OnFocus(bool has_focus) {
  focused_ = has_focus;
  host_.Redraw();
}

void StyledButton::OnMouseTimer(bool over_own_window, Point cursor) {
  if (!p_.enabled) return;
  if (hovered_ && !over_own_window) {
    hovered_ = false;
    host_.Redraw();
    host_.MouseLeaves(cursor.x, cursor.y);
  } else if (!hovered_ && over_own_window) {
    hovered_ = true;
    host_.Redraw();
    host_.MouseEnters(cursor.x, cursor.y);
  }
}

void StyledButton::Reset() { hovered_ = pressed_ = focused_ = false; }

Region StyledButton::Draw(Canvas& canvas) const {
  const Size extent = canvas.Extent();
  const int w = extent.width, h = extent.height;
  const int r = std::max(1, p_.rounded_value);
  const Region region{{0, 0, w, h}, r - 1, r - 1};

  canvas.SetFont(p_.font);
  const ButtonState state{p_.enabled, hovered_, pressed_, focused_, p_.focus_dotted_rect};
  DrawButtonTheme(canvas, p_.theme, state, w, h, r);

  std::unique_ptr<Picture> picture;
  if (p_.icon) picture = canvas.LoadPicture(p_.icon_source, 256);  // nothing drawn when it fails
  const Size text = canvas.MeasureText(p_.caption);
  const ButtonContentPlacement placed = PlaceButtonContent(
      {.button = extent,
       .picture = picture ? Size{picture->Width(), picture->Height()} : Size{},
       .caption = p_.caption.empty() ? Size{} : text,
       .dpi = canvas.Dpi(),
       .icon_alignment = p_.icon_alignment,
       .caption_alignment = p_.caption_alignment,
       .caption_offset_x = p_.caption_offset_x,
       .caption_offset_y = p_.caption_offset_y});
  if (picture && !placed.picture.Empty()) canvas.DrawPicture(*picture, placed.picture, p_.transparency);

  const int x = placed.caption.x, y = placed.caption.y;
  auto print = [&](int px, int py, Colour colour) {
    canvas.DrawText(p_.caption, {px, py, px + text.width, py + text.height},
                    kTextNoPrefix | kTextSingleLine | kTextNoClip, colour);
  };
  if (p_.caption.empty()) return region;
  if (!p_.enabled) {
    print(x, y, p_.caption_disable_colour);
    return region;
  }
  const Colour effect = p_.caption_effect_colour, grey = Rgb(128, 128, 128);
  switch (p_.caption_effect) {
    case 1: print(x, y, p_.fore_colour); break;
    case 2:  // raised
      print(x - 1, y - 1, effect), print(x + 1, y + 1, grey), print(x, y, p_.fore_colour);
      break;
    case 3:  // sunken
      print(x - 1, y - 1, grey), print(x + 1, y + 1, effect), print(x, y, p_.fore_colour);
      break;
    case 4:  // engraved
      print(x, y + 1, effect), print(x, y - 1, grey), print(x, y, p_.fore_colour);
      break;
    case 5:  // shadow
      print(x + p_.shadow_offset_x, y + p_.shadow_offset_y, effect), print(x, y, p_.fore_colour);
      break;
    default: break;
  }
  return region;
}

}  // namespace movarin::skin
