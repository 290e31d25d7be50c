// video.cpp -- the game's one window: the video driver, the desktop's quirks, the mode, its caption and icon
#include "render/video.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/game.h"
#include "icon_data.h"  // data/icon.bmp, built into the program (CMakeLists.txt)
#include "render/screen.h"
#include "render/video_local.h"

namespace {
constexpr char kCaption[] = "Quorvane by Halvik & Deme'";
// The launcher names the window's class or app_id after the game; the library
// would take it from the program file's name, which a copy may change.
constexpr char kAppId[] = "quorvane";
constexpr video_mode_t kVideoGl = {32, SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT};

video_mode_t g_mode = kVideoSoftware;  // of the window now
bool g_title_gl = false;
int g_refresh_hz = 0;  // as X reported it when play's needs were checked; 0: none reported
// Unknown (0) when the library cannot tell; fullscreen then keeps the window's size.
int g_desktop_w = 0, g_desktop_h = 0;
bool g_desktop_noted = false;
// The window's size, kept through fullscreen so that leaving it gives the window back as it was.
int g_window_w = kViewWidth, g_window_h = kViewHeight;
// Only this module knows whether the mode fills the screen: the surface's
// flags may say otherwise on a library that fakes fullscreen.
bool g_fullscreen = false;

// Without a window, or what it needs, there is nothing to draw into: report and stop.
[[noreturn]] void video_fail(const char *what) {
  std::printf("%s: %s\n", what, SDL_GetError());
  game_exit(1);
}

bool video_on_wayland() {
  char name[32] = "";
  return SDL_VideoDriverName(name, sizeof name) != nullptr && std::strcmp(name, "wayland") == 0;
}

bool video_over_sdl3() {
  // sdl12-compat and sdl2-compat load the library below them by name.
  void *sdl3 = dlopen("libSDL3.so.0", RTLD_LAZY | RTLD_NOLOAD);
  if (sdl3 != nullptr) dlclose(sdl3);
  return sdl3 != nullptr;
}

// Once a mode is set, the classic library reports that mode instead of the desktop.
void video_note_desktop() {
  if (g_desktop_noted) return;
  g_desktop_noted = true;
  if (const SDL_VideoInfo *info = SDL_GetVideoInfo(); info != nullptr) {
    g_desktop_w = info->current_w;
    g_desktop_h = info->current_h;
  }
  const int k = screen_first_scale(g_desktop_w, g_desktop_h);
  g_window_w = k * kViewWidth;
  g_window_h = k * kViewHeight;
}

// Before the first mode, for the classic library. A picture the library cannot
// read leaves the window without one.
void video_set_icon() {
  // Kept for the life of the process: a library may hold on to the surface
  // to give every window it makes later the same icon.
  static SDL_Surface *icon = nullptr;
  if (icon != nullptr) return;
  SDL_RWops *stream = SDL_RWFromConstMem(kWindowIcon, static_cast<int>(kWindowIconSize));
  icon = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;  // closes the stream
  if (icon != nullptr) SDL_WM_SetIcon(icon, nullptr);
}

// The one place a mode is set: the window at its size or fullscreen at the
// desktop's, in the mode of the window now. Null when refused, and the mode it
// had is still the one recorded.
SDL_Surface *video_set(bool fullscreen) {
  const Uint32 flags = g_mode.flags & ~static_cast<Uint32>(SDL_FULLSCREEN | SDL_RESIZABLE);
  if ((flags & SDL_OPENGL) != 0) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);  // where the driver can, a swap waits for the display
  }
  SDL_Surface *screen = nullptr;
  if (!fullscreen) {
    screen = SDL_SetVideoMode(g_window_w, g_window_h, g_mode.depth, flags | SDL_RESIZABLE);
  } else {
    // At the desktop's own size the monitor keeps its mode and every pixel is drawn.
    const bool known = g_desktop_w > 0 && g_desktop_h > 0;
    screen = SDL_SetVideoMode(known ? g_desktop_w : g_window_w, known ? g_desktop_h : g_window_h,
                              g_mode.depth, flags | SDL_FULLSCREEN);
  }
  if (screen == nullptr) return nullptr;
  g_fullscreen = fullscreen;
  // A new mode may come as a new window, which has no caption yet.
  SDL_WM_SetCaption(kCaption, "");
  return screen;
}

