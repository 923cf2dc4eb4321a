// Base of the host's own sample enumerators. An operator reads its float sources in lockstep,
// sample n of the output from sample n of every source, and computes in the first source's
// block; a generator (no lockstep sources) produces its samples from their positions and
// never ends unless it says so. The settings text is parsed by the derived class.
#pragma once

#include <vector>

#include "IUnitName.h"
#include "calc/CalcEnumBase.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"

namespace HostCalc {

class HostSampleEnum : public CalcEnums::CalcEnumBase2 {
public:
    HostSampleEnum(ICalcEnumClass2* classObject, IOrrelData2* data, size_t sourceCount);
    // The copy reads clones of the sources, at the same position.
    HostSampleEnum(const HostSampleEnum& other);

    // Stores the text; a text the derived class cannot read answers 0xF800400A.
    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    HRESULT GetSettings(IAutoKVDString** text) override;
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    // Needs as many sample streams as the enumerator reads; 0xF800400A otherwise.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    HRESULT SetInitialPosition(int32_t position) override;
    HRESULT ReleaseSources() override;
    HRESULT IsUpdateNeeded(long record, BlockUpdateType change, BlockUpdateType* needed) override;
    // The sampling value given with the sources and the first source's unit (else an empty one).
    HRESULT GetOutputInfo(double* sampling, IUnitName** unit) override;
    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) override;
    HRESULT GetTickToSample(TTickToSample* map) override;

    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;
    HRESULT SkipEx(int32_t count, int32_t* skipped) override;
    HRESULT GetPosition(int32_t* position) override;
    HRESULT IsFilling(AutoBool* filling) override;
    HRESULT Clone(IEnumExBase** out) override;

protected:
    // Reads the settings text; false refuses it.
    virtual bool ReadSettings(const KVD::String& text) = 0;
    // out holds the first source's n samples (nothing for a generator); inputs the other
    // sources' samples, in order.
    virtual void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) = 0;
    // A generator's samples from position on: produced receives how many, the result is 0
    // unless it stopped short. The default computes all n.
    virtual HRESULT Generate(float* out, int32_t position, uint32_t n, uint32_t* produced);
    virtual HostSampleEnum* Copy() const = 0;

    int32_t Position() const { return mPosition; }
    void SetPosition(int32_t position) { mPosition = position; }
    double Sampling() const { return mSampling; }
    int32_t Record() const { return mRecord; }
    const KVD::String& Settings() const { return mSettings; }
    void SetUnit(IUnitName* unit) { mUnit = unit; }

private:
    using Stream = KVD::COMPtr<IEnumFloatEx, KVD::COMCloneEnumEx>;

    HRESULT ReadSources(uint32_t count, float* buffer, uint32_t* delivered);

    std::vector<Stream> mSources;
    std::vector<std::vector<float>> mScratch;  // blocks of the sources after the first
    KVD::COMPtr<IUnitName> mUnit;
    KVD::String mSettings;
    double mSampling = 0.0;
    int32_t mRecord = 0;
    int32_t mPosition = 0;
};

// Supplies Copy for a derived class D.
template <class D>
class HostSampleEnumT : public HostSampleEnum {
public:
    using HostSampleEnum::HostSampleEnum;

protected:
    HostSampleEnum* Copy() const override { return new D(static_cast<const D&>(*this)); }
};

}  // namespace HostCalc
