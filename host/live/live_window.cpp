#include "host/live/live_window.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "host/base/command_line.h"
#include "host/base/diagnostics.h"
#include "host/live/live_audio.h"
#include "host/live/panel_editing.h"

namespace panelhost {

int status_strip_height(int scale, bool editing) { return (editing ? 38 : 20) * std::max(1, scale); }

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
        case cursor_move: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_SIZEALL);
        case cursor_resize_down: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_SIZENWSE);
        case cursor_resize_up: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_SIZENESW);
        case cursor_palette: return SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
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

void draw_frame(SDL_Window* window, LiveFlight& live, int screen_height, PanelEditing* editing, double now) {
    WindowPicture frame(window);
    if (!frame.ok()) return;
    const Surface view = live.draw();
    Context cr(cairo_create(frame.picture.get()));
    const int view_width = cairo_image_surface_get_width(view.get());
    if (view_width < frame.target->w || cairo_image_surface_get_height(view.get()) < screen_height) {
        // A view smaller than the largest stands on the screen's ground.
        cairo_set_source_rgb(cr.get(), 0.07, 0.075, 0.08);
        cairo_rectangle(cr.get(), 0, 0, frame.target->w, screen_height);
        cairo_fill(cr.get());
    }
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), view.get(), 0, 0);
    cairo_rectangle(cr.get(), 0, 0, view_width, std::min(screen_height, cairo_image_surface_get_height(view.get())));
    cairo_fill(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    if (editing != nullptr) editing->draw_over_screen(cr.get());

    const int scale = live.scale();
    const int strip = status_strip_height(scale, editing != nullptr);
    cairo_rectangle(cr.get(), 0, screen_height, frame.target->w, strip);
    cairo_set_source_rgb(cr.get(), 0.12, 0.13, 0.14);
    cairo_fill(cr.get());
    set_face(cr.get(), live.renderer(), 11.0 * scale);
    cairo_set_source_rgb(cr.get(), 0.85, 0.87, 0.8);
    cairo_move_to(cr.get(), 6.0 * scale, screen_height + 14.0 * scale);
    cairo_show_text(cr.get(), live.status().c_str());
    if (editing != nullptr) {
        // A question waits in amber.
        if (editing->question() != Question::none) cairo_set_source_rgb(cr.get(), 1.0, 0.75, 0.2);
        cairo_move_to(cr.get(), 6.0 * scale, screen_height + 32.0 * scale);
        cairo_show_text(cr.get(), editing->status(now).c_str());
        editing->draw_palette(cr.get(), screen_height + strip, frame.target->w);
    }
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

// The video subsystem and a window as large as the largest view (its height
// in screen_height) with the status strip below; null, with end.error, when
// there is no display to show it.
SDL_Window* open_window(LiveFlight& live, const LiveWindowOptions& options, int& screen_height, LiveWindowEnd& end) {
    // The window's pixels go to the display as they are (shared memory on
    // X11), not through an OpenGL texture, which a machine without a GPU
    // would emulate at a cost.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        end.error = std::string("cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    // Without a display SDL falls back on drivers whose windows nobody sees:
    // the flight would run on unseen until killed.
    const std::string driver = SDL_GetCurrentVideoDriver() != nullptr ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy" || driver == "evdev") {
        end.error = "cannot open a window: no display (SDL found only its " + driver + " video driver)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    const auto [width, height] = live.largest_view();
    screen_height = height;
    const int below = status_strip_height(live.scale(), options.editing != nullptr) +
                      (options.editing != nullptr ? options.editing->palette_height(width) : 0);
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          width, screen_height + below, SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        end.error = std::string("cannot open a window: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return window;
}

// The flight in its open window: the events handed to the flight, a frame
// drawn for each turn of the loop.
class Session {
public:
    Session(SDL_Window* window, int screen_height, LiveFlight& live, const LiveWindowOptions& options,
            Diagnostics& said)
        : window_(window), screen_height_(screen_height), live_(live), options_(options), said_(said), audio_(said) {}

    LiveWindowEnd run() {
        SDL_DisplayMode mode{};
        const int refresh = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        const Uint64 started = SDL_GetTicks64();
        double next_frame = seconds_of(started);
        live_.advance(seconds_of(started));
        while (!quit_) {
            SDL_Event e;
            while (!quit_ && SDL_PollEvent(&e) != 0) dispatch(e);
            const double now = seconds_of(SDL_GetTicks64());
            frame(now);
            if (options_.quit_after_s > 0 && now - seconds_of(started) >= options_.quit_after_s) quit_ = true;
            if (options_.paced) {
                next_frame = std::max(next_frame + 1.0 / refresh, now);
                const double wait = next_frame - seconds_of(SDL_GetTicks64());
                if (wait > 0) SDL_Delay(static_cast<Uint32>(wait * 1000.0));
            }
        }
        end_.seconds = seconds_of(SDL_GetTicks64() - started);
        say(live_.finish());
        return end_;
    }

    // What the keys do.
    void quit(double) {
        if (editing_ == nullptr || editing_->may_quit()) quit_ = true;
    }
    void toggle_pause(double t) { live_.toggle_pause(t); }
    void toggle_night(double) { live_.toggle_night(); }
    void next_view(double) {
        // Gauges are placed on the screen: the textures are shown in fly only.
        if (editing_ != nullptr) return;
        tooltip_.hide();
        live_.next_view();
    }
    template <int rate>
    void set_rate(double t) {
        live_.set_rate(t, rate);
    }
    void restart(double t) {
        std::vector<Diagnostic> errors;
        held_ = 0;
        if (live_.restart(t, errors)) return;
        end_.error = "cannot restart";
        for (const Diagnostic& m : errors) end_.error += "\n" + m.text;
        quit_ = true;
    }
    // Placing's keys.
    void toggle_placing(double) {
        if (held_ == 0) editing_->toggle_placing();
    }
    template <int dx, int dy>
    void nudge(double) {
        editing_->nudge(dx, dy);
    }
    void remove(double) { editing_->remove_selected(); }
    void undo(double) { editing_->undo(); }
    void redo(double) { editing_->redo(); }
    void save(double) { editing_->save(false); }
    void answer_save(double) { editing_->answer_save(); }
    void answer_discard(double) { editing_->answer_discard(); }
    void answer_overwrite(double) { editing_->answer_overwrite(); }
    void answer_cancel(double) { editing_->answer_cancel(); }

private:
    void dispatch(const SDL_Event& e);
    void key(const SDL_KeyboardEvent& key, double t);
    // Whether the left button places rather than works the gauges.
    bool placing() const { return editing_ != nullptr && editing_->placing(); }
    static bool free_aspect() { return (SDL_GetModState() & KMOD_SHIFT) != 0; }
    void window_event(Uint8 event, double t) {
        if (event == SDL_WINDOWEVENT_LEAVE) {
            pointer_.inside = false;
            tooltip_.hide();
            if (editing_ != nullptr) editing_->leave();
        } else if (event == SDL_WINDOWEVENT_ENTER) {
            // The pointer may come in without moving: the window opened under it.
            pointer_.inside = true;
            SDL_GetMouseState(&pointer_.x, &pointer_.y);
            pointer_.resting_since = t;
        }
    }

    // The flight brought up to now, its news said and heard, the cursor and
    // the tooltip of what the pointer is over, and the frame drawn.
    void frame(double now) {
        live_.advance(now);
        if (editing_ != nullptr) {
            editing_->tick(now);
            if (editing_->quitting()) quit_ = true;
        }
        say(live_.take_failures());
        audio_.hear_new_plays();
        const std::optional<LivePointer> over = pointer_.inside ? live_.pointer_at(pointer_.x, pointer_.y) : std::nullopt;
        const int32_t placing_cursor = editing_ != nullptr ? editing_->cursor() : orvane::CURSOR_NONE;
        // Over a gauge, its own cursor where it has one: a click there still works it.
        cursors_.show(placing_cursor != orvane::CURSOR_NONE && (placing_cursor != cursor_move || !over ||
                                                                 over->hit.cursor == orvane::CURSOR_NONE)
                          ? placing_cursor
                          : over ? over->hit.cursor : orvane::CURSOR_NONE);
        if (over && !over->hit.tooltip.empty() && held_ == 0 && !tooltip_.shown() &&
            now - pointer_.resting_since >= tooltip_delay_s) {
            int wx = 0, wy = 0;
            SDL_GetWindowPosition(window_, &wx, &wy);
            tooltip_.show(over->hit.tooltip, wx + pointer_.x + 12, wy + pointer_.y + 20, live_.renderer());
        }
        draw_frame(window_, live_, screen_height_, editing_, now);
        tooltip_.draw(live_.renderer());
        ++end_.frames;
    }

    void say(const std::vector<Diagnostic>& messages) { said_.report(messages); }

    SDL_Window* window_;
    int screen_height_;
    LiveFlight& live_;
    const LiveWindowOptions& options_;
    PanelEditing* editing_ = options_.editing;
    Diagnostics& said_;
    LiveAudio audio_;
    Cursors cursors_;
    Tooltip tooltip_;
    PointerState pointer_;
    Uint8 held_ = 0;  // the button down (SDL numbers them from 1), one at a time
    bool quit_ = false;
    LiveWindowEnd end_;
};

// What a key does; keys not in the table do nothing. A row acts in its
// scope, with Ctrl and Shift held as it says (other modifiers do not count).
enum class KeyScope {
    flying,    // always, but while a question waits
    editing,   // with a panel to place
    placing,   // and placing rather than flying
    question,  // a question waits: nothing else acts
};
enum KeyMods : Uint16 { plain = 0, ctrl = 1, shift = 2, ctrl_shift = 3 };
struct KeyAction {
    SDL_Keycode key;
    KeyMods mods;
    KeyScope scope;
    void (Session::*act)(double t);
};
constexpr KeyAction keys[] = {
    {SDLK_ESCAPE, plain, KeyScope::flying, &Session::quit},
    {SDLK_p, plain, KeyScope::flying, &Session::toggle_pause},
    {SDLK_r, plain, KeyScope::flying, &Session::restart},
    {SDLK_n, plain, KeyScope::flying, &Session::toggle_night},
    {SDLK_v, plain, KeyScope::flying, &Session::next_view},
    {SDLK_1, plain, KeyScope::flying, &Session::set_rate<time_rates[0]>},
    {SDLK_2, plain, KeyScope::flying, &Session::set_rate<time_rates[1]>},
    {SDLK_4, plain, KeyScope::flying, &Session::set_rate<time_rates[2]>},
    {SDLK_TAB, plain, KeyScope::editing, &Session::toggle_placing},
    {SDLK_z, ctrl, KeyScope::editing, &Session::undo},
    {SDLK_y, ctrl, KeyScope::editing, &Session::redo},
    {SDLK_z, ctrl_shift, KeyScope::editing, &Session::redo},
    {SDLK_s, ctrl, KeyScope::editing, &Session::save},
    {SDLK_DELETE, plain, KeyScope::placing, &Session::remove},
    {SDLK_LEFT, plain, KeyScope::placing, &Session::nudge<-1, 0>},
    {SDLK_RIGHT, plain, KeyScope::placing, &Session::nudge<1, 0>},
    {SDLK_UP, plain, KeyScope::placing, &Session::nudge<0, -1>},
    {SDLK_DOWN, plain, KeyScope::placing, &Session::nudge<0, 1>},
    {SDLK_LEFT, shift, KeyScope::placing, &Session::nudge<-10, 0>},
    {SDLK_RIGHT, shift, KeyScope::placing, &Session::nudge<10, 0>},
    {SDLK_UP, shift, KeyScope::placing, &Session::nudge<0, -10>},
    {SDLK_DOWN, shift, KeyScope::placing, &Session::nudge<0, 10>},
    {SDLK_s, plain, KeyScope::question, &Session::answer_save},
    {SDLK_d, plain, KeyScope::question, &Session::answer_discard},
    {SDLK_o, plain, KeyScope::question, &Session::answer_overwrite},
    {SDLK_ESCAPE, plain, KeyScope::question, &Session::answer_cancel},
};

void Session::key(const SDL_KeyboardEvent& key, double t) {
    // Arrows repeat while held, as a desktop's do; the rest act once a press.
    const bool arrow = key.keysym.sym == SDLK_LEFT || key.keysym.sym == SDLK_RIGHT || key.keysym.sym == SDLK_UP ||
                       key.keysym.sym == SDLK_DOWN;
    if (key.repeat != 0 && !arrow) return;
    const Uint16 mods = ((key.keysym.mod & KMOD_CTRL) != 0 ? ctrl : plain) | ((key.keysym.mod & KMOD_SHIFT) != 0 ? shift : plain);
    const bool asking = editing_ != nullptr && editing_->question() != Question::none;
    auto in_scope = [&](KeyScope scope) {
        switch (scope) {
        case KeyScope::flying: return !asking;
        case KeyScope::editing: return editing_ != nullptr && !asking;
        case KeyScope::placing: return placing() && !asking;
        case KeyScope::question: return asking;
        }
        return false;
    };
    for (const KeyAction& k : keys) {
        if (k.key == key.keysym.sym && k.mods == mods && in_scope(k.scope)) {
            (this->*k.act)(t);
            return;
        }
    }
}

void Session::dispatch(const SDL_Event& e) {
    const double t = seconds_of(e.common.timestamp);
    switch (e.type) {
    case SDL_QUIT: quit(t); break;
    case SDL_KEYDOWN: key(e.key, t); break;
    case SDL_MOUSEBUTTONDOWN:
        if (held_ != 0 || (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT)) break;
        held_ = e.button.button;
        tooltip_.hide();
        if (placing() && held_ == SDL_BUTTON_LEFT) {
            editing_->press(e.button.x, e.button.y, t);
            break;
        }
        live_.press(t, e.button.x, e.button.y, e.button.button == SDL_BUTTON_LEFT ? Button::left : Button::right);
        break;
    case SDL_MOUSEBUTTONUP:
        if (held_ != 0 && held_ == e.button.button) {
            held_ = 0;
            if (editing_ != nullptr && editing_->pressed()) {
                editing_->release(e.button.x, e.button.y, free_aspect(), t);
            } else {
                live_.release(t);
            }
        }
        break;
    case SDL_MOUSEMOTION:
        pointer_ = {true, e.motion.x, e.motion.y, t};
        tooltip_.hide();
        if (placing()) editing_->motion(e.motion.x, e.motion.y, free_aspect());
        break;
    case SDL_WINDOWEVENT: window_event(e.window.event, t); break;
    default: break;
    }
}

}  // namespace

LiveWindowEnd run_live_window(LiveFlight& live, const LiveWindowOptions& options, Diagnostics& said) {
    LiveWindowEnd end;
    int screen_height = 0;
    SDL_Window* window = open_window(live, options, screen_height, end);
    if (window == nullptr) return end;
    end = Session(window, screen_height, live, options, said).run();
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return end;
}

}  // namespace panelhost
