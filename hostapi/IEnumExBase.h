// Base of every sample stream: positions are 32-bit sample indices naming the next sample.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

// 385D0F86-982B-4B3F-A849-16CB77FB600A
inline constexpr _IID IID_IEnumExBase = {0x385D0F86, 0x982B, 0x4B3F, {0xA8, 0x49, 0x16, 0xCB, 0x77, 0xFB, 0x60, 0x0A}};

struct IEnumExBase : IUnknown {
    // A new, independent stream over the same data, normally at the same position.
    virtual HRESULT Clone(IEnumExBase** out) = 0;                       // slot 3
    // Moves by count (negative moves back); skipped receives the distance moved; 0 when the
    // whole distance was moved, else the code of the source that stopped it.
    virtual HRESULT SkipEx(int32_t count, int32_t* skipped) = 0;        // slot 4
    virtual HRESULT GetPosition(int32_t* position) = 0;                 // slot 5
    virtual HRESULT IsFilling(AutoBool* filling) = 0;                   // slot 6
    virtual HRESULT GetTickToSample(TTickToSample* map) = 0;            // slot 7
};
KVD_INTERFACE_ID(IEnumExBase, IID_IEnumExBase);
