#include "views/SpiroDataPrintJob.h"

#include <algorithm>
#include <exception>
#include <string>

#include "ResultCodes.h"
#include "appkit/Pasteboard.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "foundation/StringKeys.h"
#include "foundation/XKVD.h"
#include "graphics/RecordingContext.h"
#include "plot/LumoHtml.h"
#include "plot/LumoIds.h"
#include "plot/LumoText.h"
#include "plot/PrintCanvasFromSVG.h"
#include "plot/ScriptCalls.h"
#include "views/AnnotationView.h"
#include "views/SpiroDataView.h"
#include "views/SpiroDataWindow.h"
#include "web/WebView.h"

namespace Spirometry {

namespace {

typedef KVD::LumoEventId<KVD::kLumoSetSVG> SvgChangedEvent;

AppKit::Rect BoundsOf(const KVD::LumoPlotMac& plot)
{
    const Web::WebView* web = plot.GetWebView();
    return web != nullptr ? web->Bounds() : AppKit::Rect{};
}

}  // namespace

CAF_DEFINE_RESPONSE_TABLE(SpiroDataViewPrintJob, CAFEventHandlerBase) = {
    TableHeader(),
    ResponseTable::Event<SpiroDataViewPrintJob>(&SvgChangedEvent::GetId, &SpiroDataViewPrintJob::EvSvgChanged),
    TableEnd(),
};

SpiroDataViewPrintJob::SpiroDataViewPrintJob(SpiroDataView* view, const KVD::String& plotId1,
                                             const KVD::String& plotId2, const KVD::String& title, bool copy)
    : mPlotId1(plotId1), mPlotId2(plotId2), mTitle(title), mCopy(copy), mView(view)
{
}

SpiroDataViewPrintJob::~SpiroDataViewPrintJob() { Detach(); }

void SpiroDataViewPrintJob::Init()
{
    mSubject1 = mView->GetPlot1().GetSubject();
    mSubject2 = mView->GetPlot2().GetSubject();
    for (ISubject* subject : {mSubject1.get(), mSubject2.get()})
        if (subject != nullptr)
            subject->AttachObserver(this);
    // Observing, the job holds itself until it leaves the subjects; the subjects do not count.
    if (mSubject1 != nullptr || mSubject2 != nullptr) {
        AddRef();
        mHeld = true;
        mTimer = AppKit::RunLoop::Main().AddTimer(kAnswerSeconds, false, [this] { GiveUp(); },
                                                  AppKit::RunLoop::kCommonModes);
    }
    // A page may answer at once, before this returns.
    std::string script;
    Lumo::GetSVGJS(KVD::LumoHtml::GetDivId(), "print", script);
    mView->GetPlot1().ExecuteJavaScript(KVD::ToKVDString(script));
    mView->GetPlot2().ExecuteJavaScript(KVD::ToKVDString(script));
}

void SpiroDataViewPrintJob::GiveUp()
{
    mTimer = 0;
    if (mDone)
        return;
    mFailed = true;
    XKVD(KVD::ToKVDString(Lumo::Fill(Lumo::Text(LumoStr::IDS_LUMO_PAGES_SILENT), {std::to_string(int(kAnswerSeconds))})),
         KVD_E_BADSTATE);  // made to be logged
    Detach();
}

void SpiroDataViewPrintJob::Abandon()
{
    mDone = true;
    Detach();
}

void SpiroDataViewPrintJob::Detach()
{
    if (mTimer != 0)
        AppKit::RunLoop::Main().RemoveTimer(mTimer);
    mTimer = 0;
    KVD::COMPtr<ISubject> first = std::move(mSubject1), second = std::move(mSubject2);
    if (first != nullptr)
        first->DetachObserver(this);
    if (second != nullptr)
        second->DetachObserver(this);
    if (mHeld) {
        mHeld = false;
        Release();  // may end the job: nothing of it is touched after
    }
}

void SpiroDataViewPrintJob::EvSvgChanged(const wchar_t*, const wchar_t* kind, const wchar_t* svg)
{
    if (mDone || kind == nullptr || std::wstring(kind) != kPrintKind)
        return;
    KVD::String& slot = mFlowSvg.empty() ? mFlowSvg : mVolumeSvg;
    if (!slot.empty())
        return;
    slot = KVD::String(svg != nullptr ? svg : L"");
    if (mFlowSvg.empty() || mVolumeSvg.empty())
        return;
    // Held, so that leaving the subjects cannot end the job while it prints.
    const KVD::COMPtr<IObserver> alive(static_cast<IObserver*>(this));
    PrintSvg();
    mDone = true;
    Detach();
}

void SpiroDataViewPrintJob::PrintSvg()
{
    SpiroDataPrintView page(mView, mFlowSvg, mVolumeSvg, BoundsOf(mView->GetPlot1()), BoundsOf(mView->GetPlot2()));
    page.SetIsCopying(mCopy);
    page.SetJobTitle(KVD::ToU8String(mTitle));
    SpiroDataWindow* window = mView->GetDataWindow();
    if (mCopy) {
        const AppKit::Rect frame =
            window != nullptr && window->IsWindowLoaded() ? window->GetWindow().ContentView().Bounds() : AppKit::Rect{};
        AppKit::Pasteboard& pasteboard = AppKit::Pasteboard::General();
        pasteboard.Clear();
        page.SetFrame(frame);
        pasteboard.WriteObjects(AppKit::PasteboardPDFWriter(page.DataWithPDFInsideRect(frame)), nullptr);
        return;
    }
    AppKit::PrintInfo info = AppKit::PrintInfo::Shared();
    info.marginTop = kMarginTop;
    info.marginBottom = kMarginBottom;
    info.marginLeft = info.marginRight = kMarginSides;
    mPrinted = AppKit::PrintOperation(info).Run(page);
}

}  // namespace Spirometry

