#include "host/live/live_window.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "host/base/command_line.h"
#include "host/live/live_audio.h"

namespace panelhost {

int status_strip_height(int scale) { return 20 * std::max(1, scale); }

namespace {

double seconds_of(Uint64 ms) { return static_cast<double>(ms) / 1000.0; }

// ---- cursors ----

// 16 x 16 pictures of the cursors SDL has none of: X black, . white.
using CursorArt = std::array<const char*, 16>;
constexpr CursorArt up_arrow = {
    "       X        ", "      X.X       ", "     X...X      ", "    X.....X     ",
    "   X.......X    ", "  X.........X   ", " XXXXX...XXXXX  ", "     X...X      ",
    "     X...X      ", "     X...X      ", "     X...X      ", "     X...X      ",
    "     X...X      ", "     X...X      ", "     XXXXX      ", "                ",
};
constexpr CursorArt grab_hand = {
    "                ", "                ", "                ", "    XX XX XX    ",
    "   X..X..X..XX  ", "   X........X.X ", "  XX..........X ", " X.X..........X ",
    " X............X ", "  X...........X ", "  X..........X  ", "   X.........X  ",
    "    X.......X   ", "     X......X   ", "     XXXXXXXX   ", "                ",
};

// The art turned: 0 as drawn, 1 upside down, 2 pointing left, 3 right.
char art_at(const CursorArt& art, int turn, int x, int y) {
    switch (turn) {
    case 1: return art[15 - y][x];
    case 2: return art[x][y];
    case 3: return art[15 - x][y];
    default: return art[y][x];
    }
}

SDL_Cursor* cursor_from_art(const CursorArt& art, int turn, int hot_x, int hot_y) {
    Uint8 data[32] = {}, mask[32] = {};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const char c = art_at(art, turn, x, y);
            const Uint8 bit = static_cast<Uint8>(0x80 >> (x % 8));
            if (c == 'X') data[y * 2 + x / 8] |= bit;
            if (c == 'X' || c == '.') mask[y * 2 + x / 8] |= bit;
        }
    }
    return SDL_CreateCursor(data, mask, 16, 16, hot_x, hot_y);
}

// The shape each cursor code of a mouse-table row names.
class Cursors {
public:
    ~Cursors() {
        for (auto& [code, cursor] : made_) {
            if (cursor != nullptr) SDL_FreeCursor(cursor);
        }
    }
    void show(int32_t code) {
        if (code == shown_) return;
        shown_ = code;
        auto it = made_.find(code);
        if (it == made_.end()) it = made_.emplace(code, make(code)).first;
        if (it->second != nullptr) SDL_SetCursor(it->second);
    }

private:
    static SDL_Cursor* make(int32_t code) {
        switch (code) {
        case orvane::CURSOR_UPARROW: return cursor_from_art(up_arrow, 0, 7, 0);
        case orvane::CURSOR_DOWNARROW: return cursor_from_art(up_arrow, 1, 7, 15);
        case orvane::CURSOR_LEFTARROW: return cursor_from_art(up_arrow, 2, 0, 7);
        case orvane::CURSOR_RIGHTARROW: return cursor_from_art(up_arrow, 3, 15, 7);
        case orvane::CURSOR_HAND: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
        case orvane::CURSOR_CROSSHAIR: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
        case orvane::CURSOR_GRAB: return cursor_from_art(grab_hand, 0, 8, 8);
        default: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);  // none, normal, or a code unknown
        }
    }

    std::map<int32_t, SDL_Cursor*> made_;
    int32_t shown_ = INT32_MIN;
};

// ---- drawing ----

// Cairo draws straight into a window surface of its own pixel layout, else
// into a picture converted to the window's.
struct WindowPicture {
    SDL_Surface* target;
    Surface picture;

    explicit WindowPicture(SDL_Window* window) : target(SDL_GetWindowSurface(window)) {
        if (target == nullptr) return;
        if (target->format->format == SDL_PIXELFORMAT_RGB888 && !SDL_MUSTLOCK(target)) {
            picture = Surface(cairo_image_surface_create_for_data(static_cast<unsigned char*>(target->pixels),
                                                                  CAIRO_FORMAT_RGB24, target->w, target->h,
                                                                  target->pitch));
        } else {
            picture = make_surface(target->w, target->h, true);
        }
    }
    bool ok() const { return target != nullptr && picture != nullptr; }
    void present(SDL_Window* window) {
        cairo_surface_flush(picture.get());
        if (cairo_image_surface_get_data(picture.get()) != target->pixels) {
            if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
            SDL_ConvertPixels(target->w, target->h, SDL_PIXELFORMAT_RGB888, cairo_image_surface_get_data(picture.get()),
                              cairo_image_surface_get_stride(picture.get()), target->format->format, target->pixels,
                              target->pitch);
            if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        }
        SDL_UpdateWindowSurface(window);
    }
};

