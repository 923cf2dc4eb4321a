// What a data document answers about recording: the one simulated device it samples with.
#pragma once

#include "IKVDDeviceManager.h"
#include "IOrrelRecording.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class DocumentRecording final : public KVD::CountedUnknown<IOrrelRecording> {
public:
    // Never read-only: the document has its device.
    HRESULT IsReadOnly(uint32_t reserved, AutoBool* readOnly) override;
    HRESULT GetDeviceCount(uint32_t reserved, int32_t* count) override;
    HRESULT GetDeviceManager(IKVDDeviceManager** manager) override;

private:
    explicit DocumentRecording(IKVDDeviceManager* manager) : mManager(manager) {}
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    KVD::COMPtr<IKVDDeviceManager> mManager;
};

}  // namespace Host
