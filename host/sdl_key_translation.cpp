#include "host/sdl_key_translation.h"

#include <SDL2/SDL_keyboard.h>

#include "host/key_chord.h"

namespace host {

std::optional<std::uint32_t> virtual_key_for_sdl(std::int32_t key) noexcept
{
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return vk::kF1 + std::uint32_t(key - SDLK_F1);
    if (key >= SDLK_a && key <= SDLK_z)
        return std::uint32_t('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return std::uint32_t(key);
    switch (key) {
    case SDLK_UP: return vk::kUp;
    case SDLK_DOWN: return vk::kDown;
    case SDLK_LEFT: return vk::kLeft;
    case SDLK_RIGHT: return vk::kRight;
    case SDLK_HOME: return vk::kHome;
    case SDLK_END: return vk::kEnd;
    case SDLK_PAGEUP: return vk::kPageUp;
    case SDLK_PAGEDOWN: return vk::kPageDown;
    case SDLK_INSERT: return vk::kInsert;
    case SDLK_DELETE: return vk::kDelete;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return vk::kShift;
    case SDLK_LCTRL: case SDLK_RCTRL: return vk::kControl;
    case SDLK_LALT: case SDLK_RALT: return vk::kMenu;
    case SDLK_ESCAPE: return vk::kEscape;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk::kReturn;
    case SDLK_BACKSPACE: return vk::kBack;
    case SDLK_TAB: return vk::kTab;
    case SDLK_SPACE: return vk::kSpace;
    case SDLK_PAUSE: return vk::kPause;
    default: return std::nullopt;
    }
}

std::vector<Message> messages_for_sdl_key(bool down, std::int32_t sdl_keycode, std::uint16_t sdl_modifiers,
                                          WindowId window)
{
    std::vector<Message> messages;
    // Left Alt with a digit, '-' or '=' is a function key (right Alt may be AltGr).
    if ((sdl_modifiers & KMOD_LALT) && !(sdl_modifiers & (KMOD_CTRL | KMOD_RALT)) && sdl_keycode >= 0 &&
        sdl_keycode < 0x80) {
        if (const auto function_key = function_key_for_alt(char32_t(sdl_keycode)))
            return messages_for_sdl_key(down, SDLK_F1 + std::int32_t(*function_key - vk::kF1), 0, window);
    }
    const auto key = virtual_key_for_sdl(sdl_keycode);
    if (!key)
        return messages;
    const bool alt = sdl_modifiers & KMOD_ALT;
    const bool ctrl = sdl_modifiers & KMOD_CTRL;
    const bool system_key = alt || *key == vk::kF1 + 9 || *key == vk::kMenu;
    MessageKind kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
    if (system_key)
        kind = down ? MessageKind::SysKeyDown : MessageKind::SysKeyUp;
    messages.push_back(Message{window, kind, *key, down ? 1 : 0});
    if (!down || alt)
        return messages;
    std::optional<std::uint32_t> character;
    if (ctrl && *key >= 'A' && *key <= 'Z')
        character = *key - 'A' + 1;
    else if (*key == vk::kReturn || *key == vk::kEscape || *key == vk::kBack || *key == vk::kTab)
        character = *key == vk::kReturn ? 13U : *key == vk::kEscape ? 27U : *key;
    if (character)
        messages.push_back(Message{.window = window, .kind = MessageKind::Char, .character = static_cast<std::uint8_t>(*character)});
    return messages;
}

}  // namespace host
