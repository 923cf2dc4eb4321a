#include "foundation/StringStreamBuf.h"

#include <algorithm>
#include <cwchar>

namespace KVD {

StringStreamBuf::StringStreamBuf(const String& text, std::ios_base::openmode mode) : MemStreamBufBase(mode), mText(text)
{
}

wchar_t* StringStreamBuf::MemStart(unsigned long* capacity, unsigned long* count)
{
    mText.Resize(mText.GetCapacity());  // exclusive, text kept
    *capacity = mText.GetCapacity();
    *count = mText.length();
    return mText.Data();
}

wchar_t* StringStreamBuf::MemResize(unsigned long newCapacity, unsigned long* capacity)
{
    // The characters written have no count yet: move them by hand into the larger string.
    const std::size_t written = pptr() - pbase();
    {
        String grown;
        std::wmemcpy(grown.Set(static_cast<unsigned>(newCapacity - 1)), pbase(), written);
        mText = grown;
    }  // mText holds the only reference again, so Data() hands out the same block
    *capacity = mText.GetCapacity();
    return mText.Data();
}

void StringStreamBuf::DoSetStringCount()
{
    if (pbase() == nullptr)
        return;
    if (pptr() > pbase() && pptr()[-1] != L'\0')
        sputc(L'\0');
    mText.SetCount(static_cast<unsigned>(std::max<std::ptrdiff_t>(pptr() - pbase(), 1)));
    setp(nullptr, nullptr);
    setg(nullptr, nullptr, nullptr);
    mCountPublished = true;
}

void StringStreamBuf::ReopenIfPublished()
{
    if (!mCountPublished)
        return;
    // The text may be shared now that it was taken: writing resumes in a copy of it, with room
    // to spare.
    const unsigned capacity = mText.GetCapacity();
    mText.Resize(capacity - mText.GetCount() < 8 ? capacity * 2 : capacity);
    mCountPublished = false;
}

void StringStreamBuf::clear()
{
    mText.Set(0);
    mCountPublished = false;
    setp(nullptr, nullptr);
    setg(nullptr, nullptr, nullptr);
    EnsurePutArea();  // the whole capacity, from the first character
}

StringStreamBuf::int_type StringStreamBuf::overflow(int_type c)
{
    ReopenIfPublished();
    return MemStreamBufBase::overflow(c);
}

StringStreamBuf::int_type StringStreamBuf::underflow()
{
    if (gptr() != nullptr && pptr() > egptr())
        setg(eback(), gptr(), pptr());  // what was written since is readable
    return gptr() != nullptr && gptr() < egptr() ? traits_type::to_int_type(*gptr()) : traits_type::eof();
}

StringStreamBuf::int_type StringStreamBuf::pbackfail(int_type c)
{
    if (gptr() == nullptr || gptr() == eback())
        return traits_type::eof();
    const bool anyCharacter = traits_type::eq_int_type(c, traits_type::eof());
    if (!anyCharacter && !traits_type::eq(traits_type::to_char_type(c), gptr()[-1]))
        return traits_type::eof();
    gbump(-1);
    return traits_type::not_eof(c);
}

StringStreamBuf::pos_type StringStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which)
{
    ReopenIfPublished();
    return MemStreamBufBase::seekoff(off, dir, which);
}

StringStreamBuf::pos_type StringStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which)
{
    ReopenIfPublished();
    return MemStreamBufBase::seekpos(pos, which);
}

}  // namespace KVD
