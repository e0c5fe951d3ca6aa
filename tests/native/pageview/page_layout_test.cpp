// The page view's layout, with letters 7 pixels wide and lines 16 pixels high (body
// text; see FixedMeasurer), a view 200 pixels wide and a margin of 8: lines are 184
// pixels long, and a paragraph's margin is 12.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pageview/html_reader.h"
#include "pageview/page_layout.h"
#include "tests/native/pageview/page_test_support.h"

namespace movarin::pageview {
namespace {

using Kind = DisplayItem::Kind;

constexpr int kMargin = 8;
constexpr int kLine = 16;
constexpr int kGap = 12;  // three quarters of a line

struct Laid {
  DisplayList list;
  // The text items by their text.
  const DisplayItem& Text(const std::string& text) const {
    for (const DisplayItem& item : list.items) {
      if (item.kind == Kind::kText && item.text == text) return item;
    }
    ADD_FAILURE() << "no text item " << text;
    static const DisplayItem none;
    return none;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const DisplayItem& item : list.items) {
      if (item.kind == Kind::kText) texts.push_back(item.text);
    }
    return texts;
  }
};

Laid LayOut(const std::string& html, int width = 200, std::map<std::string, PictureSize> loaded = {},
            int scale_percent = 100) {
  testing::FixedMeasurer measurer;
  LayoutOptions options;
  options.width = width;
  options.margin = kMargin;
  options.scale_percent = scale_percent;
  const PictureSizes sizes = [loaded](const std::string& source) -> std::optional<PictureSize> {
    auto it = loaded.find(source);
    if (it == loaded.end()) return std::nullopt;
    return it->second;
  };
  return {LayOutPage(ReadHtml(html), measurer, sizes, options)};
}

TEST(PageLayout, WordsWrapAtTheLineEnd) {
  // Words of 4 letters with blanks between: 5 take 5*35-7 = 168 pixels, 6 would take 203.
  const Laid laid = LayOut("<p>aaaa bbbb cccc dddd eeee ffff gggg</p>");
  EXPECT_EQ(laid.Texts(), (std::vector<std::string>{"aaaa bbbb cccc dddd eeee", "ffff gggg"}));
  const DisplayItem& first = laid.Text("aaaa bbbb cccc dddd eeee");
  EXPECT_EQ(first.box.x, kMargin);
  EXPECT_EQ(first.box.y, kMargin + kGap);
  EXPECT_EQ(first.box.width, 168);
  EXPECT_EQ(laid.Text("ffff gggg").box.y, kMargin + kGap + kLine);
  EXPECT_EQ(laid.list.height, kMargin + kGap + 2 * kLine + kMargin);

  // Blanks collapse; a word wider than the line stands alone on its line.
  EXPECT_EQ(LayOut("  a \n\t b  ").Texts(), std::vector<std::string>{"a b"});
  const std::string long_word(40, 'x');
  const Laid wide = LayOut("a " + long_word + " b");
  EXPECT_EQ(wide.Texts(), (std::vector<std::string>{"a", long_word, "b"}));
  EXPECT_EQ(wide.Text(long_word).box.width, 280);
}

TEST(PageLayout, StylesMakeSeparateRuns) {
  const Laid laid = LayOut("a <b>bold</b> <i>it</i> <b><i>both</i></b> <u>u</u>");
  EXPECT_EQ(laid.Texts(), (std::vector<std::string>{"a", "bold", "it", "both", "u"}));
  EXPECT_TRUE(laid.Text("bold").style.bold);
  EXPECT_FALSE(laid.Text("bold").style.italic);
  EXPECT_TRUE(laid.Text("it").style.italic);
  EXPECT_TRUE(laid.Text("both").style.bold && laid.Text("both").style.italic);
  EXPECT_TRUE(laid.Text("u").style.underline);
  // Runs follow each other with one blank between them.
  EXPECT_EQ(laid.Text("bold").box.x, kMargin + 7 + 7);
  EXPECT_EQ(laid.Text("it").box.x, kMargin + 7 + 7 + 28 + 7);
  // No blank where the page has none.
  EXPECT_EQ(LayOut("x<b>y</b>").Text("y").box.x, kMargin + 7);
}

TEST(PageLayout, HeadingsAndLineBreaks) {
  const Laid laid = LayOut("<h1>Big</h1>text<br>next<br><br>after");
  const DisplayItem& heading = laid.Text("Big");
  EXPECT_EQ(heading.style.heading, 1);
  EXPECT_TRUE(heading.style.bold);
  EXPECT_EQ(heading.box.height, 32);
  EXPECT_EQ(heading.box.width, 3 * 14);
  const int text_y = kMargin + kGap + 32 + kGap;
  EXPECT_EQ(laid.Text("text").box.y, text_y);
  EXPECT_EQ(laid.Text("next").box.y, text_y + kLine);
  EXPECT_EQ(laid.Text("after").box.y, text_y + 3 * kLine);  // an empty line between
}

TEST(PageLayout, CentredAndRightAlignedBlocks) {
  const int line = 200 - 2 * kMargin;
  struct Case {
    std::string html;
    int x;
  };
  const Case cases[] = {
      {"<center>ab</center>", kMargin + (line - 14) / 2},
      {"<p align=center>ab</p>", kMargin + (line - 14) / 2},
      {"<div style=\"color: red; TEXT-ALIGN : Center\">ab</div>", kMargin + (line - 14) / 2},
      {"<p align=right>ab</p>", kMargin + line - 14},
      {"<center><p align=left>ab</p></center>", kMargin},
      {"<center>x</center><p>ab</p>", kMargin},
      {"<p align=nonsense>ab</p>", kMargin},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LayOut(c.html).Text("ab").box.x, c.x) << c.html;
  }
}

