// A position in one element's byte stream with the stream operations on it: what a stream
// object and a storage's directory share. The caller holds the file's mutex.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/storage/Element.h"

namespace KVDStg {

class StorageAllocator;

class StreamCursor {
public:
    StreamCursor(StorageAllocator& allocator, std::shared_ptr<Element> element);

    // Reads up to count bytes; fewer at the end of the stream is success.
    HRESULT Read(uint8_t* buffer, size_t count, size_t& done);
    HRESULT Write(const uint8_t* buffer, size_t count, size_t& done);
    // Moves to offset; beyond the end the stream is lengthened to it.
    HRESULT SeekTo(int64_t offset);
    // Lengthens or shortens the stream; a position beyond the new end moves to it.
    HRESULT SetSize(int64_t size);

    int64_t Offset()
    {
        Refresh();
        return mPos.offset;
    }
    const std::shared_ptr<Element>& GetElement() const { return mElement; }

private:
    // Finds the position again when another cursor changed the chain under it.
    void Refresh();
    HRESULT AllocHead();
    void Follow() { mGeneration = mElement->chainGeneration; }

    StorageAllocator& mAllocator;
    std::shared_ptr<Element> mElement;
    KVDStreamPos mPos;
    uint32_t mGeneration;
};

}  // namespace KVDStg
