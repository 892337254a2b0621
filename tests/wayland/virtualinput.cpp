// SPDX-License-Identifier: GPL-3.0-or-later
// A person's mouse and keyboard for a wlroots compositor (sway), through its
// virtual-pointer and virtual-keyboard protocols: the compositor routes their
// events to the focused window as from real devices. It reads one command a
// line from standard input and answers each with "ok" once the compositor has
// taken the events, or with "error: ...":
//   move X Y          pointer to (X, Y) on the screen
//   press B, release B, click B   button B, numbered 1 left, 2 middle, 3 right
//   key COMBO...      keys by their keysym names, modifiers joined with '+'
//                     (Return, Tab, space, 5, alt+F4)
//   type TEXT         the rest of the line, one key press per character
// Both devices live as long as the program, so the seat has a pointer and a
// keyboard before any window maps, as with devices plugged in at boot.
//
// Usage: virtualinput SCREEN_WIDTH SCREEN_HEIGHT, with WAYLAND_DISPLAY set.

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// The two protocols' interfaces as their XML files define them; only the
// requests are sent, and no event is listened to. Request order is opcode
// order.
const wl_interface* kNoTypes[5] = {};

const wl_message kVirtualPointerRequests[] = {
    {"motion", "uff", kNoTypes},
    {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},
    {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},
    {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes},
    {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kVirtualPointer{"zwlr_virtual_pointer_v1", 1, 9, kVirtualPointerRequests, 0, nullptr};
enum PointerRequest : std::uint32_t { MotionAbsolute = 1, Button = 2, Frame = 4 };

const wl_interface* kCreatePointerTypes[] = {&wl_seat_interface, &kVirtualPointer};
const wl_message kPointerManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreatePointerTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kPointerManager{"zwlr_virtual_pointer_manager_v1", 1, 2, kPointerManagerRequests, 0, nullptr};

const wl_message kVirtualKeyboardRequests[] = {
    {"keymap", "uhu", kNoTypes},
    {"key", "uuu", kNoTypes},
    {"modifiers", "uuuu", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface kVirtualKeyboard{"zwp_virtual_keyboard_v1", 1, 4, kVirtualKeyboardRequests, 0, nullptr};
enum KeyboardRequest : std::uint32_t { Keymap = 0, Key = 1, Modifiers = 2 };

const wl_interface* kCreateKeyboardTypes[] = {&wl_seat_interface, &kVirtualKeyboard};
const wl_message kKeyboardManagerRequests[] = {
    {"create_virtual_keyboard", "on", kCreateKeyboardTypes},
};
const wl_interface kKeyboardManager{"zwp_virtual_keyboard_manager_v1", 1, 1, kKeyboardManagerRequests, 0, nullptr};

struct Globals {
    wl_seat* seat = nullptr;
    wl_proxy* pointerManager = nullptr;
    wl_proxy* keyboardManager = nullptr;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    auto* globals = static_cast<Globals*>(data);
    const std::string_view offered(interface);
    if (offered == wl_seat_interface.name && globals->seat == nullptr)
        globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (offered == kPointerManager.name)
        globals->pointerManager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kPointerManager, 1));
    else if (offered == kKeyboardManager.name)
        globals->keyboardManager = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kKeyboardManager, 1));
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemove};

std::uint32_t nowMs()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct XkbFree {
    void operator()(xkb_context* p) const { xkb_context_unref(p); }
    void operator()(xkb_keymap* p) const { xkb_keymap_unref(p); }
    void operator()(xkb_state* p) const { xkb_state_unref(p); }
};

// Where a keysym sits on the keymap: its key and whether Shift reaches it.
struct KeyPlace {
    xkb_keycode_t keycode;
    bool shifted;
};

class VirtualInput {
public:
    VirtualInput(wl_display* display, const Globals& globals, std::uint32_t width, std::uint32_t height)
        : display(display), width(width), height(height)
    {
        pointer = wl_proxy_marshal_flags(globals.pointerManager, 0, &kVirtualPointer,
                                         wl_proxy_get_version(globals.pointerManager), 0, globals.seat, nullptr);
        keyboard = wl_proxy_marshal_flags(globals.keyboardManager, 0, &kVirtualKeyboard,
                                          wl_proxy_get_version(globals.keyboardManager), 0, globals.seat, nullptr);
    }