void set_face(cairo_t* cr, GaugeRenderer& renderer, double size) {
    const ResolvedFace& face = renderer.fonts().fallback(false);
    if (face.face) cairo_set_font_face(cr, face.face.get());
    cairo_set_font_size(cr, size);
}

void draw_frame(SDL_Window* window, LiveFlight& live, int screen_height) {
    WindowPicture frame(window);
    if (!frame.ok()) return;
    const Surface screen = live.draw();
    Context cr(cairo_create(frame.picture.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), screen.get(), 0, 0);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);

    const int scale = live.scale();
    cairo_rectangle(cr.get(), 0, screen_height, frame.target->w, frame.target->h - screen_height);
    cairo_set_source_rgb(cr.get(), 0.12, 0.13, 0.14);
    cairo_fill(cr.get());
    set_face(cr.get(), live.renderer(), 11.0 * scale);
    cairo_set_source_rgb(cr.get(), 0.85, 0.87, 0.8);
    cairo_move_to(cr.get(), 6.0 * scale, screen_height + 14.0 * scale);
    cairo_show_text(cr.get(), live.status().c_str());
    cr.reset();
    frame.present(window);
}

// ---- the tooltip ----

// A small window of its own beside the pointer, titled with its text, as a
// desktop shows tooltips. Drawn again at every frame: a window drawn before
// the display maps it keeps nothing.
class Tooltip {
public:
    ~Tooltip() { hide(); }
    bool shown() const { return window_ != nullptr; }
    void hide() {
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    void show(const std::string& text, int x, int y, GaugeRenderer& renderer) {
        hide();
        Surface probe = make_surface(1, 1);
        Context measure(cairo_create(probe.get()));
        set_face(measure.get(), renderer, size);
        cairo_text_extents_t extents;
        cairo_text_extents(measure.get(), text.c_str(), &extents);
        text_ = text;
        width_ = static_cast<int>(extents.x_advance + 2 * pad + 1);
        height_ = static_cast<int>(size + 2 * pad + 3);
        window_ = SDL_CreateWindow(text.c_str(), x, y, width_, height_, SDL_WINDOW_TOOLTIP | SDL_WINDOW_BORDERLESS);
    }
    void draw(GaugeRenderer& renderer) {
        if (window_ == nullptr) return;
        WindowPicture frame(window_);
        if (!frame.ok()) return;
        Context cr(cairo_create(frame.picture.get()));
        cairo_set_source_rgb(cr.get(), 1.0, 1.0, 0.88);
        cairo_paint(cr.get());
        cairo_set_source_rgb(cr.get(), 0.0, 0.0, 0.0);
        cairo_set_line_width(cr.get(), 1.0);
        cairo_rectangle(cr.get(), 0.5, 0.5, width_ - 1, height_ - 1);
        cairo_stroke(cr.get());
        set_face(cr.get(), renderer, size);
        cairo_move_to(cr.get(), pad, pad + size);
        cairo_show_text(cr.get(), text_.c_str());
        cr.reset();
        frame.present(window_);
    }

private:
    static constexpr double size = 12.0, pad = 4.0;
    SDL_Window* window_ = nullptr;
    std::string text_;
    int width_ = 0, height_ = 0;
};

// Where the pointer is, and since when it rests there.
struct PointerState {
    bool inside = false;
    int x = 0, y = 0;
    double resting_since = 0.0;
};

}  // namespace

