// The styled button's behaviour as tables: the mouse timer, keys, mouse buttons, the
// property checks with their message boxes, and loading a stored design.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/styled_button.h"

namespace movarin::skin {
namespace {

// Records every event and host call as a line of text.
struct Recorder : StyledButtonHost {
  std::vector<std::string> log;
  std::vector<ButtonMessage> messages;
  int redraws = 0;
  void Click() override { log.push_back("Click"); }
  void DoubleClick() override { log.push_back("DoubleClick"); }
  void KeyDown(int k, int) override { log.push_back("KeyDown " + std::to_string(k)); }
  void KeyPress(int k) override { log.push_back("KeyPress " + std::to_string(k)); }
  void KeyUp(int k, int) override { log.push_back("KeyUp " + std::to_string(k)); }
  void MouseDown(int b, int, int, int) override { log.push_back("MouseDown " + std::to_string(b)); }
  void MouseMove(int, int, int, int) override { log.push_back("MouseMove"); }
  void MouseUp(int b, int, int, int) override { log.push_back("MouseUp " + std::to_string(b)); }
  void MouseEnters(int x, int y) override { log.push_back("MouseEnters " + std::to_string(x) + "," + std::to_string(y)); }
  void MouseLeaves(int x, int y) override { log.push_back("MouseLeaves " + std::to_string(x) + "," + std::to_string(y)); }
  void Redraw() override { ++redraws; }
  void ShowMessage(const ButtonMessage& m) override { messages.push_back(m); }
};

TEST(StyledButtonTimer, EntersAndLeavesOnlyOnAChange) {
  Recorder host;
  StyledButton b(host, "StyledButton1", Font{});
  struct Tick {
    bool over;
    Point cursor;
    const char* event;  // nullptr: none
    bool hovered;
    int redraws;        // redraws so far
  };
  const Tick ticks[] = {
      {false, {1, 1}, nullptr, false, 0},
      {true, {10, 20}, "MouseEnters 10,20", true, 1},
      {true, {11, 21}, nullptr, true, 1},
      {false, {300, 400}, "MouseLeaves 300,400", false, 2},
      {false, {301, 400}, nullptr, false, 2},
  };
  for (const Tick& t : ticks) {
    host.log.clear();
    b.OnMouseTimer(t.over, t.cursor);
    if (t.event)
      EXPECT_EQ(host.log, std::vector<std::string>{t.event});
    else
      EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(b.Hovered(), t.hovered);
    EXPECT_EQ(host.redraws, t.redraws);
  }
}

TEST(StyledButtonInput, EnterClicksOnceSpacePressesWithoutClicking) {
  struct Case {
    const char* what;
    std::vector<std::pair<char, int>> input;  // 'd' key down, 'p' key press, 'u' key up
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"Enter", {{'d', 13}, {'p', 13}, {'u', 13}}, {"KeyDown 13", "KeyPress 13", "Click", "KeyUp 13"}},
      {"Space", {{'d', 32}, {'p', 32}, {'u', 32}}, {"KeyDown 32", "KeyPress 32", "KeyUp 32"}},
      {"a letter", {{'d', 65}, {'p', 97}, {'u', 65}}, {"KeyDown 65", "KeyPress 97", "KeyUp 65"}},
  };
  for (const Case& c : cases) {
    Recorder host;
    StyledButton b(host, "StyledButton1", Font{});
    b.OnFocus(true);
    for (const auto& [kind, key] : c.input) {
      if (kind == 'd') {
        b.OnKeyDown(key, 0);
        EXPECT_EQ(b.Pressed(), key == 32) << c.what << ": Space down shows the pressed look";
      } else if (kind == 'p') {
        b.OnKeyPress(key);
      } else {
        b.OnKeyUp(key, 0);
        EXPECT_FALSE(b.Pressed()) << c.what;
      }
    }
    EXPECT_EQ(host.log, c.events) << c.what;
  }
}

TEST(StyledButtonInput, MouseButtonsAndTheDisabledButton) {
  Recorder host;
  StyledButton b(host, "StyledButton1", Font{});
  b.OnMouseDown(kRightButton, 0, {1, 1});
  EXPECT_FALSE(b.Pressed());
  b.OnMouseDown(kLeftButton, 0, {1, 1});
  EXPECT_TRUE(b.Pressed());
  b.OnMouseMove(kLeftButton, 0, {2, 2});
  b.OnMouseUp(kLeftButton, 0, {2, 2});
  EXPECT_FALSE(b.Pressed());
  b.OnClick();
  b.OnDoubleClick();
  EXPECT_EQ(host.log, (std::vector<std::string>{"MouseDown 2", "MouseDown 1", "MouseMove", "MouseUp 1", "Click",
                                                "DoubleClick"}));

  host.log.clear();
  b.SetEnabled(false);
  b.OnMouseDown(kLeftButton, 0, {1, 1});
  b.OnMouseUp(kLeftButton, 0, {1, 1});
  b.OnClick();
  b.OnKeyDown(32, 0);
  b.OnKeyPress(13);
  b.OnMouseTimer(true, {1, 1});
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(b.Pressed());
  EXPECT_FALSE(b.Hovered());
}

TEST(StyledButtonProperties, TransparencyOutsideTheRangeShowsTheBoxAndStoresAHundred) {
  for (int value : {-1, 101}) {
    Recorder host;
    StyledButton b(host, "StyledButton1", Font{}, {.executable_name = "Movarin"});
    b.SetTransparency(40);
    b.SetTransparency(value);
    EXPECT_EQ(b.Properties().transparency, 100);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Movarin");
    EXPECT_EQ(host.messages[0].text, "Please Enter Between 0 TO 100 Value");
    EXPECT_EQ(host.messages[0].icon, ButtonMessage::Icon::Error);
  }
  Recorder host;
  StyledButton b(host, "StyledButton1", Font{});
  b.SetTransparency(0);
  b.SetTransparency(100);
  EXPECT_TRUE(host.messages.empty());
}

TEST(StyledButtonProperties, IconNeedsASourceOfMoreThanSevenCharacters) {
  const ProgramInfo program{"Movarin", 2, 1, 7};
  struct Case {
    const char* source;
    bool accepted;
    const char* first_line;
  };
  const Case cases[] = {
      {"", false, "Null Value!"},
      {"C:\\a.bm", false, "Incorrect Source!"},  // 7 characters
      {"C:\\x.png", true, nullptr},              // 8 characters
      {"\xC3\xA9\xC3\xA9\xC3\xA9.png", false, "Incorrect Source!"},  // 7 characters, 10 bytes
  };
  for (const Case& c : cases) {
    Recorder host;
    StyledButton b(host, "StyledButton1", Font{}, program);
    b.SetIconSource(c.source);
    b.SetIcon(true);
    EXPECT_EQ(b.Properties().icon, c.accepted) << c.source;
    if (c.accepted) {
      EXPECT_TRUE(host.messages.empty());
      continue;
    }
    ASSERT_EQ(host.messages.size(), 1u) << c.source;
    const ButtonMessage& m = host.messages[0];
    EXPECT_EQ(m.title, "Styled Button Ver.2.1.7.");
    EXPECT_EQ(m.icon, ButtonMessage::Icon::None);
    EXPECT_EQ(m.text.substr(0, m.text.find("\r\n")), c.first_line);
  }
  const ButtonMessage empty = MissingIconSourceMessage(program, true);
  EXPECT_EQ(empty.text,
            "Null Value!\r\n\r\nPlaese Enter Icon Image Source in IconSource.\r\n"
            "Icon Image Extention is: \r\n"
            "*.bmp / *.gif / *.jpg / *.ico / *.png / *.wmf / *.emf / *.cur / *.jpeg\r\n\r\n"
            "For Example:\r\nC:\\My Pic.bmp");
}

TEST(StyledButtonProperties, ThemeOnADisabledButtonSetsItsDisabledColours) {
  struct Case {
    int theme;
    Colour caption, border;
  };
  const Case cases[] = {
      {1, Rgb(183, 182, 186), Rgb(198, 197, 201)}, {2, Rgb(183, 182, 186), Rgb(183, 182, 186)},
      {3, Rgb(154, 182, 200), Rgb(161, 189, 207)}, {4, Rgb(183, 182, 186), Rgb(198, 197, 201)},
      {5, Rgb(183, 182, 186), Rgb(178, 178, 178)}, {6, Rgb(183, 182, 186), Rgb(178, 178, 178)},
      {7, 0x00BAC7C9, 0x00BAC7C9},                 {9, 0x00BAC7C9, 0x00BAC7C9},
  };
  for (const Case& c : cases) {
    Recorder host;
    StyledButton b(host, "StyledButton1", Font{});
    b.SetTheme(c.theme);
    EXPECT_EQ(b.Properties().caption_disable_colour, Rgb(212, 212, 212)) << "enabled: unchanged";
    b.SetEnabled(false);
    b.SetTheme(c.theme);
    EXPECT_EQ(b.Properties().caption_disable_colour, c.caption) << c.theme;
    EXPECT_EQ(b.DisabledBorderColour(), c.border) << c.theme;
  }
}

TEST(StyledButtonProperties, AlignmentResetsOffsetsAndLoadingAppliesItLast) {
  Recorder host;
  StyledButton b(host, "Button7", Font{"Tahoma", 800, false, false});
  EXPECT_EQ(b.Properties().caption, "Button7");
  b.SetCaptionOffsetX(7);
  b.SetCaptionOffsetY(300);  // used as 0..255
  EXPECT_EQ(b.Properties().caption_offset_x, 7);
  EXPECT_EQ(b.Properties().caption_offset_y, 255);
  b.SetCaptionAlignment(2);
  EXPECT_EQ(b.Properties().caption_offset_x, 0);
  EXPECT_EQ(b.Properties().caption_offset_y, 0);

  // Offsets stored with a design come back as 0: the alignment is applied after them.
  b.Load({{"Caption", "Search"}, {"captionoffsetx", "6"}, {"CaptionOffsetY", "4"}, {"Theme", "4"},
          {"CaptionAlignment", "5"}, {"CaptionDisableColor", "0x00B7B6BA"}, {"TransparencyICO", "250"}});
  EXPECT_EQ(b.Properties().caption, "Search");
  EXPECT_EQ(b.Properties().theme, 4);
  EXPECT_EQ(b.Properties().caption_offset_x, 0);
  EXPECT_EQ(b.Properties().caption_offset_y, 0);
  EXPECT_EQ(b.Properties().caption_disable_colour, 0x00B7B6BAu);
  EXPECT_EQ(b.Properties().transparency, 100);  // checked on load too, with its box
  EXPECT_EQ(host.messages.size(), 1u);
  // An absent key takes its default, not the new-button value.
  EXPECT_EQ(b.Properties().caption_effect_colour, Rgb(200, 200, 200));
}

TEST(StyledButtonProperties, SavedDesignHoldsOnlyWhatDiffersAndLoadsBack) {
  Recorder host;
  const Font host_font{"Tahoma", 800, false, false};
  StyledButton b(host, "", host_font);
  b.Load({});
  EXPECT_TRUE(b.Save().Entries().empty());

  b.SetCaption("Register");
  b.SetTheme(4);
  b.SetCaptionDisableColour(0x00BAB6B7);
  b.SetCaptionEffectColour(kWhite);
  b.SetIconSource("C:\\Movarin\\Images\\Regsiter.gif");
  b.SetIcon(true);
  const PropertyBag saved = b.Save();
  EXPECT_EQ(saved.Entries().size(), 6u);
  EXPECT_EQ(saved.Find("captioneffectcolor").value_or(""), "0x00FFFFFF");

  StyledButton copy(host, "", host_font);
  copy.Load(saved);
  EXPECT_EQ(copy.Properties().caption, "Register");
  EXPECT_TRUE(copy.Properties().icon);
  EXPECT_EQ(copy.Properties().caption_effect_colour, kWhite);
  EXPECT_EQ(copy.Save().Entries().size(), 6u);
}

TEST(StyledButtonProperties, SetByName) {
  Recorder host;
  StyledButton b(host, "", Font{});
  EXPECT_TRUE(b.SetProperty("FORECOLOR", "0x000000FF"));
  EXPECT_EQ(b.Properties().fore_colour, 0x000000FFu);
  EXPECT_FALSE(b.SetProperty("Theme", "four"));
  EXPECT_FALSE(b.SetProperty("Nothing", "1"));
}

}  // namespace
}  // namespace movarin::skin

namespace movarin::skin {
namespace {

TEST(StyledButtonProperties, TheLookEveryButtonHas) {
  Recorder host;
  StyledButton b(host, "StyledButton1", Font{});
  b.Load(StandardButtonDesign("Search", "C:\\Movarin\\Images\\Search.png"));
  const StyledButtonProperties& p = b.Properties();
  EXPECT_EQ(p.caption, "Search");
  EXPECT_EQ(p.theme, 4);
  EXPECT_EQ(p.caption_alignment, 5);
  EXPECT_EQ(p.caption_effect, 1);
  EXPECT_EQ(p.icon_alignment, 1);
  EXPECT_EQ(p.rounded_value, 5);
  EXPECT_EQ(p.transparency, 100);
  EXPECT_EQ(p.caption_disable_colour, 0x00BAB6B7u);
  EXPECT_EQ(p.caption_effect_colour, 0x00FFFFFFu);
  EXPECT_TRUE(p.icon);
  EXPECT_TRUE(host.messages.empty());
  b.Load(StandardButtonDesign("cancel", ""));
  EXPECT_FALSE(b.Properties().icon);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace movarin::skin
