// skin-timer [runs]: the window skin's costs under Wine, against references measured in
// the same run:
//   - a full redraw of a skin the size of the main window (593 x 489 pixels at 96 DPI)
//     through GDI, as a ratio to one plain FillRect of the same size;
//   - hover ticks while the pointer is elsewhere: they must draw nothing (counted), and
//     their time as a ratio to the tick that does draw (the pointer coming onto close).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/win32/window.h"
#include "skin/win32/gdi_canvas.h"
#include "skin/win32/offscreen_surface.h"
#include "skin/win32/skinned_controls.h"
#include "skin/window_skin.h"
#include "skin/window_skin_design.h"

using namespace movarin;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 593, kHeight = 489;  // the main window's 8895 x 7335 twips

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

template <typename F>
double MedianMicros(int runs, int repeat, F&& f) {
  std::vector<double> samples;
  for (int r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    for (int i = 0; i < repeat; ++i) f();
    GdiFlush();
    samples.push_back(Micros(Clock::now() - start) / repeat);
  }
  return Median(samples);
}

class Host final : public win32::Window {
 public:
  bool Create() {
    win32::WindowArgs args;
    args.class_name = L"MovarinSkinBenchHost";
    args.title = L"Skin bench";
    args.x = 0;
    args.y = 0;
    args.client_width = kWidth;
    args.client_height = kHeight;
    return Window::Create(args);
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 9;

  skin::win32::OffscreenSurface surface;
  if (!surface.Resize(kWidth, kHeight)) return 1;
  skin::WindowSkin skin(skin::LoadWindowSkin(skin::WindowSkinDesign({.title = "Movarin"}), {}));
  skin::win32::GdiCanvas canvas(surface.dc(), kWidth, kHeight, 96);
  const double redraw = MedianMicros(runs, 20, [&] { skin.Redraw(canvas); });
  const double fill = MedianMicros(runs, 20, [&] { canvas.FillRect({0, 0, kWidth, kHeight}, 0x00808080); });

  Host host;
  if (!host.Create()) return 1;
  host.Show();
  skin::win32::SkinnedControls controls;
  skin::win32::WindowSkinControl* control = controls.AddSkin(host.hwnd(), {.title = "Movarin"});
  if (!control) return 1;
  RECT r{};
  GetWindowRect(control->hwnd(), &r);
  SetCursorPos(r.left + 200, r.top + 200);  // on the body, far from the buttons
  const int paints_before = control->ButtonPaints();
  int idle_draws = 0;
  const double idle = MedianMicros(runs, 200, [&] { idle_draws += control->TrackHoverOnce() ? 1 : 0; });
  const int idle_paints = control->ButtonPaints() - paints_before;
  // Ticks that change the state: onto the close button and off again, each drawing.
  const POINT on_close{r.right - 21 + 8, r.top + control->Skin().Geometry().button_top + 8};
  const POINT off{r.left + 200, r.top + 200};
  int changing_draws = 0, changing_ticks = 0;
  const double changing = MedianMicros(runs, 20, [&] {
    SetCursorPos(changing_ticks % 2 ? off.x : on_close.x, changing_ticks % 2 ? off.y : on_close.y);
    ++changing_ticks;
    changing_draws += control->TrackHoverOnce() ? 1 : 0;
  });

  std::printf("redraw_us %.1f\nfill_us %.1f\nidle_tick_us %.2f\nidle_draws %d\nidle_paints %d\n"
              "changing_tick_us %.2f\nchanging_ticks %d\nchanging_draws %d\n",
              redraw, fill, idle, idle_draws, idle_paints, changing, changing_ticks, changing_draws);
  return 0;
}
