#include "foundation/ResultCodeText.h"

#include <cstdio>
#include <cstring>

#include "foundation/KVDResultCodes.h"

namespace KVD {

namespace {

constexpr HRESULT kOwnCodesFirst = static_cast<HRESULT>(0xF8004000);
constexpr HRESULT kOwnCodesLast = static_cast<HRESULT>(0xF8007FFF);

const wchar_t kNewerVersionText[] =
    L"It was probably written by a newer version of Vexorium. A later version of Vexorium may be able to "
    L"read this file.";

struct CodeText {
    HRESULT code;
    const wchar_t* text;
};

constexpr CodeText kDataFileTexts[] = {
    {KVD_E_MAPINPUTUNREADABLE, L"The map input stream was unreadable."},
    {KVD_E_UINTTOOLARGE, L"An unsigned int was over the allowed size."},
    {KVD_E_UINTUNEXPECTED, L"An unsigned int did not have the expected value."},
    {KVD_E_ARRAYSIZE, L"An array in the file was the wrong size."},
    {KVD_E_NEWERFILE, kNewerVersionText},
    {KVD_E_NEWERVERSION, kNewerVersionText},
    {KVD_E_NOTOEMFILE, L"This file is not a valid OEM data file."},
    {KVD_E_DISKFULL, L"The disk is full."},
    {KVD_E_MAPPEDFILECORRUPT, L"Growable Memory Mapped file has been corrupted (possibly by another thread)."},
    {KVD_E_STREAMCREATE, L"Unable to create stream object."},
    {KVD_E_BADOUTSTREAM, L"The output stream was bad."},
    {KVD_E_KVDDATWRITEDISALLOWED,
     L"Writing data to this file in the KVDDat format is disallowed because it could cause loss of information "
     L"about data already in the file which has been written in a later format."},
    {KVD_E_WRITEDISALLOWED,
     L"Writing data to this file is disallowed because it could cause loss of information about data already "
     L"in the file which has been written in a later format."},
};

constexpr CodeText kFileTexts[] = {
    {KVD_E_INVALIDNAME, L"The file name is not valid."},
    {KVD_E_READFAULT, L"A disk error occurred during a read operation."},
    {KVD_E_NOTVALIDFILE, L"The file is not a valid Vexorium file."},
};

template <size_t N>
const wchar_t* Find(const CodeText (&table)[N], HRESULT code)
{
    for (const CodeText& entry : table)
        if (entry.code == code)
            return entry.text;
    return nullptr;
}

String PosixText(int error)
{
    char buffer[256];
    return ToKVDString(strerror_r(error, buffer, sizeof buffer));
}

// The text for a code that has none of its own; there is no platform error table to ask here.
String UnexpectedText(HRESULT code)
{
    char text[64];
    std::snprintf(text, sizeof text, "An unexpected error occurred (0x%x).", static_cast<unsigned>(code));
    return String(text);
}

}  // namespace

String ResultCodeText(HRESULT code)
{
    if (code == KVD_E_NEWERFILEFORMAT)
        code = KVD_E_NEWERVERSION;
    if (code >= KVD_E_DATAFILEFIRST && code <= KVD_E_DATAFILELAST)
        return DataFileResultCodeText(code);
    if (Is_POSIX_HRESULT(code))
        return PosixText(HRESULT_to_POSIX(code));
    if (code >= kOwnCodesFirst && code <= kOwnCodesLast) {
        if (const wchar_t* text = Find(kFileTexts, code))
            return String(text);
    }
    return UnexpectedText(code);
}

String DataFileResultCodeText(HRESULT code)
{
    const wchar_t* text = Find(kDataFileTexts, code);
    return text != nullptr ? String(text) : String();
}

}  // namespace KVD
