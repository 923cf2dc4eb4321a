// A menu shortcut: a key and its modifiers, packed for the host as key | modifiers << 16.
#pragma once

#include <cstdint>

#include "foundation/KVDString.h"

namespace KVD {

class KeyCode {
public:
    KeyCode() = default;
    // The key from the low 16 bits, the modifiers from the high 16 bits.
    explicit KeyCode(unsigned int packed)
        : mKey(static_cast<uint16_t>(packed & 0xFFFF)), mModifiers(static_cast<uint16_t>(packed >> 16))
    {
    }
    KeyCode(uint16_t key, uint16_t modifiers) : mKey(key), mModifiers(modifiers) {}

    uint16_t Key() const { return mKey; }
    uint16_t Modifiers() const { return mModifiers; }
    unsigned int Packed() const { return mKey | static_cast<unsigned int>(mModifiers) << 16; }
    bool IsEmpty() const { return Packed() == 0; }

private:
    uint16_t mKey = 0;
    uint16_t mModifiers = 0;
};

// The names of the special keys, in the order of their table entries: Delete, the four arrows,
// Page Up, Page Down, Scroll Lock, Pause/Break, Insert, Home, End, Space, Num Lock, the number
// pad's Clear, Enter, the Windows key and Caps Lock. Read from the bundle once.
enum KeyName {
    kKeyDelete,
    kKeyLeftArrow,
    kKeyRightArrow,
    kKeyUpArrow,
    kKeyDownArrow,
    kKeyPageUp,
    kKeyPageDown,
    kKeyScrollLock,
    kKeyPauseBreak,
    kKeyInsert,
    kKeyHome,
    kKeyEnd,
    kKeySpacebar,
    kKeyNumLock,
    kKeyNumPadClear,
    kKeyEnter,
    kKeyWindows,
    kKeyCapsLock,
    kKeyNameCount
};
const String& GetKeyName(KeyName name);

}  // namespace KVD
