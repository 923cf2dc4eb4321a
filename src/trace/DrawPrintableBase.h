// Holds the reference drawing context while a data pane prints, and the font its printed
// labels take.
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
    const TFont& PrintFont() const { return mPrintFont; }
    void SetPrintFont(const TFont& font) { mPrintFont = font; }

    // Labels on paper are smaller than on the screen's standard 11 points.
    static constexpr double kDefaultPrintFontPoints = 8;

private:
    TDC* mReferenceDC = nullptr;  // not owned
    TFont mPrintFont{kDefaultPrintFontPoints};
};

}  // namespace OrrelDraw
