#include "plot/LumoText.h"

#include <map>

namespace Lumo {

const std::string& Text(const KVDXMLStringKey& key)
{
    static std::map<const KVDXMLStringKey*, std::string> cache;
    auto found = cache.find(&key);
    if (found == cache.end())
        found = cache.emplace(&key, GetStringFromStringsFile(KVDGetMyBundle(), key.key, key.table, true)).first;
    return found->second;
}

std::string Fill(const std::string& format, const std::vector<std::string>& arguments)
{
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const char next = format[i + 1];
        if (next == '%') {
            out += '%';
            ++i;
        } else if (next >= '1' && next <= '9') {
            const size_t index = size_t(next - '1');
            if (index < arguments.size())
                out += arguments[index];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace Lumo
