// Fills the numbered placeholders "%1" ... "%20" of a message text with the values inserted
// into the stream, in insertion order; "%%" gives a percent sign. The filled text is written
// to the output once every parameter up to the highest placeholder number has arrived.
#pragma once

#include <ostream>

#include "foundation/AsciiEncoding.h"
#include "foundation/KVDString.h"
#include "foundation/OStringStream.h"

namespace KVD {

class OFormatStream : public std::wostream {
public:
    static constexpr int kMaxPlaceholders = 20;

    // Writes to out (when given; else a subclass calls DoInit with its own output).
    OFormatStream(std::wstreambuf* out, const String& format);
    OFormatStream(const OFormatStream&) = delete;
    OFormatStream& operator=(const OFormatStream&) = delete;

    // Where each parameter's text is collected.
    std::wostream& ParamStream() { return mParams; }
    // Closes the parameter just written to ParamStream; after the last one the text is written.
    void DoneParam();

protected:
    // Reads the placeholders of the format and binds the output; a format without any is
    // written at once, exactly as given.
    void DoInit(std::wstreambuf* out);

private:
    struct Placeholder {
        std::size_t begin;       // the '%'
        std::size_t end;         // after the digits (and one backslash that follows them)
        std::streamoff start;    // the parameter's text in mParams
        std::streamoff length;
        bool escapeBefore;       // "%%" in the literal text before it
    };

    void Emit();
    void WriteLiteral(std::size_t from, std::size_t to, bool escaped);
    Placeholder* RecordOf(int parameter);

    String mFormat;
    std::size_t mScan = 0;
    std::size_t mEnd = 0;
    OStringStream mParams;
    std::streamoff mLastPosition = 0;
    int mDone = 0;
    long mHighest = 0;
    int mCount = 0;
    Placeholder mRecords[kMaxPlaceholders] = {};
    int mRecordOf[kMaxPlaceholders + 1];  // parameter number -> record index, -1 = none
    bool mTailEscape = false;
};

// A format stream whose output is a string of its own.
class OFormatStringStream : public OFormatStream {
public:
    explicit OFormatStringStream(const String& format);

    // The filled text (empty until every parameter has arrived).
    String str();

private:
    StringStreamBuf mOut;
};

// Each inserted value is one parameter, written with the standard inserter.
template <class T>
OFormatStream& operator<<(OFormatStream& stream, const T& value)
{
    stream.ParamStream() << value;
    stream.DoneParam();
    return stream;
}

}  // namespace KVD
