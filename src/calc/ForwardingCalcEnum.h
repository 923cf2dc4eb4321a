// Base of the enumerators whose output sample n is computed from sample n of one source, so
// that positioning, skipping, the position, the filling state and the tick mapping are the
// source's. A derived class supplies its settings, its cloning and Next.
#pragma once

#include "IEnumShortEx.h"
#include "IUnitName.h"
#include "calc/CalcEnumBase.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"

namespace CalcEnums {

template <class Source>
class ForwardingCalcEnum : public CalcEnumBase2 {
public:
    ForwardingCalcEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : CalcEnumBase2(classObject, data) {}
    // Copies class object, data, sampling value, settings, units and the positioned flag;
    // the copy reads a clone of the source.
    ForwardingCalcEnum(const ForwardingCalcEnum& other) = default;

    HRESULT GetSettings(IAutoKVDString** text) override;
    // Takes the first source's stream face and the first unit, when given; stores the
    // sampling value in every case. 0 when a source is held, else 0xF800400A.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT ReleaseSources() override;
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT IsFilling(AutoBool* filling) override;

    bool IsPositioned() const { return mPositioned; }

protected:
    Source* SourceStream() const { return mSource.get(); }
    IUnitName* SourceUnit() const { return mSourceUnit.get(); }
    const KVD::String& Settings() const { return mSettings; }
    void StoreSettings(const KVD::String& text) { mSettings = text; }
    // The unit GetOutputInfo hands out.
    void SetOutputUnit(IUnitName* unit) { mOutputUnit = unit; }
    virtual CalcInstanceAttributes Attributes() const { return kAttrSampleEnum; }

private:
    double mSampling = 0.0;
    KVD::COMPtr<Source, KVD::COMCloneEnumEx> mSource;
    KVD::COMPtr<IUnitName> mSourceUnit;
    KVD::COMPtr<IUnitName> mOutputUnit;
    KVD::String mSettings;
    bool mPositioned = false;
};

extern template class ForwardingCalcEnum<IEnumFloatEx>;
extern template class ForwardingCalcEnum<IEnumShortEx>;

}  // namespace CalcEnums
