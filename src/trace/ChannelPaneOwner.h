// What a channel pane needs of its data pane beyond a child pane's needs: the shared lock, the
// visible region, the misc flags, and the relays of drags, auto-scale commands, scaling changes
// and units found to the data pane's owner. Channel panes know the data pane only through this.
#pragma once

#include <mutex>

#include "IScale.h"
#include "foundation/KVDString.h"
#include "trace/ChildPaneOwner.h"

namespace OrrelDraw {

// Misc flags of a data pane that channel panes read.
namespace MiscFlag {
constexpr uint32_t kShortUnitsQuery = 0x80000000u;
constexpr uint32_t kUnitsOnlyWhenNotSampling = 0x40000000u;
constexpr uint32_t kNoPeriodicNotice = 0x20000000u;
constexpr uint32_t kUnitsNeedBlock = 0x08000000u;
constexpr uint32_t kNonInteractive = 0x00800000u;
constexpr uint32_t kNoControls = 0x00080000u;
constexpr uint32_t kNoOnlineDrawing = 0x00040000u;
}  // namespace MiscFlag

class ChannelPaneOwner : public ChildPaneOwner {
public:
    virtual std::recursive_mutex& Mutex() = 0;
    virtual uint32_t GetMiscFlags() const = 0;
    virtual bool IsSampling() const = 0;
    virtual HRESULT GetVisibleRegion(int record, KVDPosition* first, KVDPosition* last) = 0;
    virtual void OnEnterExitSizeMove(bool enter) = 0;
    virtual void OnEndDrag(int pane, long side, DragScaleDragType type, IDragScale* scale) = 0;
    virtual void OnAutoScaleCommand(TChannelId channel, long id) = 0;
    // The interactive objects' scaling call.
    virtual void OnPaneScalingChanged() = 0;
    virtual void OnUnitsFound(bool left, bool right, const KVD::String& leftUnits,
                              const KVD::String& rightUnits) = 0;
    // Asks the view to open the guideline dialog of the channel; KVD_E_BADSTATE without one.
    virtual HRESULT SendGuidelineMessage(TChannelId channel, KVDPosition position) = 0;

protected:
    ~ChannelPaneOwner() = default;
};

}  // namespace OrrelDraw