SpiroDataPrintView::SpiroDataPrintView(Spirometry::SpiroDataView* view, const KVD::String& flowSvg,
                                       const KVD::String& volumeSvg, const AppKit::Rect& flowRect,
                                       const AppKit::Rect& volumeRect)
    : mDocView(view), mFlowSvg(KVD::ToU8String(flowSvg)), mVolumeSvg(KVD::ToU8String(volumeSvg)),
      mFlowRect(flowRect), mVolumeRect(volumeRect)
{
    SetWindowController(view != nullptr ? view->GetDataWindow() : nullptr);
}

bool SpiroDataPrintView::LayOut(const Gfx::Size& page, const AppKit::Rect& flowRect, const AppKit::Rect& volumeRect,
                                Layout& layout)
{
    const float fw = float(flowRect.width), fh = float(flowRect.height);
    const float vw = float(volumeRect.width), vh = float(volumeRect.height);
    const float widest = std::max(fw, vw), tallest = fh + vh;
    if (!(widest > 0.0f) || !(tallest > 0.0f))
        return false;
    const float s = std::min(float(page.width) / widest, float(page.height) / tallest);
    layout.scale = s;
    layout.flow = {std::max(0.0f, (float(page.width) - fw * s) / 2), std::max(0.0f, (float(page.height) - tallest * s) / 2)};
    layout.volume = {std::max(0.0f, (float(page.width) - vw * s) / 2), layout.flow.y + fh * s};
    return true;
}

void SpiroDataPrintView::DrawSelf(Gfx::Context& context)
{
    if (mFlowSvg.empty() || mVolumeSvg.empty())
        return;
    const Gfx::Size page = mIsCopying ? Gfx::Size{Bounds().width, Bounds().height} : AvailablePageSizeMinusHeaderAndFooter();
    Layout layout;
    if (!LayOut(page, mFlowRect, mVolumeRect, layout))
        return;
    DrawPlot(context, mFlowSvg, true, mFlowRect, layout.flow, layout.scale);
    DrawPlot(context, mVolumeSvg, false, mVolumeRect, layout.volume, layout.scale);
}

void SpiroDataPrintView::DrawPlot(Gfx::Context& context, const std::string& svg, bool flow, const AppKit::Rect& rect,
                                  const Gfx::Point& at, float scale)
{
    // The reader draws as it reads: a trial run keeps a refused SVG off the page entirely.
    try {
        Gfx::RecordingContext trial(Gfx::Size{rect.width * scale, rect.height * scale});
        KVD::PrintCanvasFromSVG(trial, svg, scale, scale, float(at.x), float(at.y));
    } catch (const std::exception&) {
        return;
    }
    KVD::PrintCanvasFromSVG(context, svg, scale, scale, float(at.x), float(at.y));
    SpiroDataWindow* window = mDocView != nullptr ? mDocView->GetDataWindow() : nullptr;
    AnnotationViewBase* overlay =
        window == nullptr ? nullptr : flow ? window->FlowAnnotation() : window->VolumeAnnotation();
    if (overlay == nullptr)
        return;
    const AppKit::Rect data = SpiroDataWindow::AdjustDataFrame(rect, IsFlipped());
    const double left = data.x * scale + at.x, top = data.y * scale + at.y;
    overlay->PrintRect(context,
                       TRect(int(left), int(top), int(left + data.width * scale), int(top + data.height * scale)),
                       scale);
}
