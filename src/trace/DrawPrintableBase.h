// Holds the reference drawing context while a data pane prints.
#pragma once

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/draw/TDC.h"

namespace OrrelDraw {

class DrawPrintableBase {
public:
    virtual ~DrawPrintableBase() = default;

    HRESULT SetReferenceDC(TDC& dc);
    HRESULT ClearReferenceDC();
    // All-ones with 0 when a context is set; KVD_S_FALSE when not.
    HRESULT HasReferenceDC(AutoBool* has) const;
    TDC* ReferenceDC() const { return mReferenceDC; }

private:
    TDC* mReferenceDC = nullptr;  // not owned
};

}  // namespace OrrelDraw
