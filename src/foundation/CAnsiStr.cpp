#include "foundation/CAnsiStr.h"

#include "foundation/TextConversion.h"

namespace KVDString {

const char* CAnsiStr::NativeToUTF8(const wchar_t* text)
{
    delete[] mText;
    mText = nullptr;
    mText = KVD::NewUTF8Text(text);
    return mText;
}

}  // namespace KVDString
