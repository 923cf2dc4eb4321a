// Settings of the host's arithmetic calculation for a formula, made as the host's channel
// settings make them: the channel tests put formula channels on their recordings with them.
#pragma once

#include <gtest/gtest.h>

#include "IPersistObject.h"
#include "ISetCalcFromString.h"
#include "foundation/COMPtr.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"

namespace TestSupport {

inline KVD::COMPtr<IPersistObject> FormulaSettings(const wchar_t* formula)
{
    KVD::COMPtr<IPersistObject> settings;
    ObjectFactoryAccessor::Get()->CreateObject(TypeIdClass<&GUID_ArithCalcId, 1>::GetId(), nullptr,
                                               IID_IPersistObject, settings.Set());
    KVD::COMPtr<ISetCalcFromString> setter(KVD::com_cast(settings.get()));
    EXPECT_EQ(setter->SetFromString(KVD::String(formula).AsIAutoKVDString(), KVD::String(L"L").AsIAutoKVDString()),
              KVD_S_OK);
    return settings;
}

}  // namespace TestSupport
