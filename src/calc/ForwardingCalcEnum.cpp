#include "calc/ForwardingCalcEnum.h"

#include "IEnumShortEx.h"
#include "calc/SourcePositioning.h"

namespace CalcEnums {

template <class Source>
HRESULT ForwardingCalcEnum<Source>::GetSettings(IAutoKVDString** text)
{
    if (text == nullptr)
        return KVD_E_NULLOUT;
    mSettings.GetOut(text);
    return KVD_S_OK;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::SetSources(int32_t, long count, IUnknown** sources, IUnitName** units,
                                               double sampling, CalcEnumFlags)
{
    if (count > 0 && sources != nullptr) {
        mSource = KVD::COMPtr<Source, KVD::COMCloneEnumEx>(KVD::com_cast(sources[0]));
        mSourceUnit = units != nullptr ? units[0] : nullptr;
    }
    mSampling = sampling;
    mPositioned = false;
    return mSource ? KVD_S_OK : KVD_E_BADSTATE;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::SetInitialPosition(int32_t position)
{
    mPositioned = true;
    return PositionSource(mSource.get(), position);
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::ReleaseSources()
{
    mSource.Clear();
    return KVD_S_OK;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::GetOutputInfo(double* sampling, IUnitName** unit)
{
    if (sampling != nullptr)
        *sampling = mSampling;
    if (unit != nullptr)
        mOutputUnit.GetOut(unit);
    return KVD_S_OK;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::GetInstanceAttributes(CalcInstanceAttributes* attributes)
{
    if (attributes == nullptr)
        return KVD_E_NULLOUT;
    *attributes = Attributes();
    return KVD_S_OK;
}

// Without a source these are caller errors: they answer 0xF800400A like GetPosition.
template <class Source>
HRESULT ForwardingCalcEnum<Source>::GetTickToSample(TTickToSample* map)
{
    return mSource ? mSource->GetTickToSample(map) : KVD_E_BADSTATE;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::SkipEx(int32_t count, int32_t* skipped)
{
    if (mSource)
        return mSource->SkipEx(count, skipped);
    if (skipped != nullptr)
        *skipped = 0;
    return KVD_E_BADSTATE;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::GetPosition(int32_t* position)
{
    if (position == nullptr)
        return KVD_E_NULLOUT;
    if (mSource)
        return mSource->GetPosition(position);
    *position = -1;
    return KVD_E_BADSTATE;
}

template <class Source>
HRESULT ForwardingCalcEnum<Source>::IsFilling(AutoBool* filling)
{
    return mSource ? mSource->IsFilling(filling) : KVD_E_BADSTATE;
}

template class ForwardingCalcEnum<IEnumFloatEx>;
template class ForwardingCalcEnum<IEnumShortEx>;

}  // namespace CalcEnums