    // The keyboard's layout: US English, the default of the evdev rules.
    bool loadKeymap()
    {
        context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
        if (!context)
            return false;
        const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
        keymap.reset(xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (!keymap)
            return false;
        state.reset(xkb_state_new(keymap.get()));
        std::unique_ptr<char, decltype(&std::free)> text(xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1),
                                                         &std::free);
        if (!text || !state)
            return false;
        const std::size_t size = std::strlen(text.get()) + 1;
        const int fd = memfd_create("keymap", MFD_CLOEXEC);
        if (fd < 0)
            return false;
        const bool written = write(fd, text.get(), size) == static_cast<ssize_t>(size);
        if (written)
            wl_proxy_marshal_flags(keyboard, Keymap, nullptr, 1, 0, std::uint32_t{WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1}, fd,
                                   static_cast<std::uint32_t>(size));
        close(fd);
        return written;
    }

    // Runs one command line; an empty result means success.
    std::string run(const std::string& line)
    {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        if (verb == "move") {
            std::uint32_t x = 0;
            std::uint32_t y = 0;
            words >> x >> y;
            if (!words || x > width || y > height)
                return "move needs X Y on the screen";
            sendPointer(MotionAbsolute, nowMs(), x, y, width, height);
        } else if (verb == "press" || verb == "release" || verb == "click") {
            int number = 0;
            words >> number;
            const std::optional<std::uint32_t> button = buttonCode(number);
            if (!button)
                return "no button " + std::to_string(number);
            if (verb != "release")
                sendPointer(Button, nowMs(), *button, std::uint32_t{WL_POINTER_BUTTON_STATE_PRESSED});
            if (verb == "click")
                flushAndPause();
            if (verb != "press")
                sendPointer(Button, nowMs(), *button, std::uint32_t{WL_POINTER_BUTTON_STATE_RELEASED});
        } else if (verb == "key") {
            std::string combo;
            while (words >> combo) {
                if (std::string error = pressCombo(combo); !error.empty())
                    return error;
            }
        } else if (verb == "type") {
            const std::string text = line.size() > 5 ? line.substr(5) : std::string();
            for (const char32_t c : decodeUtf8(text)) {
                const xkb_keysym_t sym = xkb_utf32_to_keysym(static_cast<std::uint32_t>(c));
                if (sym == XKB_KEY_NoSymbol)
                    return "no key types U+" + std::to_string(static_cast<std::uint32_t>(c));
                if (std::string error = pressKeys({}, sym); !error.empty())
                    return error;
            }
        } else {
            return "unknown command: " + verb;
        }
        // The compositor has handled everything sent when it answers.
        if (wl_display_roundtrip(display) < 0)
            return "lost the compositor";
        return {};
    }

private:
    template <typename... Args>
    void sendPointer(PointerRequest request, Args... args)
    {
        wl_proxy_marshal_flags(pointer, request, nullptr, 1, 0, args...);
        wl_proxy_marshal_flags(pointer, Frame, nullptr, 1, 0);
    }

    static std::optional<std::uint32_t> buttonCode(int number)
    {
        switch (number) {
        case 1:
            return BTN_LEFT;
        case 2:
            return BTN_MIDDLE;
        case 3:
            return BTN_RIGHT;
        }
        return std::nullopt;
    }

