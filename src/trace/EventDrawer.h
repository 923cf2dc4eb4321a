// The event drawer: marks each event of a channel inside the drawn columns with a dotted line
// over the pane's height and a small filled circle at its top, coloured by the stream's
// event-draw class. Events are read forward through a buffered iterator, 8 to a read.
#pragma once

#include "IDisplaySettings.h"
#include "IEnumEventEx.h"
#include <memory>
#include "foundation/ConstEventIterBase.h"
#include "trace/DrawerBase.h"

namespace OrrelDraw {

using EventIterator = KVDEvent::ConstEventIterBase<IEnumEventEx, KVDEventBase, KVDEvent::DynamicStoragePolicy,
                                                   KVDEvent::PODEventBufferSizePolicy, 8>;

class EventDrawer : public DrawerBase {
public:
    static constexpr long kLayerValue = 0x402;

    EventDrawer(BlockDataType type, TChannelId channel);

    HRESULT SetRecordDataPixMap(unsigned int number, IRecordDataPixMap* map) override;
    HRESULT GetInfo(unsigned int request, unsigned int* flags, int* left, int* right, TDC* dc) const override;
    HRESULT GetUnitsName(long scaleId, int side, IAutoKVDString** name, AutoBool* hasUnits) const override;
    HRESULT GetUnitsConversion(int record, IUnitsConversion** units) const override;
    HRESULT OnScalingChanged(long scaleId, unsigned int dragId, const DataScaling* scaling, IScale* scale) override;
    HRESULT Revert(TOrrelDrawNeedsUpdateFlags flags) override;
    HRESULT DrawInRecord(TDC& dc, long long start, long long end, TPixPosition pix, int x, const tagRECT* clip,
                         OrrelDrawerDrawFlags flags, const GraticuleInfo* graticule,
                         const KVDDataTimeInfo* time) override;
    HRESULT OnRecordStart(unsigned int record, AutoBool online) override;
    HRESULT Update(long long start, long long count, long long* latest) override;
    HRESULT OnRecordEnd(unsigned int record, BlockUpdateType* update) override;
    HRESULT GetRange(BlockDataType type, long scaleId, KVDPosition from, KVDPosition to,
                     ChannelYDataRange* range) const override;
    HRESULT ReleaseEnums(unsigned int flags) override;
    HRESULT Clone(OrrelDrawerFlags flags, IOrrelRecordDrawer** out) const override;

    bool HasStream() const { return mStream != nullptr; }
    int64_t GetLastPosition() const { return mLastPosition; }

private:
    EventDrawer(const EventDrawer& other);
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    // The tick index range [first, limit) of the drawn record that the columns cover; false
    // when the columns hold none of it.
    bool FindIndexRange(long long start, long long end, const TPixPosition& pix, int32_t& first, double& limit);
    bool CreateStream(int32_t record);
    void FollowDrawClass();
    void PositionStream(int32_t first, double limit);
    void DrawMarker(TDC& dc, int xi, const KVDEventBase& event, const TPen& dotted, const TPen& solid);

    double mLastEventX = -1.0;
    int64_t mLastPosition = -1;
    KVD::COMPtr<IKVDScopeDataPixMap> mScopePixMap;
    KVD::COMPtr<IEnumEventEx> mStream;
    std::unique_ptr<EventIterator> mEvents;  // over mStream
    int32_t mRangeStart = 0;
    int32_t mRangeEnd = 0x7FFFFFFF;
    KVD::COMPtr<IPODEventDrawClass> mDrawClass;
    TCAFId mDrawClassId = 0;
};

}  // namespace OrrelDraw
