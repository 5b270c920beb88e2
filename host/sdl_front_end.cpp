#include "host/sdl_front_end.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

#include "host/desktop.h"
#include "host/pixel_painter.h"
#include "host/sdl_key_translation.h"

namespace host {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kCaretBlink{530};
constexpr std::chrono::milliseconds kBellFlash{100};
// The share of the display that the window may take at its starting scale.
constexpr double kDisplayShare = 0.9;
constexpr int kMaxScale = 16;

struct SdlWindowDeleter {
    void operator()(SDL_Window* window) const noexcept { SDL_DestroyWindow(window); }
};
struct SdlRendererDeleter {
    void operator()(SDL_Renderer* renderer) const noexcept { SDL_DestroyRenderer(renderer); }
};
struct SdlTextureDeleter {
    void operator()(SDL_Texture* texture) const noexcept { SDL_DestroyTexture(texture); }
};

SDL_Rect sdl_rect(const Rect& r) noexcept
{
    return SDL_Rect{r.left, r.top, r.width(), r.height()};
}

// The size of the display that shows (or will show) `window`; 0x0 when unknown.
SDL_Rect display_bounds(SDL_Window* window) noexcept
{
    const int display = window ? std::max(SDL_GetWindowDisplayIndex(window), 0) : 0;
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(display, &bounds) != 0)
        bounds = SDL_Rect{0, 0, 0, 0};
    return bounds;
}

// The largest whole scale at which a width x height screen fits into
// `share` of the display; at least 1.
int fitting_scale(const SDL_Rect& display, int width, int height, double share) noexcept
{
    if (width <= 0 || height <= 0 || display.w <= 0 || display.h <= 0)
        return 1;
    const int across = int(display.w * share) / width;
    const int down = int(display.h * share) / height;
    return std::clamp(std::min(across, down), 1, kMaxScale);
}

std::runtime_error sdl_failure(const std::string& what)
{
    return std::runtime_error(what + ": " + SDL_GetError());
}

}  // namespace

