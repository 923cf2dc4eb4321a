#include "foundation/OFormatStream.h"

#include <algorithm>
#include <cwchar>

namespace KVD {

OFormatStream::OFormatStream(std::wstreambuf* out, const String& format) : std::wostream(out), mFormat(format)
{
    std::fill(std::begin(mRecordOf), std::end(mRecordOf), -1);
    if (out != nullptr)
        DoInit(out);
}

void OFormatStream::DoInit(std::wstreambuf* out)
{
    rdbuf(out);
    const wchar_t* text = mFormat.c_str();
    mEnd = mFormat.length();
    bool escapeSeen = false;
    for (mScan = 0; mScan < mEnd;) {
        const wchar_t* percent = std::wcschr(text + mScan, L'%');
        if (percent == nullptr)
            break;
        const std::size_t at = percent - text;
        if (percent[1] == L'%') {
            escapeSeen = true;
            mScan = at + 2;
            continue;
        }
        wchar_t* digitsEnd = nullptr;
        const long n = std::wcstol(percent + 1, &digitsEnd, 10);
        if (n <= 0) {
            mScan = at + 1;  // the '%' stays as text
            continue;
        }
        mHighest = std::max(mHighest, n);
        std::size_t end = digitsEnd - text;
        if (text[end] == L'\\')
            ++end;
        // A number above 20, or a placeholder beyond the 20th, stays as text.
        if (n <= kMaxPlaceholders && mCount < kMaxPlaceholders) {
            mRecordOf[n] = mCount;
            mRecords[mCount++] = {at, end, 0, 0, escapeSeen};
            escapeSeen = false;
        }
        mScan = end;
    }
    mTailEscape = escapeSeen;
    if (mCount == 0) {
        write(text, static_cast<std::streamsize>(mEnd));
        mHighest = 0;  // nothing is left to fill
    }
}

OFormatStream::Placeholder* OFormatStream::RecordOf(int parameter)
{
    if (parameter < 1 || parameter > kMaxPlaceholders || mRecordOf[parameter] < 0)
        return nullptr;
    return &mRecords[mRecordOf[parameter]];
}

void OFormatStream::DoneParam()
{
    if (mDone >= mHighest)
        return;
    const std::streamoff position = mParams.fail() ? -1 : std::streamoff(mParams.tellp());
    if (Placeholder* record = RecordOf(mDone + 1))
        record->length = position - mLastPosition;
    ++mDone;
    if (mDone < mHighest) {
        if (Placeholder* next = RecordOf(mDone + 1))
            next->start = position;
        mLastPosition = position;
    } else {
        Emit();
    }
}

void OFormatStream::WriteLiteral(std::size_t from, std::size_t to, bool escaped)
{
    const wchar_t* text = mFormat.c_str();
    if (!escaped) {
        write(text + from, static_cast<std::streamsize>(to - from));
        return;
    }
    for (std::size_t i = from; i < to; ++i) {
        if (text[i] == L'%' && i + 1 < to)
            ++i;  // the '%' goes, the character after it is plain text
        put(text[i]);
    }
}

void OFormatStream::Emit()
{
    const String params = mParams.str();
    const std::streamoff available = params.length();
    std::size_t literalStart = 0;
    for (int i = 0; i < mCount; ++i) {
        const Placeholder& record = mRecords[i];
        WriteLiteral(literalStart, record.begin, record.escapeBefore);
        // Extents of a failed parameter stream are meaningless: they are never followed.
        if (record.length > 0 && record.start >= 0 && record.start + record.length <= available)
            write(params.c_str() + record.start, static_cast<std::streamsize>(record.length));
        literalStart = record.end;
    }
    WriteLiteral(literalStart, mEnd, mTailEscape);
}

OFormatStringStream::OFormatStringStream(const String& format) : OFormatStream(nullptr, format)
{
    DoInit(&mOut);
}

String OFormatStringStream::str()
{
    mOut.DoSetStringCount();
    return mOut.GetString();
}

}  // namespace KVD