// Takes the resizes queued behind the one asking for w x h off the library's
// queue and leaves in w, h the last one's size: a drag sends one for every
// step, and only the last is worth a mode. Only those already queued are
// merged, so a slow drag still sets several modes. Those taken come ahead of
// any key queued between them, which no key minds.
void video_take_resizes(int *w, int *h) {
  SDL_PumpEvents();
  for (SDL_Event later; SDL_PeepEvents(&later, 1, SDL_GETEVENT, SDL_VIDEORESIZEMASK) > 0;) {
    *w = later.resize.w;
    *h = later.resize.h;
  }
  // The library reads a zero size as "the current mode's", which is not what was asked.
  *w = std::max(*w, 1);
  *h = std::max(*h, 1);
}
}  // namespace

void video_start() {
  // With no display SDL 1.2 quietly falls back to a text-mode driver that
  // paints the terminal: ask for X unless the user chose a driver.
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("SDL_APP_ID", kAppId, 0);
  setenv("SDL_VIDEO_X11_WMCLASS", kAppId, 0);
  static bool started = false;
  if (SDL_Init(SDL_INIT_VIDEO) == -1) video_fail("SDL_Init");
  if (!started) std::atexit(SDL_Quit);
  started = true;
}

void video_require_play() {
  // A driver without OpenGL (dummy, console) could never open the play window
  // and has no input either: better than a title waiting forever.
  if (SDL_GL_LoadLibrary(nullptr) == -1) video_fail("SDL_GL_LoadLibrary");
  // Debian's freeglut speaks X alone, and ends the process itself in glutInit
  // when no X display opens, even where SDL draws on Wayland.
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char *name = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "quorvane: no X display opens (DISPLAY=%s), and freeglut needs one even on Wayland\n",
                 name != nullptr ? name : "");
    game_exit(1);
  }
  // The game never changes the display's mode, so its rate is read once, on
  // this connection. Asked without the extension, the request would be an X
  // error, which ends the process.
  int event_base = 0, error_base = 0;
  if (XRRQueryExtension(display, &event_base, &error_base) != 0) {
    if (XRRScreenConfiguration *config = XRRGetScreenInfo(display, DefaultRootWindow(display))) {
      g_refresh_hz = XRRConfigCurrentRate(config);
      XRRFreeScreenConfigInfo(config);
    }
  }
  XCloseDisplay(display);
}

bool video_title_through_gl() { return g_title_gl; }

int video_refresh_hz() { return g_refresh_hz; }

SDL_Surface *video_open_mode(const video_mode_t &mode) {
  video_start();
  video_note_desktop();  // before the first mode, after which the library reports that mode
  video_set_icon();      // before the first mode too, for the classic library
  g_mode = mode;
  SDL_Surface *screen = video_set(g_fullscreen);
  if (screen == nullptr) video_fail("SDL_SetVideoMode");
  return screen;
}

SDL_Surface *video_open(video_use_t use) {
  if (use == VIDEO_TITLE) {
    video_start();  // the probes below ask the library that has started
    // Over SDL 3, SDL_UpdateRect(s) and SDL_Flip crash once a resizable
    // software window has been given a size other than its mode's, by a
    // window manager or a compositor (a tiling one does it at once): SDL 3's
    // pixel conversion writes past the window's buffer. There, and on
    // Wayland, the title is drawn through OpenGL in the play window's mode.
    g_title_gl = video_over_sdl3() || video_on_wayland();
    return video_open_mode(g_title_gl ? kVideoGl : kVideoSoftware);
  }
  return video_open_mode(kVideoGl);
}

SDL_Surface *video_toggle_fullscreen() {
  const bool had = g_fullscreen;
  SDL_Surface *screen = video_set(!had);
  if (screen == nullptr) screen = video_set(had);
  if (screen == nullptr) video_fail("SDL_SetVideoMode");
  return screen;
}

SDL_Surface *video_resize(int w, int h) {
  video_take_resizes(&w, &h);
  // In fullscreen the window keeps its own size for leaving it.
  if (g_fullscreen || (w == g_window_w && h == g_window_h)) return nullptr;
  const int had_w = g_window_w, had_h = g_window_h;
  g_window_w = w;
  g_window_h = h;
  SDL_Surface *screen = video_set(false);
  if (screen == nullptr) {
    g_window_w = had_w;
    g_window_h = had_h;
    screen = video_set(false);
    if (screen == nullptr) video_fail("SDL_SetVideoMode");
    return screen;
  }
  g_window_w = screen->w;
  g_window_h = screen->h;
  return screen;
}
