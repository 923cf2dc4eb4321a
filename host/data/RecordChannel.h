// A channel as the record data hands it out: a snapshot of its set-up. The channel table keeps
// one per channel while the set-up lasts, so every record answers the same object.
#pragma once

#include <string>

#include "IRecordData.h"
#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class RecordChannel final : public SimpleUnknownImp1<IRecordChannel, 0> {
public:
    // recordedUnits: those of the recorded data (null without); dataUnits: those of the data.
    static RecordChannel* Create(int channel, const std::string& title, IUnitsConversion* recordedUnits,
                                 IUnitsConversion* dataUnits, bool computed);

    HRESULT GetChannel(int32_t* channel) const override;
    HRESULT GetTitle(IAutoKVDString** title) const override;
    HRESULT GetUnitName(uint32_t flags, IUnitName** unit) const override;
    HRESULT GetUnits(uint32_t flags, IUnitsConversion** units) const override;
    HRESULT IsComputed(AutoBool* computed) const override;

private:
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    RecordChannel(int channel, const std::string& title, IUnitsConversion* recordedUnits,
                  IUnitsConversion* dataUnits, bool computed);
    IUnitsConversion* UnitsFor(uint32_t flags) const;

    int mChannel;
    std::string mTitle;
    KVD::COMPtr<IUnitsConversion> mRecordedUnits;
    KVD::COMPtr<IUnitsConversion> mDataUnits;
    bool mComputed;
};

}  // namespace Host
