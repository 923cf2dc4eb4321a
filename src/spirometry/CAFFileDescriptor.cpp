#include "spirometry/CAFFileDescriptor.h"

#include "ResultCodes.h"

CAFFileDescriptor::CAFFileDescriptor(TCAFId formatId, const wchar_t* extension, const wchar_t* description,
                                     DocFileFlags flags, SaveAsAspect aspects)
    : mExtension(extension), mDescription(description), mFormatId(formatId), mFlags(flags), mAspects(aspects)
{
}

namespace {

template <class T>
HRESULT Answer(T* out, T value)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = value;
    return KVD_S_OK;
}

}  // namespace

HRESULT CAFFileDescriptor::GetExtension(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mExtension.GetOut(out);
    return KVD_S_OK;
}

HRESULT CAFFileDescriptor::GetDescription(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    mDescription.GetOut(out);
    return KVD_S_OK;
}

HRESULT CAFFileDescriptor::GetFlags(DocFileFlags* out)
{
    return Answer(out, mFlags);
}

HRESULT CAFFileDescriptor::GetFormatId(TCAFId* out)
{
    return Answer(out, mFormatId);
}

HRESULT CAFFileDescriptor::GetSupportedAspects(SaveAsAspect* out)
{
    return Answer(out, mAspects);
}
