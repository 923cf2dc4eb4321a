#include "host/saveas/SaveAsFormats.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include <boost/algorithm/string/predicate.hpp>

#include "foundation/KVDString.h"
#include "foundation/KVDResultCodes.h"
#include "host/framework/Framework.h"
#include "host/framework/SafeFile.h"

namespace Host {
namespace {

std::string Text(IDocFileDescr& descr, HRESULT (IDocFileDescr::*get)(IAutoKVDString**))
{
    KVD::String text;
    (descr.*get)(KVD::String::Setter(text));
    return KVD::ToU8String(text);
}

HRESULT CallSaveAs(const SaveAsFormat& format, IDocument* document, const std::string& path)
{
    const SaveAsAspect aspect = format.aspects & (~format.aspects + 1);
    const KVD::String target = KVD::ToKVDString(path);
    if (KVD::COMPtr<IFileSaveAsClass2> saver{KVD::com_cast(format.classObject.get())})
        return saver->SaveAsEx(nullptr, target.AsIAutoKVDString(), aspect, 0, document);
    if (KVD::COMPtr<IFileSaveAsClass> saver{KVD::com_cast(format.classObject.get())})
        return saver->SaveAs(nullptr, target.AsIAutoKVDString(), aspect, document);
    return KVD_E_NOINTERFACE;
}

// The message a class wrote in place of the file, without its line ends.
std::string MessageText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

std::vector<SaveAsFormat> RegisteredSaveAsFormats()
{
    std::vector<SaveAsFormat> formats;
    KVD::COMPtr<IEnumClassObjects> classes;
    Framework::Instance()->EnumClassObjectsInCategory(&CATID_OrrelSaveAsCategory, classes.Set());
    ICAFClassObject* next = nullptr;
    while (classes != nullptr && classes->Next(1, &next, nullptr) == KVD_S_OK) {
        SaveAsFormat format;
        format.classObject = KVD::COMPtr<ICAFClassObject>::Take(next);
        KVD::COMPtr<IDocFileDescr> descr(KVD::com_cast(format.classObject.get()));
        if (descr == nullptr)
            continue;
        format.extension = Text(*descr, &IDocFileDescr::GetExtension);
        format.description = Text(*descr, &IDocFileDescr::GetDescription);
        descr->GetFormatId(&format.formatId);
        descr->GetFlags(&format.flags);
        descr->GetSupportedAspects(&format.aspects);
        formats.push_back(std::move(format));
    }
    return formats;
}

const SaveAsFormat* FindSaveAsFormat(const std::vector<SaveAsFormat>& formats, std::string extension)
{
    if (!extension.empty() && extension[0] == '.')
        extension.erase(0, 1);
    for (const SaveAsFormat& format : formats)
        if (boost::algorithm::iequals(format.extension, extension))
            return &format;
    return nullptr;
}

HRESULT SaveDocumentAs(const SaveAsFormat& format, IDocument* document, const std::string& path, std::string* why)
{
    // The class sees the scratch file's path and may judge it by its extension.
    SafeFile file(path, SafeFile::Scratch::kNamed);
    errno = 0;
    const HRESULT hr = CallSaveAs(format, document, file.ScratchPath());
    const int error = errno;
    if (hr == KVD_S_OK) {
        file.Commit();
        return hr;
    }
    if (why != nullptr)
        *why = hr == KVD_E_REPORTMESSAGE ? MessageText(file.ScratchPath()) : error != 0 ? SystemErrorText(error) : "";
    return hr;
}

}  // namespace Host
