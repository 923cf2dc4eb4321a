#include "foundation/XKVD.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The line is written as UTF-8 bytes, so that every character survives whatever C locale is
// set and the error stream is never switched to wide orientation under other writers. Where it
// goes is read from the environment at each line, because the host and every plug-in have
// their own copy of this code and the environment is what they share.
void XKVD::Log() const
{
    const char* where = std::getenv(kLogVariable);
    if (where != nullptr && std::strcmp(where, "off") == 0)
        return;
    const std::string line = "KVDBOOTLOG: XKVD: " + KVD::ToU8String(mMessage) + "\n";
    std::FILE* file = where != nullptr && *where != '\0' && std::strcmp(where, "stderr") != 0 ? std::fopen(where, "a")
                                                                                            : nullptr;
    std::FILE* out = file != nullptr ? file : stderr;
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
    if (file != nullptr)
        std::fclose(file);
}
