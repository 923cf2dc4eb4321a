#include "appkit/UserDefaults.h"

namespace AppKit {

UserDefaults& UserDefaults::Standard()
{
    static UserDefaults defaults;
    return defaults;
}

bool UserDefaults::BoolForKey(const std::string& key) const
{
    const auto it = mValues.find(key);
    return it != mValues.end() && it->second;
}

}  // namespace AppKit