TEST(PageLayout, LinksAndHitTesting) {
  const Laid laid = LayOut("see <a href=\"one.htm\">the first</a> or <a href='two.htm'><b>two</b></a><a name=x>no</a>");
  ASSERT_EQ(laid.list.links, (std::vector<std::string>{"one.htm", "two.htm"}));
  const DisplayItem& first = laid.Text("the first");
  EXPECT_EQ(first.link, 0);
  EXPECT_TRUE(first.style.link);
  EXPECT_TRUE(first.style.underline);
  EXPECT_EQ(laid.Text("two").link, 1);
  EXPECT_TRUE(laid.Text("two").style.bold);
  EXPECT_EQ(laid.Text("no").link, -1);
  EXPECT_EQ(laid.Text("see").link, -1);

  EXPECT_EQ(LinkAt(laid.list, first.box.x, first.box.y), 0u);
  EXPECT_EQ(LinkAt(laid.list, first.box.x + first.box.width - 1, first.box.y + first.box.height - 1), 0u);
  EXPECT_EQ(LinkAt(laid.list, first.box.x + first.box.width + 3, first.box.y), std::nullopt);  // "or"
  EXPECT_EQ(LinkAt(laid.list, first.box.x, first.box.y + first.box.height), std::nullopt);
  EXPECT_EQ(LinkAt(laid.list, laid.Text("see").box.x, laid.Text("see").box.y), std::nullopt);
  const DisplayItem& two = laid.Text("two");
  EXPECT_EQ(LinkAt(laid.list, two.box.x + 1, two.box.y + 1), 1u);
}

TEST(PageLayout, Pictures) {
  auto picture = [](const Laid& laid) {
    for (const DisplayItem& item : laid.list.items) {
      if (item.kind == Kind::kPicture || item.kind == Kind::kPictureFrame) return item;
    }
    ADD_FAILURE() << "no picture";
    return DisplayItem{};
  };
  // Not loaded: a frame of the written size, or a small one.
  EXPECT_EQ(picture(LayOut("<img src=p.png>")).kind, Kind::kPictureFrame);
  EXPECT_EQ(picture(LayOut("<img src=p.png>")).box.width, 24);
  EXPECT_EQ(picture(LayOut("<img src=p.png width=60 height=30>")).box.width, 60);
  // Loaded: its own size, or the written one, keeping proportions when one side is given.
  const std::map<std::string, PictureSize> loaded = {{"p.png", {100, 50}}};
  struct Case {
    std::string html;
    int scale;
    int width, height;
  };
  const Case cases[] = {
      {"<img src=p.png>", 100, 100, 50},
      {"<img src=p.png width=50>", 100, 50, 25},
      {"<img src=p.png height='10px'>", 100, 20, 10},
      {"<img src=p.png width=30 height=30>", 100, 30, 30},
      {"<img src=p.png width=50%>", 100, 100, 50},
      {"<img src=p.png width=999999999999>", 100, kMaxPictureSide, kMaxPictureSide / 2},
      {"<img src=p.png>", 200, 200, 100},
  };
  for (const Case& c : cases) {
    const DisplayItem item = picture(LayOut(c.html, 200, loaded, c.scale));
    EXPECT_EQ(item.kind, Kind::kPicture) << c.html;
    EXPECT_EQ(item.box.width, c.width) << c.html;
    EXPECT_EQ(item.box.height, c.height) << c.html;
    EXPECT_EQ(item.source, "p.png");
  }
  // A picture shares the line with text, standing on its baseline, and a picture in a
  // link is part of the link.
  const Laid line = LayOut("<a href=go.htm><img src=p.png></a> text", 400, loaded);
  const DisplayItem item = picture(line);
  EXPECT_EQ(item.link, 0);
  EXPECT_EQ(item.box.y, kMargin);
  EXPECT_EQ(line.Text("text").box.y, kMargin + 50 - 12);
  EXPECT_EQ(line.Text("text").box.x, kMargin + 100 + 7);
  EXPECT_EQ(LinkAt(line.list, kMargin + 50, kMargin + 25), 0u);
  // Each source is listed once; a picture without a source is left out.
  EXPECT_EQ(LayOut("<img src=a.png><img src=b.gif><img src=a.png><img>").list.pictures,
            (std::vector<std::string>{"a.png", "b.gif"}));
}

