#include "skin/window_skin.h"

#include <limits>

namespace movarin::skin {
namespace {

// A 16-bit integer property kept in an int.
struct Short {
  int& value;
};

// Calls visit(key, member, default) for every stored property, in the stored design's
// key order.
template <typename P, typename Visit>
void ForEachProperty(P& p, const SkinHostDefaults& host, Visit&& visit) {
  const Colour bg = host.background;
  visit("ShowBorder", p.show_border, true);
  visit("BorderColor", p.border_colour, Colour{0});
  visit("ShowCaptionArea", p.show_caption_area, false);
  visit("CaptionColorTo", p.caption_colour_to, bg);
  visit("CaptionColorFrom", p.caption_colour_from, bg);
  visit("Caption", p.caption, host.display_name);
  visit("CaptionColor", p.caption_colour, Colour{0});
  visit("Icon", p.icon, std::string());
  visit("IconSize", Short{p.icon_size}, 16);
  visit("Font", p.font, host.font);
  visit("ColorTo", p.colour_to, bg);
  visit("ColorFrom", p.colour_from, bg);
  const std::pair<const char*, CaptionButtonStyle*> buttons[] = {
      {"Min", &p.min}, {"Max", &p.max}, {"Close", &p.close}};
  for (const auto& [name, style] : buttons) {
    const std::string n = name;
    visit("Show" + n + "Button", style->shown, false);
    visit(n + "Color", style->glyph, Colour{0});
    visit(n + "OverColor", style->over, Colour{255});
    visit(n + "ColorFrom", style->from, bg);
    visit(n + "ColorTo", style->to, bg);
  }
  visit("BackGroundPicture", p.background_picture, std::string());
  visit("BackGroundPicturePosition", p.background_picture_position, 1);
}

std::optional<int> ParseShort(std::string_view text) {
  const auto v = ParseInteger(text);
  if (!v || *v < std::numeric_limits<std::int16_t>::min() || *v > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<int> ParseLong(std::string_view text) {
  const auto v = ParseInteger(text);
  if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<int>(*v);
}

struct Loader {
  const PropertyBag& bag;
  void operator()(std::string_view key, bool& v, bool d) { v = bag.ReadFlag(key, d); }
  void operator()(std::string_view key, Colour& v, Colour d) { v = bag.ReadColour(key, d); }
  void operator()(std::string_view key, std::string& v, const std::string& d) { v = bag.ReadText(key, d); }
  void operator()(std::string_view key, Font& v, const Font& d) { v = bag.ReadFont(key, d); }
  void operator()(std::string_view key, Short v, int d) {
    const auto text = bag.Find(key);
    v.value = text ? ParseShort(*text).value_or(d) : d;
  }
  void operator()(std::string_view key, int& v, int d) {
    const auto text = bag.Find(key);
    v = text ? ParseLong(*text).value_or(d) : d;
  }
};

struct Saver {
  PropertyBag& bag;
  void operator()(std::string_view key, bool v, bool d) { bag.WriteFlag(key, v, d); }
  void operator()(std::string_view key, Colour v, Colour d) { bag.WriteColour(key, v, d); }
  void operator()(std::string_view key, const std::string& v, const std::string& d) { bag.WriteText(key, v, d); }
  void operator()(std::string_view key, const Font& v, const Font& d) { bag.WriteFont(key, v, d); }
  void operator()(std::string_view key, Short v, int d) { bag.WriteInteger(key, v.value, d); }
  void operator()(std::string_view key, int v, int d) { bag.WriteInteger(key, v, d); }
};

struct Setter {
  std::string_view name;
  std::string_view text;
  bool matched = false;
  bool ok = false;
  template <typename T, typename Parse>
  void Take(std::string_view key, T& member, Parse parse) {
    if (matched || !SameKey(key, name)) return;
    matched = true;
    if (const auto v = parse(text)) {
      member = static_cast<T>(*v);
      ok = true;
    }
  }
  void operator()(std::string_view key, bool& v, bool) { Take(key, v, ParseFlag); }
  void operator()(std::string_view key, Colour& v, Colour) { Take(key, v, ParseColour); }
  void operator()(std::string_view key, std::string& v, const std::string&) {
    Take(key, v, [](std::string_view t) { return std::optional<std::string>(std::string(t)); });
  }
  void operator()(std::string_view key, Font& v, const Font&) { Take(key, v, ParseFont); }
  void operator()(std::string_view key, Short v, int) { Take(key, v.value, ParseShort); }
  void operator()(std::string_view key, int& v, int) { Take(key, v, ParseLong); }
};

}  // namespace

WindowSkinProperties LoadWindowSkin(const PropertyBag& design, const SkinHostDefaults& host) {
  WindowSkinProperties p;
  p.surface = host.background;
  ForEachProperty(p, host, Loader{design});
  return p;
}

PropertyBag SaveWindowSkin(const WindowSkinProperties& p, const SkinHostDefaults& host) {
  PropertyBag bag;
  // The visitor only reads here.
  ForEachProperty(const_cast<WindowSkinProperties&>(p), host, Saver{bag});
  return bag;
}

bool SetWindowSkinProperty(WindowSkinProperties& p, std::string_view name, std::string_view value) {
  Setter setter{name, value};
  ForEachProperty(p, SkinHostDefaults{}, setter);
  return setter.ok;
}

Point RelativeCursor(Point cursor, Point host_origin, Point skin_origin, bool host_has_frame) {
  Point r{cursor.x - (host_origin.x + skin_origin.x), cursor.y - (host_origin.y + skin_origin.y)};
  if (host_has_frame) {
    r.x -= 4;
    r.y -= 23;
  }
  return r;
}

void SkinGradient(Canvas& canvas, int x1, int y0, int x2, int n, Colour a, Colour b) {
  // Fewer than two steps draw nothing (and a span of zero never divides by zero).
  for (int i = 1; i < n; ++i) {
    canvas.Line({x1, y0 + i}, {x2, y0 + i}, SkinGradientLine(a, b, n, i));
  }
}

void SkinOutline(Canvas& canvas, int x, int y, int w, int h, Colour colour) {
  canvas.Line({x, y}, {x + w, y}, colour);
  canvas.Line({x + w, y}, {x + w, y + h}, colour);
  canvas.Line({x + w, y + h}, {x, y + h}, colour);
  canvas.Line({x, y + h}, {x, y}, colour);
}

Region WindowSkin::Redraw(Canvas& canvas) {
  const Size extent = canvas.Extent();
  const int w = extent.width, h = extent.height;
  const Region region{{0, 0, w, h}, 0, 0};

  canvas.FillRect({0, 0, w, h}, p_.surface);
  canvas.SetFont(p_.font);

  const std::unique_ptr<Picture> icon =
      p_.icon.empty() ? nullptr : canvas.LoadPicture(p_.icon, p_.icon_size);
  const int text_height = canvas.MeasureText(p_.caption).height;
  int ch = text_height + 10;
  if (icon && ch < p_.icon_size + 10) ch = p_.icon_size + 10;
  const int half = DivideRounded(ch, 2);
  g_.caption_height = ch;
  g_.half = half;

  const std::unique_ptr<Picture> background =
      p_.background_picture.empty() ? nullptr : canvas.LoadPicture(p_.background_picture, 0);
  const bool body = !(background && p_.background_picture_position == 8);
  const Colour cap_to = AverageWithWhite(p_.caption_colour_to);
  const Colour cap_from = AverageWithWhite(p_.caption_colour_from);
  const Colour body_from = AverageWithWhite(p_.colour_from);
  const Colour body_to = AverageWithWhite(p_.colour_to);
  if (p_.show_caption_area && p_.show_border) {
    SkinOutline(canvas, 0, 0, w - 2, h - 2, p_.border_colour);
    SkinOutline(canvas, 0, 0, w - 2, ch, p_.border_colour);
    SkinGradient(canvas, 1, 0, w - 2, half + 1, cap_to, cap_from);
    SkinGradient(canvas, 1, half, w - 2, ch - half, cap_from, cap_to);
    if (body) SkinGradient(canvas, 1, ch, w - 2, h - ch - 2, body_from, body_to);
  } else if (p_.show_caption_area) {
    SkinGradient(canvas, 0, 0, w, half + 1, cap_to, cap_from);
    SkinGradient(canvas, 0, half, w, ch - half, cap_from, cap_to);
    // Over h steps from below the caption: clipped before it reaches the end colour.
    if (body) SkinGradient(canvas, 0, ch, w, h, body_from, body_to);
  } else if (p_.show_border) {
    SkinOutline(canvas, 0, 0, w - 2, h - 2, p_.border_colour);
    if (body) SkinGradient(canvas, 1, 0, w - 2, h - 2, body_from, body_to);
  } else if (body) {
    SkinGradient(canvas, 0, 0, w, h, body_from, body_to);
  }

  if (background) {
    const int pw = background->Width(), ph = background->Height();
    const int top = p_.show_caption_area ? ch : 0;
    Rect r{0, 0, pw, ph};
    Point shift;
    switch (p_.background_picture_position) {
      case 1: r = {0, top, 0, 0}, shift = {2, 2}; break;
      case 2: r = {w - pw, top, 0, 0}, shift = {-3, 2}; break;
      case 3: r = {DivideRounded(w - pw, 2), top, 0, 0}, shift = {0, 2}; break;
      case 4: r = {0, h - ph, 0, 0}, shift = {2, -3}; break;
      case 5: r = {w - pw, h - ph, 0, 0}, shift = {-3, -3}; break;
      case 6: r = {DivideRounded(w - pw, 2), h - ph, 0, 0}, shift = {0, -3}; break;
      case 7: r = {DivideRounded(w - pw, 2), DivideRounded(h - ph, 2), 0, 0}; break;
      case 8: r = {0, top, 0, 0}, shift = {1, 1}; break;
      default: r = {0, 0, 0, 0}; break;
    }
    int dw = pw, dh = ph;
    if (p_.background_picture_position == 8) {
      dw = w;
      dh = h - top;
      if (p_.show_border) dw -= 3, dh -= 3;
    }
    if (p_.show_border) r.left += shift.x, r.top += shift.y;
    r.right = r.left + dw;
    r.bottom = r.top + dh;
    if (!r.Empty()) canvas.DrawPicture(*background, r, 100);
  }

  if (icon) {
    const int y = (ch - p_.icon_size) / 2;  // not rounded: the whole part
    canvas.DrawPicture(*icon, {5, y, 5 + p_.icon_size, y + p_.icon_size}, 100);
  }
  const int tx = icon ? p_.icon_size + 10 : 5;
  if (!p_.caption.empty()) {
    const int th = text_height;
    canvas.DrawText(p_.caption, {tx, DivideRounded(ch - th, 2), w - 20, th + 10},
                    kTextWordBreak | kTextVerticalCentre, p_.caption_colour);
  }

  if (p_.show_caption_area) {
    g_.button_top = DivideRounded(ch - 16, 2);
    drag_zone_height_ = ch;
  } else {
    g_.button_top = 5;
  }
  int x = w - 21;
  if (p_.close.shown) g_.close_x = x, x -= 21;
  if (p_.max.shown) g_.max_x = x, x -= 21;
  if (p_.min.shown) g_.min_x = x;

  // Normal looks: a button lit before the redraw stays normal until the state changes.
  if (p_.close.shown) PaintButton(canvas, CaptionButton::Close, false);
  if (p_.max.shown) PaintButton(canvas, CaptionButton::Maximise, false);
  if (p_.min.shown) PaintButton(canvas, CaptionButton::Minimise, false);
  return region;
}

const CaptionButtonStyle& WindowSkin::Style(CaptionButton which) const {
  switch (which) {
    case CaptionButton::Maximise: return p_.max;
    case CaptionButton::Minimise: return p_.min;
    default: return p_.close;
  }
}

int WindowSkin::ButtonX(CaptionButton which) const {
  switch (which) {
    case CaptionButton::Maximise: return g_.max_x;
    case CaptionButton::Minimise: return g_.min_x;
    default: return g_.close_x;
  }
}

void WindowSkin::PaintButtons(Canvas& canvas) const {
  for (CaptionButton b : {CaptionButton::Close, CaptionButton::Maximise, CaptionButton::Minimise}) {
    if (Style(b).shown) PaintButton(canvas, b, hover_ == b);
  }
}

void WindowSkin::PaintButton(Canvas& canvas, CaptionButton which, bool lit) const {
  const CaptionButtonStyle& s = Style(which);
  const int x = ButtonX(which), bt = g_.button_top;
  const Colour g = lit ? s.over : s.glyph;
  // The lit look runs the fill the other way, unless the over colour is the normal one.
  const bool normal = g == s.glyph;
  const Colour first = normal ? s.from : s.to;
  const Colour second = normal ? s.to : s.from;

  canvas.Line({x, bt}, {x + 16, bt}, kWhite);
  canvas.Line({x, bt}, {x, bt + 16}, kWhite);
  canvas.Line({x + 16, bt}, {x + 16, bt + 16}, kBlack);
  canvas.Line({x, bt + 16}, {x + 17, bt + 16}, kBlack);
  SkinGradient(canvas, x + 1, bt, x + 16, 16, AverageWithWhite(first), AverageWithWhite(second));

  switch (which) {
    case CaptionButton::Minimise:
      canvas.Line({x + 3, bt + 12}, {x + 14, bt + 12}, g);
      canvas.Line({x + 3, bt + 13}, {x + 14, bt + 13}, g);
      break;
    case CaptionButton::Maximise:
      SkinOutline(canvas, x + 3, bt + 3, 10, 10, g);
      canvas.Line({x + 3, bt + 4}, {x + 14, bt + 4}, g);
      break;
    default:
      canvas.Line({x + 4, bt + 4}, {x + 13, bt + 13}, g);
      canvas.Line({x + 4, bt + 5}, {x + 13, bt + 14}, g);
      canvas.Line({x + 12, bt + 4}, {x + 3, bt + 13}, g);
      canvas.Line({x + 12, bt + 5}, {x + 3, bt + 14}, g);
      break;
  }
}

CaptionButton WindowSkin::HitTest(Point r) const {
  const int bt = g_.button_top;
  for (CaptionButton b : {CaptionButton::Close, CaptionButton::Maximise, CaptionButton::Minimise}) {
    if (!Style(b).shown) continue;
    const int x = ButtonX(b);
    if (x <= r.x && r.x <= x + 16 && bt <= r.y && r.y <= bt + 16) return b;
  }
  return CaptionButton::None;
}

bool WindowSkin::TrackHover(bool on_own_window, Point relative) {
  const CaptionButton hit = on_own_window ? HitTest(relative) : CaptionButton::None;
  if (hit == hover_) return false;
  hover_ = hit;
  return true;
}

CaptionButton WindowSkin::Click(bool on_own_window, Point relative) const {
  if (!AnyButtonShown() || !on_own_window) return CaptionButton::None;
  return HitTest(relative);
}

void WindowSkin::MouseDown(Point cursor, int skin_top) {
  if (dragging_ || !p_.show_caption_area) return;
  last_cursor_ = cursor;
  if (cursor.y - skin_top < drag_zone_height_) dragging_ = true;
}

std::optional<Point> WindowSkin::MouseMove(Point cursor, bool host_has_frame) {
  if (!dragging_ || !p_.show_caption_area || hover_ != CaptionButton::None || host_has_frame)
    return std::nullopt;
  const Point delta{cursor.x - last_cursor_.x, cursor.y - last_cursor_.y};
  last_cursor_ = cursor;
  return delta;
}

}  // namespace movarin::skin