// SDL's video subsystem and the event type used to wake collect_events.
class SdlFrontEnd::Session {
public:
    Session()
    {
        SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
        // Scaled pixels stay sharp: each screen pixel becomes a block of whole pixels.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        // Closing the window sends its own close event; SDL_QUIT then only comes from signals.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        // On X11 without Wayland, skip probing for a Wayland compositor (it slows the start).
        if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("WAYLAND_DISPLAY") && std::getenv("DISPLAY"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
            throw sdl_failure("SDL cannot open the display");
        wake_event_ = SDL_RegisterEvents(1);
        if (wake_event_ == std::uint32_t(-1)) {
            SDL_Quit();
            throw sdl_failure("SDL has no user event left");
        }
    }
    ~Session() { SDL_Quit(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    std::uint32_t wake_event() const noexcept { return wake_event_; }

private:
    std::uint32_t wake_event_ = 0;
};

struct SdlFrontEnd::WindowState {
    WindowState(const BitmapFont& font, const WindowInfo& window_info)
        : info(window_info), painter(font, window_info.client_width, window_info.client_height)
    {
    }

    void make_texture()
    {
        SDL_RenderSetLogicalSize(renderer.get(), std::max(painter.surface().width(), 1),
                                 std::max(painter.surface().height(), 1));
        texture.reset(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                        std::max(painter.surface().width(), 1), std::max(painter.surface().height(), 1)));
        if (!texture)
            throw sdl_failure("SDL cannot create the window texture");
        dirty = Rect{0, 0, painter.surface().width(), painter.surface().height()};
    }

    WindowInfo info;
    std::unique_ptr<SDL_Window, SdlWindowDeleter> window;
    std::unique_ptr<SDL_Renderer, SdlRendererDeleter> renderer;
    std::unique_ptr<SDL_Texture, SdlTextureDeleter> texture;
    PixelPainter painter;
    Rect dirty;
    bool needs_present = true;
    std::uint32_t sdl_id = 0;
};

SdlFrontEnd::SdlFrontEnd(BitmapFont font, std::optional<int> scale)
    : font_(std::move(font)), session_(std::make_unique<Session>()), requested_scale_(scale)
{
}

SdlFrontEnd::~SdlFrontEnd()
{
    windows_.clear();  // before SDL shuts down
    SDL_StopTextInput();
}

SdlFrontEnd::WindowState* SdlFrontEnd::find(WindowId window) noexcept
{
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

void SdlFrontEnd::window_created(WindowId window, const WindowInfo& info)
{
    auto state = std::make_unique<WindowState>(font_, info);
    const int width = std::max(info.client_width, 1), height = std::max(info.client_height, 1);
    // At the top-left corner of the screen, the client area a whole multiple of
    // the screen's size: the requested scale, else the largest that fits.
    const int scale = requested_scale_ ? *requested_scale_ : fitting_scale(display_bounds(nullptr), width, height,
                                                                            kDisplayShare);
    state->window.reset(SDL_CreateWindow(codec_.to_utf8(info.title_sjis).c_str(), 0, 0, width * scale, height * scale,
                                         SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN));
    if (!state->window)
        throw sdl_failure("SDL cannot create a window");
    state->renderer.reset(SDL_CreateRenderer(state->window.get(), -1, 0));
    if (!state->renderer)
        state->renderer.reset(SDL_CreateRenderer(state->window.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!state->renderer)
        throw sdl_failure("SDL cannot create a renderer");
    // The renderer draws the surface at the largest whole scale that fits the
    // window, centred, with a black border.
    SDL_RenderSetIntegerScale(state->renderer.get(), SDL_TRUE);
    state->make_texture();
    state->sdl_id = SDL_GetWindowID(state->window.get());
    windows_[window] = std::move(state);
    SDL_StartTextInput();
    present(*windows_[window]);
}

void SdlFrontEnd::window_destroyed(WindowId window)
{
    windows_.erase(window);
}

void SdlFrontEnd::set_title(WindowId window, std::string_view title_sjis)
{
    if (WindowState* state = find(window))
        SDL_SetWindowTitle(state->window.get(), codec_.to_utf8(title_sjis).c_str());
}

void SdlFrontEnd::set_client_size(WindowId window, int width, int height)
{
    WindowState* state = find(window);
    if (!state || width <= 0 || height <= 0)
        return;
    const int scale = window_scale(*state);
    state->info.client_width = width;
    state->info.client_height = height;
    SDL_SetWindowSize(state->window.get(), width * scale, height * scale);
    state->painter.resize(width, height);
    state->make_texture();
    state->needs_present = true;
}

void SdlFrontEnd::set_view_origin(WindowId window, int column, int row)
{
    if (WindowState* state = find(window))
        state->painter.set_view_origin(column * state->info.cell_width, row * state->info.cell_height);
}

void SdlFrontEnd::paint_from_layer(WindowId window, const Surface& layer, const Rect& area)
{
    if (WindowState* state = find(window)) {
        state->dirty = united(state->dirty, state->painter.restore_from_layer(layer, area));
        state->needs_present = true;
    }
}

void SdlFrontEnd::paint_text(WindowId window, const TextRun& run)
{
    if (WindowState* state = find(window)) {
        state->dirty = united(state->dirty, state->painter.draw_text(run));
        state->needs_present = true;
    }
}

void SdlFrontEnd::paint_fill(WindowId window, const Rect& area, std::uint32_t colour)
{
    if (WindowState* state = find(window)) {
        state->dirty = united(state->dirty, state->painter.fill(area, colour));
        state->needs_present = true;
    }
}

void SdlFrontEnd::end_paint(WindowId window)
{
    if (WindowState* state = find(window))
        present(*state);
}

Surface* SdlFrontEnd::window_pixels(WindowId window)
{
    WindowState* state = find(window);
    return state ? &state->painter.surface() : nullptr;
}

void SdlFrontEnd::pixels_changed(WindowId window, const Rect& area)
{
    if (WindowState* state = find(window)) {
        const Rect whole{0, 0, state->painter.surface().width(), state->painter.surface().height()};
        const Rect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, whole.right),
                           std::min(area.bottom, whole.bottom)};
        if (!clipped.empty())
            state->dirty = united(state->dirty, clipped);
        state->needs_present = true;
    }
}

void SdlFrontEnd::set_caret(WindowId window, bool visible, int x, int y, int width, int height)
{
    WindowState* state = find(window);
    if (!state)
        return;
    state->painter.set_caret(CaretState{visible, x, y, width, height});
    if (visible) {
        // The input method's composition window follows the caret (window pixels).
        int left = 0, top = 0, right = 0, bottom = 0;
        SDL_RenderLogicalToWindow(state->renderer.get(), float(x), float(y), &left, &top);
        SDL_RenderLogicalToWindow(state->renderer.get(), float(x + std::max(width, 1)), float(y + std::max(height, 1)),
                                  &right, &bottom);
        SDL_Rect at{left, top, std::max(right - left, 1), std::max(bottom - top, 1)};
        SDL_SetTextInputRect(&at);
        caret_on_ = true;
        next_blink_ = Clock::now() + kCaretBlink;
    }
    state->needs_present = true;
}

void SdlFrontEnd::bell()
{
    flash_until_ = Clock::now() + kBellFlash;
    flashing_ = true;
    for (auto& [id, state] : windows_)
        state->needs_present = true;
    present_all();
}

void SdlFrontEnd::message_box(std::string_view caption_sjis, std::string_view text_sjis)
{
    const std::string caption = codec_.to_utf8(caption_sjis);
    const std::string text = codec_.to_utf8(text_sjis);
    SDL_Window* parent = windows_.empty() ? nullptr : windows_.begin()->second->window.get();
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), parent) != 0)
        std::cerr << caption << ": " << text << std::endl;
}

