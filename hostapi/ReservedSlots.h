// Slots of host interfaces whose operation is not known to this side. The slot numbers of the
// operations that are known are fixed, so the unknown ones in between must still occupy their
// places; an operation that becomes known later takes the place of its reserved slot.
#pragma once

#include <boost/preprocessor/arithmetic/inc.hpp>
#include <boost/preprocessor/repetition/repeat_from_to.hpp>

#include "ResultCodes.h"

#define KVD_DETAIL_RESERVED_SLOT(z, n, unused) virtual HRESULT ReservedSlot##n() = 0;
#define KVD_DETAIL_RESERVED_SLOT_NOTIMPL(z, n, unused) \
    HRESULT ReservedSlot##n() override { return KVD_E_NOTIMPL; }

// Declares the slots first..last (inclusive) of an interface.
#define KVD_RESERVED_SLOTS(first, last) BOOST_PP_REPEAT_FROM_TO(first, BOOST_PP_INC(last), KVD_DETAIL_RESERVED_SLOT, ~)
// Implements them, answering KVD_E_NOTIMPL.
#define KVD_RESERVED_SLOTS_NOTIMPL(first, last) \
    BOOST_PP_REPEAT_FROM_TO(first, BOOST_PP_INC(last), KVD_DETAIL_RESERVED_SLOT_NOTIMPL, ~)
