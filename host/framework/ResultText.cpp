#include "host/framework/ResultText.h"

#include "ResultCodes.h"
#include "foundation/ResultCodeText.h"
#include "foundation/KVDString.h"

namespace Host {

std::string ResultText(HRESULT code)
{
    switch (code) {
    case KVD_S_OK:
        return "it reported success without doing it";
    case KVD_E_BADSTATE:
        return "it was refused in its present state or with these arguments";
    case KVD_E_NOTIMPL:
        return "it is not implemented";
    case KVD_E_NULLOUT:
    case KVD_E_POINTER:
        return "a required pointer was missing";
    case KVD_E_NOINTERFACE:
        return "the object does not offer what was asked of it";
    default:
        return KVD::ToU8String(KVD::ResultCodeText(code));
    }
}

}  // namespace Host
