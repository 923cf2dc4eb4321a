// The spirometry report: one HTML page filled from six templates of the bundle with the
// analysis settings, the analysed selection, a row per breath (normal, forced or single
// expiration) and a summary. It is rendered again whenever the host document's selection or
// data change or the spirometry settings change, and it copies (PDF and HTML text) and prints
// (the whole window's page).
#pragma once

#include <cstdint>
#include <memory>

#include <boost/format.hpp>

#include "IOrrelDocument.h"
#include "WindowTypes.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "framework/ResponseTable.h"
#include "framework/WebViewBase.h"
#include "spirometry/BreathFigures.h"

namespace Spirometry {

class SpiroDocument;
class SpiroMachine;
struct Breath;

// The smallest size of the report's window.
extern tagSIZE kMinViewSize;

class ReportView : public KVD::WebViewBase {
    CAF_DECLARE_RESPONSE_TABLE();

public:
    ReportView(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, NSBundle* bundle);
    ~ReportView() override;

    static const KVD::String& GetStaticViewName();

    // Detects the breaths afresh, reads the templates and shows the first page.
    void SetupWindow() override;
    KVD::String Edit_CopyToClipboardMenuText() const override;
    KVD::String File_PrintMenuText() const override;
    bool CanPrint() const override { return true; }
    bool CanCopyToClipboard() override { return true; }
    bool CanPrintPreview() const override { return false; }

    std::shared_ptr<SPIRO_KVDHTMLWindow> CreateWindowController() override;
    KVD::String GetViewName() const override { return GetStaticViewName(); }
    void OnLoad() override {}
    // The visible page as PDF with the page's HTML text beside it.
    void copyToPasteboard() override;
    // The whole window's page, through the print operation.
    void printToPDF();

    bool HmViewCopy();
    bool HmViewPrint();
    bool HmViewPrintPreview() { return true; }
    void OnSelectionChanged();
    void OnSizing(unsigned int edge, const tagRECT* rect, tagSIZE* size);

    // The page of the main template: the reason text when the selection cannot be reported,
    // the unfilled template when it does not format (too many arguments are let pass).
    void SubstituteHTML(const KVD::String& main, KVD::String& out) const;
    void SetHTML(const KVD::String& html);
    bool LoadHTML(int resourceId, const wchar_t* name, KVD::String& out) const;

    const KVD::String& Page() const { return mPage; }
    SpiroDocument* GetSpiroDocument() const { return mSpiroDocument; }

private:
    typedef boost::basic_format<wchar_t> Format;

    void SubstituteSettings(Format& format, const SpiroMachine& machine) const;
    void SubstituteSelection(Format& format, const SpiroMachine& machine) const;
    void SubstituteBreaths(Format& format, const SpiroMachine& machine) const;
    void SubstituteSummary(Format& format, const SpiroMachine& machine) const;
    void SubstituteBreathCommon(Format& format, long index, const Breath& breath) const;
    void SubstituteForcedCommon(Format& format, const Breath& breath) const;
    KVD::String SubstituteNormalBreath(long index, const Breath& breath) const;
    KVD::String SubstituteForcedBreath(long index, const Breath& breath) const;
    KVD::String SubstituteSingleBreath(long index, const Breath& breath) const;

    // A format of the template in the classic locale that lets surplus arguments pass.
    static Format MakeFormat(const KVD::String& text);
    KVD::String PositionText(KVDPosition position, uint32_t style, int32_t mode) const;
    // The breath's figures, computed as the CSV report computes them.
    BreathFigures Figures(const Breath& breath) const;
    double Scale() const;
    std::wstring PrefixLetter() const;
    void ObserveDocuments(IDocument* document);

    KVD::COMPtr<IAutoOrrelDoc, KVD::COMWeak> mAutoDocument;
    SpiroDocument* mSpiroDocument = nullptr;  // not owned
    IRecordData* mRecordData = nullptr;       // not owned
    KVD::String mReport;
    KVD::String mReportSummary;
    KVD::String mReportSummaryNormal;
    KVD::String mReportBreathNormal;
    KVD::String mReportBreathForced;
    KVD::String mReportBreathSingle;
    KVD::String mPage;
    // The figures as the CSV report sums them, so that both give the same digits.
    mutable int64_t mOtherCount = 0;
    mutable NonForcedSums mNormal;
    mutable float mOtherDuration = 0.0f;
};

}  // namespace Spirometry
