// The host's own data view of a data document, as far as the plug-in asks it: the range it
// shows and its zoom.
#pragma once

#include "IOrrelDocument.h"
#include "foundation/UnknownImp.h"

namespace Host {

class DataView final : public SimpleUnknownImp1<IOrrelView, 0> {
public:
    // A new view showing left..right at the zoom, with one reference.
    static DataView* Create(KVDPosition left, KVDPosition right, double ticksPerPixel);

    HRESULT SetDisplayedRange(KVDPosition left, KVDPosition right) override;
    HRESULT SetZoom(double ticksPerPixel) override;
    HRESULT GetZoom(double* ticksPerPixel) const override;
    KVD_RESERVED_SLOTS_NOTIMPL(6, 7)
    HRESULT GetDisplayedRange(KVDPosition* left, KVDPosition* right) const override;

private:
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    DataView(KVDPosition left, KVDPosition right, double ticksPerPixel)
        : mLeft(left), mRight(right), mZoom(ticksPerPixel) {}

    KVDPosition mLeft;
    KVDPosition mRight;
    double mZoom;
};

}  // namespace Host
