// Printing and copying the data view: the job asks both plot pages for their print SVG, and
// with both in hand lays them on one page, flow above volume, with their overlays drawn on top
// by the same code as on screen; the page is printed or put on the pasteboard as PDF.
#pragma once

#include <string>

#include "appkit/KVDDocViewPrintBase.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFEventHandlerT.h"
#include "framework/ResponseTable.h"

namespace Spirometry {

class SpiroDataView;

class SpiroDataViewPrintJob : public KVD::CComObjectRoot, public CAFEventHandlerT<true> {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    static constexpr const wchar_t* kPrintKind = L"print";
    // Printed pages: the plots start below a wide top margin.
    static constexpr double kMarginTop = 200, kMarginBottom = 20, kMarginSides = 0;

    // The count starts at 0.
    SpiroDataViewPrintJob(SpiroDataView* view, const KVD::String& plotId1, const KVD::String& plotId2,
                          const KVD::String& title, bool copy);
    // Observes both plots and asks both pages for their SVG. The caller holds a reference
    // meanwhile: a page that answers at once ends the job's own hold inside. Pages that have
    // not both answered within kAnswerSeconds fail the job, which then leaves both subjects.
    void Init();
    static constexpr double kAnswerSeconds = 10;  // as long as the page layer waits for a script
    // Off both plots' subjects, if still on them.
    ~SpiroDataViewPrintJob() override;
    SpiroDataViewPrintJob(const SpiroDataViewPrintJob&) = delete;
    SpiroDataViewPrintJob& operator=(const SpiroDataViewPrintJob&) = delete;

    KVD_BEGIN_INTERFACE_MAP(SpiroDataViewPrintJob)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()

    // The first print SVG fills the flow slot, the second the volume slot (the requests went
    // out in that order); with both the page is printed or copied, and the job leaves both
    // subjects, which ends it.
    void EvSvgChanged(const wchar_t* plotId, const wchar_t* kind, const wchar_t* svg);
    void PrintSvg();

    bool Done() const { return mDone; }
    bool Printed() const { return mPrinted; }
    // The pages did not answer in time; nothing was printed or copied.
    bool Failed() const { return mFailed; }
    // The view goes: the job leaves both plots unfinished and never touches the view again.
    void Abandon();
    const KVD::String& FlowSvg() const { return mFlowSvg; }
    const KVD::String& VolumeSvg() const { return mVolumeSvg; }

private:
    void Detach();
    void GiveUp();

    KVD::String mPlotId1;
    KVD::String mPlotId2;
    KVD::String mTitle;
    KVD::String mFlowSvg;
    KVD::String mVolumeSvg;
    bool mDone = false;
    bool mCopy;
    bool mPrinted = false;  // the print operation wrote its file
    bool mFailed = false;
    bool mHeld = false;     // the job's reference on itself while it observes
    int mTimer = 0;         // the run loop's, while the job waits for the pages
    SpiroDataView* mView;   // not owned
    KVD::COMPtr<ISubject> mSubject1;
    KVD::COMPtr<ISubject> mSubject2;
};

}  // namespace Spirometry

// The page of both plots and their overlays.
class SpiroDataPrintView : public KVDDocViewPrintBase {
public:
    SpiroDataPrintView(Spirometry::SpiroDataView* view, const KVD::String& flowSvg, const KVD::String& volumeSvg,
                       const AppKit::Rect& flowRect, const AppKit::Rect& volumeRect);
    const char* ClassName() const override { return "SpiroDataPrintView"; }

    void SetIsCopying(bool copying) { mIsCopying = copying; }
    bool IsCopying() const { return mIsCopying; }
    int PageCount(const AppKit::PrintInfo&) override { return 1; }
    void DrawSelf(Gfx::Context& context) override;

    // Where each plot goes on a page of the size, and at what scale; false when there is no
    // plot to place (a missing web view has no size).
    struct Layout {
        float scale = 0;
        Gfx::Point flow, volume;
    };
    static bool LayOut(const Gfx::Size& page, const AppKit::Rect& flowRect, const AppKit::Rect& volumeRect,
                       Layout& layout);

private:
    // Draws the SVG and then its overlay, or neither when the reader refuses the SVG.
    void DrawPlot(Gfx::Context& context, const std::string& svg, bool flow, const AppKit::Rect& rect,
                  const Gfx::Point& at, float scale);

    bool mIsCopying = false;
    Spirometry::SpiroDataView* mDocView;  // not owned
    std::string mFlowSvg;
    std::string mVolumeSvg;
    AppKit::Rect mFlowRect;
    AppKit::Rect mVolumeRect;
};