void SdlFrontEnd::present(WindowState& state)
{
    const Surface& surface = state.painter.surface();
    if (!state.dirty.empty()) {
        const SDL_Rect area = sdl_rect(state.dirty);
        SDL_UpdateTexture(state.texture.get(), &area,
                          surface.data() + std::size_t(state.dirty.top) * surface.width() + state.dirty.left,
                          surface.width() * int(sizeof(std::uint32_t)));
        state.dirty = Rect{};
    }
    SDL_Renderer* renderer = state.renderer.get();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    const SDL_Rect whole{0, 0, surface.width(), surface.height()};
    SDL_RenderCopy(renderer, state.texture.get(), &whole, &whole);
    const CaretState& caret = state.painter.caret();
    if (caret.visible && caret_on_ && surface.contains(caret.x, caret.y)) {
        // Drawn in the inverse of the pixel under it, so it shows on any colour.
        const std::uint32_t under = ~surface.pixel(caret.x, caret.y);
        SDL_SetRenderDrawColor(renderer, std::uint8_t(under >> 16), std::uint8_t(under >> 8), std::uint8_t(under), 255);
        const SDL_Rect bar{caret.x, caret.y, caret.width, caret.height};
        SDL_RenderFillRect(renderer, &bar);
    }
    if (flashing_) {
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(renderer, 255, 255, 255, 96);
        SDL_RenderFillRect(renderer, nullptr);
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    }
    SDL_RenderPresent(renderer);
    state.needs_present = false;
}

void SdlFrontEnd::present_all()
{
    for (auto& [id, state] : windows_) {
        if (state->needs_present || !state->dirty.empty())
            present(*state);
    }
}

void SdlFrontEnd::update_blink_and_flash()
{
    const auto now = Clock::now();
    if (flashing_ && now >= flash_until_) {
        flashing_ = false;
        for (auto& [id, state] : windows_)
            state->needs_present = true;
    }
    if (now >= next_blink_) {
        caret_on_ = !caret_on_;
        next_blink_ = now + kCaretBlink;
        for (auto& [id, state] : windows_)
            state->needs_present = state->needs_present || state->painter.caret().visible;
    }
    present_all();
}

Clock::time_point SdlFrontEnd::next_timed_redraw() const
{
    return flashing_ ? std::min(flash_until_, next_blink_) : next_blink_;
}

