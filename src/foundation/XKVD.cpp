#include "foundation/XKVD.h"

#include <cstdio>
#include <string>

#include "foundation/KVDResultCodes.h"
#include "foundation/ResultCodeText.h"

namespace {

// Messages of these codes are complete texts of their own.
bool TakesLineFeed(int code)
{
    return code != KVD_S_OK && code != KVD_E_STORAGEMESSAGE && code != KVD_E_REPORTMESSAGE;
}

}  // namespace

XKVD::XKVD(int code, NSBundle* bundle) : mCode(code), mMessage(MakeMsg(bundle, code))
{
    Log();
}

XKVD::XKVD(const KVD::String& message, int code, NSBundle*) : mCode(code), mMessage(message)
{
    if (TakesLineFeed(code))
        mMessage += L'\n';
    Log();
}

const char* XKVD::what() const noexcept
{
    try {
        mMessage = why();
        return mMessage.UTF8();
    } catch (...) {
        return "XKVD";  // no memory for the text
    }
}

KVD::String XKVD::why() const
{
    return mMessage;
}

KVD::String XKVD::MakeMsg(NSBundle*, int code)
{
    return KVD::ResultCodeText(code);
}

KVD::String XKVD::MakeMsgForKVDHR(int code, NSBundle*)
{
    return KVD::DataFileResultCodeText(code);
}

// The line goes to the error stream as UTF-8 bytes, so that every character survives whatever
// C locale is set and the stream is never switched to wide orientation under other writers.
void XKVD::Log() const
{
    const std::string line = "KVDBOOTLOG: XKVD: " + KVD::ToU8String(mMessage) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
