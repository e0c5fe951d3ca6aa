// The stored design's keyed values: keys in any letter case, defaults for absent and
// unreadable values, and writes that leave defaults out.
#include <gtest/gtest.h>

#include "skin/property_bag.h"

namespace movarin::skin {
namespace {

TEST(PropertyBag, KeysMatchInAnyCase) {
  PropertyBag bag{{"BorderColor", "0x00800000"}};
  EXPECT_EQ(bag.ReadColour("bordercolor", 0), 0x00800000u);
  EXPECT_EQ(bag.ReadColour("BORDERCOLOR", 0), 0x00800000u);
  bag.Put("BORDERcolor", "255");
  EXPECT_EQ(bag.Entries().size(), 1u);
  EXPECT_EQ(bag.ReadColour("BorderColor", 0), 255u);
}

TEST(PropertyBag, ValueTexts) {
  struct Flag {
    const char* text;
    std::optional<bool> value;
  };
  for (const Flag& f : {Flag{"True", true}, Flag{"false", false}, Flag{"-1", true}, Flag{"0", false},
                        Flag{"yes", std::nullopt}, Flag{"", std::nullopt}})
    EXPECT_EQ(ParseFlag(f.text), f.value) << f.text;

  struct ColourCase {
    const char* text;
    std::optional<Colour> value;
  };
  for (const ColourCase& c : {ColourCase{"0x00FF8080", 0x00FF8080u}, ColourCase{"8421504", 0x00808080u},
                              ColourCase{"-1", std::nullopt}, ColourCase{"0x1FFFFFFFF", std::nullopt},
                              ColourCase{"0xZZ", std::nullopt}, ColourCase{"12abc", std::nullopt}})
    EXPECT_EQ(ParseColour(c.text), c.value) << c.text;

  struct FontCase {
    const char* text;
    std::optional<Font> value;
  };
  for (const FontCase& f : {FontCase{"Tahoma, 12, bold", Font{"Tahoma", 1200, true, false}},
                            FontCase{"MS Sans Serif,8.25", Font{"MS Sans Serif", 825, false, false}},
                            FontCase{"Arial, 9.5, italic, bold", Font{"Arial", 950, true, true}},
                            FontCase{"Arial", std::nullopt}, FontCase{", 12", std::nullopt},
                            FontCase{"Arial, 0", std::nullopt}, FontCase{"Arial, 12, heavy", std::nullopt},
                            FontCase{"Arial, 1.234", std::nullopt}})
    EXPECT_EQ(ParseFont(f.text), f.value) << f.text;
  for (const Font& f : {Font{"Tahoma", 1200, true, false}, Font{"A", 825, false, true}, Font{"B", 950, false, false}})
    EXPECT_EQ(ParseFont(FormatFont(f)), f) << FormatFont(f);
}

TEST(PropertyBag, AbsentOrUnreadableReadsTheDefault) {
  const PropertyBag bag{{"IconSize", "big"}, {"Caption", ""}};
  EXPECT_EQ(bag.ReadInteger("IconSize", 16), 16);
  EXPECT_EQ(bag.ReadInteger("Missing", 5), 5);
  EXPECT_EQ(bag.ReadText("Caption", "fallback"), "");  // present though empty
  EXPECT_EQ(bag.ReadText("Title", "fallback"), "fallback");
  EXPECT_EQ(bag.ReadFlag("ShowBorder", true), true);
}

TEST(PropertyBag, WritesOnlyValuesThatDifferFromTheirDefault) {
  PropertyBag bag;
  bag.WriteFlag("ShowBorder", true, true);
  bag.WriteColour("BorderColor", 0x00800000, 0);
  bag.WriteInteger("IconSize", 16, 16);
  bag.WriteText("Caption", "Movarin", "");
  bag.WriteFont("Font", {"Tahoma", 1200, true, false}, {});
  ASSERT_EQ(bag.Entries().size(), 3u);
  EXPECT_EQ(bag.Entries()[0].key, "BorderColor");
  EXPECT_EQ(bag.Entries()[0].value, "0x00800000");
  EXPECT_EQ(bag.Entries()[2].value, "Tahoma, 12, bold");
  // Writing the default again takes a stored value out.
  bag.WriteText("caption", "", "");
  EXPECT_FALSE(bag.Find("Caption"));
}

}  // namespace
}  // namespace movarin::skin