LiveWindowEnd run_live_window(LiveFlight& live, const LiveWindowOptions& o) {
    LiveWindowEnd end;
    // The window's pixels go to the display as they are (shared memory on
    // X11), not through an OpenGL texture, which a machine without a GPU
    // would emulate at a cost.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        end.error = std::string("cannot open a window: ") + SDL_GetError();
        return end;
    }
    // Without a display SDL falls back on drivers whose windows nobody sees:
    // the flight would run on unseen until killed.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy" || driver == "evdev") {
        end.error = "cannot open a window: no display (SDL found only its " + driver + " video driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return end;
    }
    const int scale = live.scale();
    int screen_width = 0, screen_height = 0;
    {
        const Surface first = live.draw();
        screen_width = cairo_image_surface_get_width(first.get());
        screen_height = cairo_image_surface_get_height(first.get());
    }
    SDL_Window* window = SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, screen_width,
                                          screen_height + status_strip_height(scale), SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        end.error = std::string("cannot open a window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return end;
    }
    {
        LiveAudio audio(o.err);
        Cursors cursors;
        Tooltip tooltip;
        PointerState pointer;
        Uint8 held = 0;  // the button down (SDL numbers them from 1), one at a time

        SDL_DisplayMode mode{};
        const int refresh = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        const Uint64 started = SDL_GetTicks64();
        double next_frame = seconds_of(started);
        auto say = [&](const std::vector<std::string>& messages) {
            for (const std::string& m : messages) print(o.err, m + "\n");
            end.failures += static_cast<int64_t>(messages.size());
        };
        live.advance(seconds_of(started));

        bool quit = false;
        while (!quit) {
            SDL_Event e;
            while (!quit && SDL_PollEvent(&e) != 0) {
                const double t = seconds_of(e.common.timestamp);
                switch (e.type) {
                case SDL_QUIT: quit = true; break;
                case SDL_KEYDOWN: {
                    if (e.key.repeat != 0) break;
                    const SDL_Keycode key = e.key.keysym.sym;
                    if (key == SDLK_ESCAPE) {
                        quit = true;
                    } else if (key == SDLK_p) {
                        live.toggle_pause(t);
                    } else if (key == SDLK_r) {
                        std::vector<std::string> errors;
                        held = 0;
                        if (!live.restart(t, errors)) {
                            end.error = "cannot restart";
                            for (const std::string& m : errors) end.error += "\n" + m;
                            quit = true;
                        }
                    } else if (key == SDLK_1 || key == SDLK_2 || key == SDLK_4) {
                        live.set_rate(t, key == SDLK_1 ? 1 : key == SDLK_2 ? 2 : 4);
                    }
                    break;
                }
                case SDL_MOUSEBUTTONDOWN:
                    if (held != 0 || (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT)) break;
                    held = e.button.button;
                    tooltip.hide();
                    live.press(t, e.button.x, e.button.y,
                                  e.button.button == SDL_BUTTON_LEFT ? Button::left : Button::right);
                    break;
                case SDL_MOUSEBUTTONUP:
                    if (held != 0 && held == e.button.button) {
                        held = 0;
                        live.release(t);
                    }
                    break;
                case SDL_MOUSEMOTION:
                    pointer = {true, e.motion.x, e.motion.y, t};
                    tooltip.hide();
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_LEAVE) {
                        pointer.inside = false;
                        tooltip.hide();
                    } else if (e.window.event == SDL_WINDOWEVENT_ENTER) {
                        // The pointer may come in without moving: the window opened under it.
                        pointer.inside = true;
                        SDL_GetMouseState(&pointer.x, &pointer.y);
                        pointer.resting_since = t;
                    }
                    break;
                default: break;
                }
            }
            const double now = seconds_of(SDL_GetTicks64());
            live.advance(now);
            say(live.take_failures());
            audio.hear_new_plays();

            const std::optional<LivePointer> over =
                pointer.inside ? live.pointer_at(pointer.x, pointer.y) : std::nullopt;
            cursors.show(over ? over->hit.cursor : orvane::CURSOR_NONE);
            if (over && !over->hit.tooltip.empty() && held == 0 && !tooltip.shown() &&
                now - pointer.resting_since >= tooltip_delay_s) {
                int wx = 0, wy = 0;
                SDL_GetWindowPosition(window, &wx, &wy);
                tooltip.show(over->hit.tooltip, wx + pointer.x + 12, wy + pointer.y + 20, live.renderer());
            }

            draw_frame(window, live, screen_height);
            tooltip.draw(live.renderer());
            ++end.frames;
            if (o.quit_after_s > 0 && now - seconds_of(started) >= o.quit_after_s) quit = true;
            if (o.paced) {
                next_frame = std::max(next_frame + 1.0 / refresh, now);
                const double wait = next_frame - seconds_of(SDL_GetTicks64());
                if (wait > 0) SDL_Delay(static_cast<Uint32>(wait * 1000.0));
            }
        }
        end.seconds = seconds_of(SDL_GetTicks64() - started);
        say(live.finish());
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return end;
}

}  // namespace panelhost
