// The sender mark of a host message: a sender that also receives what it sends marks the
// message, so that the message can pass it by. Base implements IMessage and the rest.
#pragma once

#include "IMessage.h"
#include "ResultCodes.h"

namespace Host {

template <class Base>
class SenderMarked : public Base {
public:
    HRESULT IsSender(const void* sender, AutoBool* isSender) const override
    {
        if (isSender == nullptr)
            return KVD_E_POINTER;
        *isSender = sender != nullptr && sender == mSender ? kAutoTrue : kAutoFalse;
        return KVD_S_OK;
    }
    HRESULT GetSender(const void** sender) const override
    {
        if (sender == nullptr)
            return KVD_E_POINTER;
        *sender = mSender;
        return KVD_S_OK;
    }
    HRESULT SetSender(const void* sender) const override
    {
        mSender = sender;
        return KVD_S_OK;
    }

private:
    mutable const void* mSender = nullptr;
};

}  // namespace Host
