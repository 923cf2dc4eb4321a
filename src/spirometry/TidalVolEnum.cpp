#include "spirometry/TidalVolEnum.h"

#include "CalcEnumTypes.h"
#include "IUnitName.h"
#include "spirometry/SpiroIds.h"

namespace Spirometry {

namespace {

bool EndsWith(const KVD::String& text, const wchar_t* end)
{
    const std::wstring all(text.c_str());
    const std::wstring tail(end);
    return all.size() >= tail.size() && all.compare(all.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

HRESULT TidalVolEnum::SetSettings(IAutoKVDString* text, BlockUpdateType* update)
{
    mText = KVD::String(text);
    if (update != nullptr)
        *update = kUpdateAll;
    EditRPN().Erase(0, EditRPN().GetCount());
    return KVD_S_OK;
}

HRESULT TidalVolEnum::GetSettings(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_POINTER;
    mText.GetOut(text);
    return KVD_S_OK;
}

HRESULT TidalVolEnum::SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                                 CalcEnumFlags flags)
{
    if (count != 1)
        return KVD_E_BADSTATE;
    KVD::String formula(mText);
    KVD::String unit;
    if (units != nullptr && units[0] != nullptr)
        units[0]->GetName(kAutoTrue, KVD::String::Setter(unit));
    // The integration takes seconds: litres per minute times seconds are sixtieths of litres.
    if (EndsWith(unit, L"/min"))
        formula += L"/60.0";
    KVD::String message;
    SetSettingsSilent(formula.AsIAutoKVDString(), nullptr, message);
    return CompositeCalcEnum::SetSources(record, 1, sources, units, sampling, flags);
}

CalcEnums::CalcEnumClassBase2::Traits TidalVolEnum::sTraits = {
    L"TidalVolEnum", L"An enumerator derived from CompositeCalcEnum", &GUID_SpEnumObj, kTidalVolEnumSubId};

}  // namespace Spirometry
