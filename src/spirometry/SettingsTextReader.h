// Reads the numbers of an enumerator's settings text: separated by white space, in the classic
// locale. A number that cannot be read counts as 0 and, like the end of the text, ends the
// reading; a field asked for after that keeps what it held.
#pragma once

#include <locale>
#include <sstream>

#include "foundation/KVDString.h"

namespace Spirometry {

class SettingsTextReader {
public:
    explicit SettingsTextReader(const KVD::String& text) : mIn(text.c_str()) { mIn.imbue(std::locale::classic()); }

    template <class T>
    void Read(T& field)
    {
        if (!mGood)
            return;
        mIn >> std::ws;
        if (mIn.eof()) {
            mGood = false;
            return;
        }
        T value{};
        mGood = bool(mIn >> value);
        field = mGood ? value : T{};
    }

private:
    std::wistringstream mIn;
    bool mGood = true;
};

}  // namespace Spirometry