bool SdlFrontEnd::handle_event(Desktop& desktop, const SDL_Event& event)
{
    auto window_for = [this](std::uint32_t sdl_id) -> WindowId {
        for (const auto& [id, state] : windows_) {
            if (state->sdl_id == sdl_id)
                return id;
        }
        return 0;
    };
    auto post = [&](WindowId window, Message message) {
        message.window = window;
        if (window != 0)
            desktop.post(message);
    };
    auto post_scroll = [&](WindowId window, MessageKind kind, std::uint32_t request) {
        post(window, Message{.kind = kind, .scroll_request = request});
    };
    if (event.type == session_->wake_event())
        return true;
    switch (event.type) {
    case SDL_QUIT:  // also what SDL makes of SIGINT and SIGTERM
        if (!windows_.empty())
            post(windows_.begin()->first, Message{.kind = MessageKind::Close});
        return true;
    case SDL_WINDOWEVENT: {
        const WindowId window = window_for(event.window.windowID);
        WindowState* state = find(window);
        if (!state)
            return false;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: post(window, Message{.kind = MessageKind::Close}); return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            // A window at least as large as the screen shows all of it, scaled;
            // a smaller one shows a part at scale 1, which the wheel scrolls.
            const int width = std::min(event.window.data1, state->info.client_width);
            const int height = std::min(event.window.data2, state->info.client_height);
            state->needs_present = true;
            if (width == state->painter.surface().width() && height == state->painter.surface().height())
                return false;
            state->painter.resize(width, height);
            state->make_texture();
            state->needs_present = true;
            post(window, Message{.kind = MessageKind::Size, .client_size = {width, height}});
            return true;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            post(window, Message{.kind = MessageKind::Size, .size_state = size_state::kMinimised});
            return true;
        case SDL_WINDOWEVENT_RESTORED: {
            const Surface& s = state->painter.surface();
            post(window, Message{.kind = MessageKind::Size, .client_size = {s.width(), s.height()}});
            return true;
        }
        case SDL_WINDOWEVENT_FOCUS_GAINED: post(window, Message{.kind = MessageKind::SetFocus}); return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: post(window, Message{.kind = MessageKind::KillFocus}); return true;
        case SDL_WINDOWEVENT_EXPOSED: state->needs_present = true; return false;
        default: return false;
        }
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        WindowId window = window_for(event.key.windowID);
        window = window ? window : main_window_id();
        if (window == 0)
            return false;
        if (const int step = scale_step_for_key(event.key.keysym.sym, event.key.keysym.mod); step != 0) {
            // The window's own keys: never passed on to the program, nor the
            // text input that follows their key down.
            if (event.type == SDL_KEYDOWN) {
                scale_key_text_pending_ = true;
                if (WindowState* target = find(window))
                    change_scale(*target, step);
            }
            return false;
        }
        if (event.type == SDL_KEYDOWN)
            scale_key_text_pending_ = false;
        const auto messages = messages_for_sdl_key(event.type == SDL_KEYDOWN, event.key.keysym.sym,
                                                   event.key.keysym.mod, window);
        for (const Message& m : messages)
            desktop.post(m);
        return !messages.empty();
    }
    case SDL_TEXTINPUT: {
        // Ctrl and left Alt combinations send their own key messages; right Alt may be AltGr.
        if (scale_key_text_pending_ || (SDL_GetModState() & (KMOD_CTRL | KMOD_LALT))) {
            scale_key_text_pending_ = false;
            return false;
        }
        const WindowId window = window_for(event.text.windowID);
        bool any = false;
        for (char byte : codec_.from_utf8(event.text.text)) {
            post(window ? window : main_window_id(),
                 Message{.kind = MessageKind::Char, .character = static_cast<std::uint8_t>(byte)});
            any = true;
        }
        return any;
    }
    case SDL_MOUSEWHEEL: {
        const WindowId window = window_for(event.wheel.windowID);
        int vertical = event.wheel.y, horizontal = event.wheel.x;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            vertical = -vertical, horizontal = -horizontal;
        if (SDL_GetModState() & KMOD_SHIFT)
            std::swap(vertical, horizontal);
        for (int i = 0; i < std::abs(vertical); ++i)
            post_scroll(window, MessageKind::VScroll, vertical > 0 ? scroll::kLineUp : scroll::kLineDown);
        for (int i = 0; i < std::abs(horizontal); ++i)
            post_scroll(window, MessageKind::HScroll, horizontal > 0 ? scroll::kLineDown : scroll::kLineUp);
        return vertical != 0 || horizontal != 0;
    }
    default: return false;
    }
}

void SdlFrontEnd::collect_events(Desktop& desktop, std::chrono::milliseconds timeout)
{
    update_blink_and_flash();
    const auto deadline = Clock::now() + timeout;
    bool done = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        done = handle_event(desktop, event) || done;
    while (!done) {
        update_blink_and_flash();
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        const auto until = std::min(deadline, next_timed_redraw());
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        if (SDL_WaitEventTimeout(&event, int(std::max<std::int64_t>(wait.count(), 1)))) {
            done = handle_event(desktop, event);
            while (SDL_PollEvent(&event))
                done = handle_event(desktop, event) || done;
        }
    }
    present_all();
}

int SdlFrontEnd::window_scale(const WindowState& state) const noexcept
{
    int width = 0, height = 0;
    SDL_GetWindowSize(state.window.get(), &width, &height);
    const int client_width = std::max(state.info.client_width, 1), client_height = std::max(state.info.client_height, 1);
    return std::clamp(std::min(width / client_width, height / client_height), 1, kMaxScale);
}

int SdlFrontEnd::scale(WindowId window) const noexcept
{
    const auto it = windows_.find(window);
    return it == windows_.end() ? 0 : window_scale(*it->second);
}

void SdlFrontEnd::change_scale(WindowState& state, int step)
{
    const int width = std::max(state.info.client_width, 1), height = std::max(state.info.client_height, 1);
    // Never beyond the whole display.
    const int largest = std::max(fitting_scale(display_bounds(state.window.get()), width, height, 1.0), 1);
    const int scale = std::clamp(window_scale(state) + step, 1, std::max(largest, 1));
    SDL_SetWindowSize(state.window.get(), width * scale, height * scale);
    state.needs_present = true;
}

int scale_step_for_key(std::int32_t sym, std::uint16_t modifiers) noexcept
{
    if (!(modifiers & KMOD_CTRL) || (modifiers & (KMOD_ALT | KMOD_GUI)))
        return 0;
    switch (sym) {
    case SDLK_PLUS:
    case SDLK_EQUALS:  // the Plus key without Shift on many layouts
    case SDLK_KP_PLUS: return 1;
    case SDLK_MINUS:
    case SDLK_KP_MINUS: return -1;
    default: return 0;
    }
}

void SdlFrontEnd::wake() noexcept
{
    SDL_Event event{};
    event.type = session_->wake_event();
    SDL_PushEvent(&event);
}

}  // namespace host
