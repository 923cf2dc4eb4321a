// What every event detector is given: the analysis region, its sources wrapped for stepping,
// their units, the sampling value and the host data. A detector's parameters derive from it
// and add their own settings.
#pragma once

#include <istream>
#include <memory>
#include <vector>

#include "IOrrelData2.h"
#include "IUnitName.h"
#include "calc/EEH3SourceEnum.h"
#include "foundation/COMPtr.h"
#include "foundation/OStringStream.h"

namespace EEH3 {

// Copying copies the settings and the region, never the sources: a copy is wired anew.
class ParamsBaseAutoCopy {
public:
    ParamsBaseAutoCopy() = default;
    ParamsBaseAutoCopy(const ParamsBaseAutoCopy& other)
        : mRegion(other.mRegion),
          mSettingsIndex(other.mSettingsIndex),
          mSourceCount(other.mSourceCount),
          mSampling(other.mSampling),
          mData(other.mData),
          mEventBatch(other.mEventBatch)
    {
    }
    ParamsBaseAutoCopy& operator=(const ParamsBaseAutoCopy&) = delete;
    virtual ~ParamsBaseAutoCopy() = default;

    AnalysisRegion mRegion;
    // The integer that follows the first word of the settings (the compiler's alias index).
    long mSettingsIndex = 0;
    long mSourceCount = 0;
    // The sampling value SetSources received (the sample interval in seconds).
    double mSampling = 0.0;
    IOrrelData2* mData = nullptr;  // not owned
    // Events read from an event source in one batch.
    uint32_t mEventBatch = 8;
};

class ParamsBase : public ParamsBaseAutoCopy {
public:
    ParamsBase() = default;
    ParamsBase(const ParamsBase& other) : ParamsBaseAutoCopy(other) {}

    // The detector's own settings, read and written with the classic locale.
    virtual void setSettings(std::wistream& in);
    virtual void getSettings(KVD::OStringStream& out) const;
    // Wraps each source by its kind: event streams as EventWrapper, anything else as a
    // sample source (FloatExWrapper, counting ticks only when it is not a sample stream).
    virtual void setSources(long count, IUnknown** sources, IUnitName** units);

    void ReleaseSources();
    size_t SourceCount() const { return mSources.size(); }
    eeh_SourceEnum& Source(size_t index) const { return *mSources[index]; }
    IUnitName* Unit(size_t index) const { return index < mUnits.size() ? mUnits[index].get() : nullptr; }

protected:
    // For detectors that wrap their sources themselves (typed event sources).
    void AddSource(std::unique_ptr<eeh_SourceEnum> source, IUnitName* unit);

private:
    std::vector<std::unique_ptr<eeh_SourceEnum>> mSources;
    std::vector<KVD::COMPtr<IUnitName>> mUnits;
};

}  // namespace EEH3
