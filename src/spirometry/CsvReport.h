// The spirometry report as delimited text: the settings that produced it, the selected and
// analysed ranges, one row per listed breath with its timing, volume and flow figures, and
// summaries over all breaths and over the non-forced ones. Line ends and cells are exactly as
// the report's readers expect them; numbers are written in the classic locale, "%g"-style.
#pragma once

#include <string>

#include "KVDTypes.h"
#include "foundation/KVDString.h"
#include "spirometry/BreathFigures.h"

namespace Spirometry {

class SpiroDocument;
struct Breath;

class CsvReport {
public:
    // The report of the document's current breath list, its cells joined by separator.
    CsvReport(const SpiroDocument& document, const KVD::String& separator);

    KVD::String Text();

    // The text as the file holds it: one byte per character (ISO 8859-1; characters beyond it
    // become '?'). False, with errno's story untold, when the file cannot be written.
    static bool WriteLatin1(const KVD::String& path, const KVD::String& text);

private:
    // Seconds from the start of the position's record.
    double TimeInBlock(KVDPosition position) const;
    std::wstring Heading() const;
    void AppendRow(unsigned index, const Breath& breath);
    void AppendSummary();

    // Each cell after the first of a line starts with the separator.
    template <class T>
    std::wstring& Cell(std::wstring& line, const T& value);
    template <class T>
    std::wstring Text(const T& value) const;

    const SpiroDocument& mDocument;
    std::wstring mSeparator;
    std::wstring mPrefix;  // of the flow unit: "", "m" or the micro sign
    double mScale;         // litres to the prefixed unit
    std::wstring mText;
    bool mHeadingWritten = false;
    float mForcedDuration = 0.0f;
    NonForcedSums mNonForced;
};

}  // namespace Spirometry