TEST(PageLayout, TablesAsRowsAndLists) {
  const Laid table = LayOut("<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>");
  EXPECT_EQ(table.Text("a").box.y, table.Text("b").box.y);
  EXPECT_EQ(table.Text("b").box.x, table.Text("a").box.x + 7 + kLine);  // one em between cells
  EXPECT_EQ(table.Text("c").box.y, table.Text("a").box.y + kLine);
  EXPECT_EQ(table.Text("c").box.x, table.Text("a").box.x);
  EXPECT_TRUE(LayOut("<table><tr><th>h</th></tr></table>").Text("h").style.bold);

  const Laid list = LayOut("<ul><li>one<li>two</ul><ol><li>first<li>second</ol>");
  const DisplayItem& one = list.Text("one");
  EXPECT_EQ(one.box.x, kMargin + 2 * kLine);
  EXPECT_EQ(list.Text("\xE2\x80\xA2").box.y, one.box.y);  // a bullet before the item
  EXPECT_LT(list.Text("\xE2\x80\xA2").box.x, one.box.x);
  EXPECT_EQ(list.Text("two").box.y, one.box.y + kLine);
  EXPECT_EQ(list.Text("1.").box.y, list.Text("first").box.y);
  EXPECT_EQ(list.Text("2.").box.y, list.Text("second").box.y);
}

TEST(PageLayout, RulesAndPageHeight) {
  const Laid laid = LayOut("a<hr>b");
  bool rule = false;
  for (const DisplayItem& item : laid.list.items) {
    if (item.kind == Kind::kRule) {
      rule = true;
      EXPECT_EQ(item.box.width, 200 - 2 * kMargin);
      EXPECT_GT(item.box.y, laid.Text("a").box.y);
      EXPECT_LT(item.box.y, laid.Text("b").box.y);
    }
  }
  EXPECT_TRUE(rule);

  std::string long_page;
  for (int i = 0; i < 100; ++i) long_page += "<p>paragraph " + std::to_string(i) + "</p>";
  const Laid tall = LayOut(long_page);
  EXPECT_EQ(tall.list.height, kMargin + 100 * (kGap + kLine) + kMargin);
  EXPECT_EQ(tall.Text("paragraph 99").box.y, kMargin + 99 * (kGap + kLine) + kGap);
}

TEST(PageLayout, HostilePagesStayInsideTheView) {
  std::string deep;
  for (int i = 0; i < 20'000; ++i) deep += "<ul><li><blockquote><b>";
  deep += "word";
  const Laid laid = LayOut(deep, 300);
  ASSERT_FALSE(laid.Texts().empty());
  for (const DisplayItem& item : laid.list.items) {
    EXPECT_GE(item.box.x, 0);
    EXPECT_LE(item.box.x, 300);
  }
  // A narrow view still places every word.
  EXPECT_EQ(LayOut("<p>several words here</p>", 10).Texts().size(), 3u);
  // An empty page is only its margins, and so is a document without any node.
  EXPECT_EQ(LayOut("").list.height, 2 * kMargin);
  testing::FixedMeasurer measurer;
  EXPECT_EQ(LayOutPage(Document{}, measurer, {}, LayoutOptions{}).height, 2 * LayoutOptions{}.margin);
  EXPECT_TRUE(LayOut("<script>x</script><!-- y -->").list.items.empty());
}

}  // namespace
}  // namespace movarin::pageview
