// A float stream whose samples lie in memory it keeps: a reader may see them in place rather
// than have them copied. Streams need not answer it; a reader that gets no answer, or a
// KVD_E_NOTIMPL, reads through IEnumFloatEx::Next.
#pragma once

#include "IUnknown.h"
#include "ResultCodes.h"

// B6916841-A55C-4703-80FD-50B8CCB9EF3A
inline constexpr _IID IID_IEnumFloatSpan = {0xB6916841, 0xA55C, 0x4703, {0x80, 0xFD, 0x50, 0xB8, 0xCC, 0xB9, 0xEF, 0x3A}};

struct IEnumFloatSpan : IUnknown {
    // Points samples at up to count samples from the stream's position, sets delivered and
    // advances by it, as Next would have copied them; they stay valid and unchanged while the
    // stream is held. 0 when all count came, else KVD_S_FALSE; KVD_E_NOTIMPL (nothing moved)
    // when the stream's samples are not kept as floats.
    virtual HRESULT NextInPlace(uint32_t count, const float** samples, uint32_t* delivered) = 0;  // slot 3
};
KVD_INTERFACE_ID(IEnumFloatSpan, IID_IEnumFloatSpan);
