// A wide stream buffer that writes straight into a KVD::String: the string's own characters
// are the block, so taking the text costs no copy.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/MemStreamBufBase.h"

namespace KVD {

class StringStreamBuf : public MemStreamBufBase {
public:
    // Writing continues after the text the string already holds.
    explicit StringStreamBuf(const String& text = String(),
                             std::ios_base::openmode mode = std::ios_base::in | std::ios_base::out);

    // Ends the text written so far with a NUL and publishes its count, then closes the put
    // area; the next output reopens it after the text.
    void DoSetStringCount();
    // The target string, shared; its count is that of the last DoSetStringCount.
    const String& GetString() const { return mText; }
    // Empties the string and starts writing at its first character.
    void clear();

protected:
    wchar_t* MemStart(unsigned long* capacity, unsigned long* count) override;
    wchar_t* MemResize(unsigned long newCapacity, unsigned long* capacity) override;

    int_type overflow(int_type c) override;
    int_type underflow() override;
    int_type pbackfail(int_type c) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    void ReopenIfPublished();

    String mText;
    bool mCountPublished = false;
};

}  // namespace KVD