    // Gives the program time to see a press before its release, as a hand
    // does.
    void flushAndPause()
    {
        wl_display_roundtrip(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    std::optional<KeyPlace> find(xkb_keysym_t sym) const
    {
        for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap.get()); code <= xkb_keymap_max_keycode(keymap.get());
             ++code) {
            for (xkb_level_index_t level = 0; level < 2; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), code, 0, level, &syms);
                for (int i = 0; i < count; ++i) {
                    if (syms[i] == sym)
                        return KeyPlace{code, level == 1};
                }
            }
        }
        return std::nullopt;
    }

    std::string pressCombo(const std::string& combo)
    {
        std::vector<xkb_keysym_t> modifiers;
        std::string::size_type start = 0;
        for (;;) {
            const std::string::size_type plus = combo.find('+', start);
            std::string name = combo.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
            if (plus != std::string::npos) {
                static const std::pair<std::string_view, xkb_keysym_t> kModifiers[] = {
                    {"alt", XKB_KEY_Alt_L}, {"ctrl", XKB_KEY_Control_L}, {"shift", XKB_KEY_Shift_L},
                    {"super", XKB_KEY_Super_L}};
                bool known = false;
                for (const auto& [modifierName, sym] : kModifiers) {
                    if (name == modifierName) {
                        modifiers.push_back(sym);
                        known = true;
                    }
                }
                if (!known)
                    return "unknown modifier: " + name;
                start = plus + 1;
                continue;
            }
            const xkb_keysym_t sym = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
            if (sym == XKB_KEY_NoSymbol)
                return "unknown key: " + name;
            return pressKeys(modifiers, sym);
        }
    }

    // Presses the modifiers, then the key (with Shift where the key needs
    // it), and releases them all in reverse order.
    std::string pressKeys(std::vector<xkb_keysym_t> modifiers, xkb_keysym_t sym)
    {
        const std::optional<KeyPlace> place = find(sym);
        if (!place)
            return "no key on the keymap for keysym " + std::to_string(sym);
        if (place->shifted)
            modifiers.push_back(XKB_KEY_Shift_L);
        std::vector<xkb_keycode_t> held;
        for (const xkb_keysym_t modifier : modifiers) {
            const std::optional<KeyPlace> modifierPlace = find(modifier);
            if (!modifierPlace)
                return "no modifier key for keysym " + std::to_string(modifier);
            held.push_back(modifierPlace->keycode);
        }
        held.push_back(place->keycode);
        for (const xkb_keycode_t code : held)
            sendKey(code, XKB_KEY_DOWN);
        flushAndPause();
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            sendKey(*it, XKB_KEY_UP);
        return {};
    }

    void sendKey(xkb_keycode_t code, xkb_key_direction direction)
    {
        // Evdev numbers keys 8 below the keymap's codes.
        wl_proxy_marshal_flags(keyboard, Key, nullptr, 1, 0, nowMs(), std::uint32_t{code - 8},
                               std::uint32_t{direction == XKB_KEY_DOWN ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                                       : WL_KEYBOARD_KEY_STATE_RELEASED});
        // The compositor takes the modifier state from the keyboard, not from
        // its keys.
        if (xkb_state_update_key(state.get(), code, direction) & XKB_STATE_MODS_EFFECTIVE) {
            wl_proxy_marshal_flags(keyboard, Modifiers, nullptr, 1, 0,
                                   xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED),
                                   xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LATCHED),
                                   xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_LOCKED),
                                   xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE));
        }
    }

    static std::u32string decodeUtf8(const std::string& text)
    {
        std::u32string out;
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
            char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
            for (int k = 1; k <= extra && i + k < text.size(); ++k)
                c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            out.push_back(c);
            i += static_cast<std::size_t>(extra) + 1;
        }
        return out;
    }

    wl_display* display;
    std::uint32_t width;
    std::uint32_t height;
    wl_proxy* pointer = nullptr;
    wl_proxy* keyboard = nullptr;
    std::unique_ptr<xkb_context, XkbFree> context;
    std::unique_ptr<xkb_keymap, XkbFree> keymap;
    std::unique_ptr<xkb_state, XkbFree> state;
};

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "usage: virtualinput SCREEN_WIDTH SCREEN_HEIGHT\n";
        return 2;
    }
    const auto width = static_cast<std::uint32_t>(std::stoul(argv[1]));
    const auto height = static_cast<std::uint32_t>(std::stoul(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::cerr << "virtualinput: no Wayland compositor to connect to\n";
        return 1;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.seat == nullptr || globals.pointerManager == nullptr || globals.keyboardManager == nullptr) {
        std::cerr << "virtualinput: the compositor offers no seat, virtual pointer or virtual keyboard\n";
        return 1;
    }
    VirtualInput input(display, globals, width, height);
    if (!input.loadKeymap()) {
        std::cerr << "virtualinput: could not make the keyboard's keymap\n";
        return 1;
    }
    if (wl_display_roundtrip(display) < 0) {
        std::cerr << "virtualinput: the compositor refused the devices\n";
        return 1;
    }
    std::cout << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::string error = input.run(line);
        std::cout << (error.empty() ? std::string("ok") : "error: " + error) << std::endl;
    }
    wl_display_disconnect(display);
    return 0;
}
