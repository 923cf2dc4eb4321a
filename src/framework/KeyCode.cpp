#include "framework/KeyCode.h"

#include <array>

#include "foundation/StringKeys.h"

namespace KVD {
namespace {

const KVDXMLStringKey* const kKeyNameKeys[kKeyNameCount] = {
    &CAFClientStr::IDS_CAF_DEL,        &CAFClientStr::IDS_CAF_LEFT_ARROW,  &CAFClientStr::IDS_CAF_RIGHT_ARROW,
    &CAFClientStr::IDS_CAF_UP_ARROW,   &CAFClientStr::IDS_CAF_DOWN_ARROW,  &CAFClientStr::IDS_CAF_PAGEUP,
    &CAFClientStr::IDS_CAF_PAGEDOWN,   &CAFClientStr::IDS_CAF_SCROLL_LOCK, &CAFClientStr::IDS_CAF_PAUSE_BREAK,
    &CAFClientStr::IDS_CAF_INSERT,     &CAFClientStr::IDS_CAF_HOME,        &CAFClientStr::IDS_CAF_END,
    &CAFClientStr::IDS_CAF_SPACEBAR,   &CAFClientStr::IDS_CAF_NUM_LOCK,    &CAFClientStr::IDS_CAF_NUM_PAD_CLEAR,
    &CAFClientStr::IDS_CAF_ENTER,      &CAFClientStr::IDS_CAF_WINDOWS,     &CAFClientStr::IDS_CAF_CAPSLOCK,
};

// Read at first use rather than during static initialisation, when the bundle may not be found
// yet.
const std::array<String, kKeyNameCount>& KeyNames()
{
    static const std::array<String, kKeyNameCount> names = [] {
        std::array<String, kKeyNameCount> read;
        for (int i = 0; i < kKeyNameCount; ++i)
            read[i] = String(KVDGetMyBundle(), *kKeyNameKeys[i], true);
        return read;
    }();
    return names;
}

}  // namespace

const String& GetKeyName(KeyName name)
{
    return KeyNames().at(name);
}

}  // namespace KVD
