// The one exception of the formula compiler: a message, the character offset in the
// formula text that it concerns, and a result code.
#pragma once

#include <cstdint>

#include "ResultCodes.h"
#include "foundation/KVDString.h"

namespace CalcParser {

// Used for the use of a variable that no formula or host defines.
constexpr HRESULT kArithUndefinedVariable = static_cast<HRESULT>(0xF8008019);

class XArith {
public:
    XArith(const KVD::String& message, int64_t position, HRESULT code = KVD_E_BADSTATE)
        : mMessage(message), mPosition(position), mCode(code)
    {
    }

    const KVD::String& Message() const { return mMessage; }
    int64_t Position() const { return mPosition; }
    HRESULT Code() const { return mCode; }

private:
    KVD::String mMessage;
    int64_t mPosition;
    HRESULT mCode;
};

}  // namespace CalcParser
