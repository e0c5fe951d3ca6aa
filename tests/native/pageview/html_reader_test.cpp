// The page view's HTML reader: well-formed, broken and hostile pages.
#include <gtest/gtest.h>

#include <string>

#include "pageview/html_reader.h"
#include "tests/native/pageview/page_test_support.h"

namespace movarin::pageview {
namespace {

using testing::Depth;
using testing::Dump;

TEST(HtmlReader, TreesOfCommonAndBrokenMarkup) {
  struct Case {
    const char* what;
    std::string html;
    std::string tree;
  };
  const Case cases[] = {
      {"nesting", "<p>Hello <b>world</b></p>", R"(p("Hello " b("world")))"},
      {"frame tags make no nodes", "<html><head><meta charset=utf-8></head><body>x</body></html>", R"("x")"},
      {"a paragraph ends the open one", "<p>one<p>two", R"(p("one") p("two"))"},
      {"a block ends the open paragraph", "<p>a<div>b</div>c</p>", R"(p("a") div("b") "c")"},
      {"list items end each other", "<ul><li>a<li>b</ul>after", R"(ul(li("a") li("b")) "after")"},
      {"rows and cells end each other", "<table><tr><td>a<td>b<tr><td>c</table>",
       R"(table(tr(td("a") td("b")) tr(td("c"))))"},
      {"table sections make no nodes", "<table><tbody><tr><th>h</th></tr></tbody></table>",
       R"(table(tr(th("h"))))"},
      {"an end tag does not reach out of a cell", "<table><tr><td><div>a</td><td>b</table>x",
       R"(table(tr(td(div("a")) td("b"))) "x")"},
      {"an end tag inside a cell leaves the table open", "<div><table><tr><td>a</div>b</td></tr></table>c</div>",
       R"(div(table(tr(td("ab"))) "c"))"},
      {"a heading ends the open heading", "<h1>a<h2>b</h2>c", R"(h1("a") h2("b") "c")"},
      {"any heading end tag ends the heading", "<h1>a</h3>b", R"(h1("a") "b")"},
      {"links do not nest", "<a href=1>a<a href=2>b</a>c", R"(a("a") a("b") "c")"},
      {"mis-nested inline tags lose no text", "<b><i>x</b>y</i>z", R"(b(i("x")) "yz")"},
      {"an unmatched end tag is ignored", "a</span>b</p>c", R"("abc")"},
      {"</br> is a line break", "a</br>b", R"("a" br() "b")"},
      {"void elements hold nothing", "<img src=a.png>x<br>y<hr>z", R"(img() "x" br() "y" hr() "z")"},
      {"scripts and styles are skipped", "a<script>if (x<y) document.write('<b>')</script>b<style>p{}</style>c",
       R"("abc")"},
      {"a script end tag in any case", "a<SCRIPT>x</ScRiPt >b", R"("ab")"},
      {"an unterminated script hides the rest", "a<script>b<p>c", R"("a")"},
      {"comments", "a<!-- <b>hidden</b> -->b<!doctype html><?xml x?>c", R"("abc")"},
      {"an unterminated comment", "a<!-- b", R"("a")"},
      {"stray angle brackets are text", "1 < 2 and 3<4 <> </ >x", R"("1 < 2 and 3<4 <> x")"},
      {"a tag cut off by the end of the page", "a<b", R"("a")"},
      {"a quote cut off by the end of the page", "a<img src=\"x>b", R"("a")"},
      {"names in any case", "<P><B>x</b></p>", R"(p(b("x")))"},
      {"forms show nothing but text", "<form>a<input value=x><select><option>o</select>b</form>",
       R"(form("a" input() "b"))"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Dump(ReadHtml(c.html)), c.tree) << c.what;
  }
}

TEST(HtmlReader, AttributesAndTitle) {
  const Document document = ReadHtml(
      "<title>T &amp; U</title>"
      "<a HREF=\"x.htm?a=1&amp;b=2\" title='it''s' data=bare checked href=second>go</a>");
  EXPECT_EQ(document.title, "T & U");
  ASSERT_EQ(Dump(document), R"(a("go"))");
  const Node& link = document.nodes[document.root().children[0]];
  ASSERT_NE(link.FindAttribute("href"), nullptr);
  EXPECT_EQ(*link.FindAttribute("href"), "x.htm?a=1&b=2");  // the first of two wins
  EXPECT_EQ(*link.FindAttribute("title"), "it");
  EXPECT_EQ(*link.FindAttribute("data"), "bare");
  EXPECT_EQ(*link.FindAttribute("checked"), "");
  EXPECT_EQ(link.FindAttribute("missing"), nullptr);
}

TEST(HtmlReader, CharacterReferences) {
  EXPECT_EQ(DecodeCharacterReferences("&lt;&amp;&gt;&quot;&apos;"), "<&>\"'");
  EXPECT_EQ(DecodeCharacterReferences("&eacute;&#233;&#xE9;&#XE9"), "\u00E9\u00E9\u00E9\u00E9");
  EXPECT_EQ(DecodeCharacterReferences("&copy 2024 &nbsp;"), "\u00A9 2024 \u00A0");
  EXPECT_EQ(DecodeCharacterReferences("&eacute &unknown; & &; &#; &#x;"), "&eacute &unknown; & &; &#; &#x;");
  // References that name no character give the replacement character; 128 to 159 are
  // read as Windows-1252, as browsers do.
  EXPECT_EQ(DecodeCharacterReferences("&#0;&#xD800;&#x110000;&#99999999999999;"),
            "\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeCharacterReferences("&#128;&#x93;&#129;"), "\u20AC\u201C\uFFFD");
  EXPECT_EQ(Dump(ReadHtml("<p>caf&eacute; &lt;b&gt;</p>")), R"(p("café <b>"))");
}

TEST(HtmlReader, PageEncodings) {
  EXPECT_EQ(PageTextToUtf8("caf\xC3\xA9"), "caf\u00E9");
  EXPECT_EQ(PageTextToUtf8("\xEF\xBB\xBFx"), "x");
  // Not UTF-8: Windows-1252.
  EXPECT_EQ(PageTextToUtf8("caf\xE9 \x80 \x81"), "caf\u00E9 \u20AC \uFFFD");
  EXPECT_EQ(PageTextToUtf8(std::string("a\0b", 3)), "a\uFFFDb");
  EXPECT_EQ(Dump(ReadHtml("<p>caf\xE9</p>")), R"(p("café"))");
}

TEST(HtmlReader, DeepNestingStaysWithinTheDepthLimit) {
  std::string html;
  for (int i = 0; i < 20'000; ++i) html += "<div><b>";
  html += "deep text";
  const Document document = ReadHtml(html);
  EXPECT_LE(Depth(document), ReaderLimits{}.max_depth + 1);
  EXPECT_NE(Dump(document).find("\"deep text\""), std::string::npos);
  EXPECT_FALSE(document.truncated);

  // End tags of elements that were flattened close nothing they should not.
  std::string closed;
  for (int i = 0; i < 200; ++i) closed += "<span>";
  closed += "x";
  for (int i = 0; i < 200; ++i) closed += "</span>";
  closed += "y";
  const Document flat = ReadHtml(closed);
  const std::string dump = Dump(flat);
  EXPECT_NE(dump.find("\"x\""), std::string::npos);
  EXPECT_EQ(dump.substr(dump.size() - 3), "\"y\"");
}

TEST(HtmlReader, HugeAttributesAreDroppedNotKept) {
  const std::string huge(ReaderLimits{}.max_attribute_bytes + 1, 'a');
  const std::string fitting(ReaderLimits{}.max_attribute_bytes, 'b');
  const Document document =
      ReadHtml("<a href=\"" + huge + "\" title=\"" + fitting + "\">link</a><img src='" + huge + "'>after");
  ASSERT_EQ(Dump(document), R"(a("link") img() "after")");
  const Node& link = document.nodes[document.root().children[0]];
  EXPECT_EQ(link.FindAttribute("href"), nullptr);
  ASSERT_NE(link.FindAttribute("title"), nullptr);
  EXPECT_EQ(link.FindAttribute("title")->size(), fitting.size());

  // Many attributes: only the first ones are kept.
  std::string many = "<p";
  for (int i = 0; i < 1000; ++i) many += " a" + std::to_string(i) + "=x";
  const Document crowded = ReadHtml(many + ">t</p>");
  EXPECT_EQ(crowded.nodes[crowded.root().children[0]].attributes.size(), ReaderLimits{}.max_attributes);
}

TEST(HtmlReader, NodeLimitTruncatesThePage) {
  std::string html;
  for (int i = 0; i < 1000; ++i) html += "<br>";
  ReaderLimits limits;
  limits.max_nodes = 100;
  const Document document = ReadHtml(html, limits);
  EXPECT_TRUE(document.truncated);
  EXPECT_EQ(document.nodes.size(), 100u);
  EXPECT_FALSE(ReadHtml(html).truncated);
}

}  // namespace
}  // namespace movarin::pageview
