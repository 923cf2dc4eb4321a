// A data document as the host saves it: the path of its recording, the channels added to it,
// the calculations on its channels with their settings, its selection, its child documents
// with their persisted parts, and the messages its settings registrar stores, in one compound
// file of our storage, with the checksums of its streams. Reopening reads the recording again and puts everything back as it was, the child
// documents last, so that when they hear that they are complete they find their calculations,
// stored messages and parts in place.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "foundation/BinIStream.h"
#include "host/document/DataDocument.h"

namespace Host {

// What went wrong with a document file; the message names the file.
class DocumentFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class DocumentFile {
public:
    // Writes the document to path through a SafeFile, so that a failed save leaves whatever
    // file was there and saves at once never mix. The children hear PreSave before and PostSave and
    // PostPostSave, with the result, after. Throws DocumentFileError (naming the recording when
    // its full path cannot be had, before anything is written).
    static void Save(DataDocument& document, const std::string& path);
    // Throws DocumentFileError for a file that is not a document file, is damaged, or names a
    // recording or classes that cannot be had.
    static std::unique_ptr<DataDocument> Open(const std::string& path);
    // Has read take the persisted part that a child document of the class of that name stored
    // in the file, as a record stream; false, without calling it, when the file holds none.
    // Throws DocumentFileError for a file that cannot be opened.
    static bool ReadStoredPart(const std::string& path, const std::string& className,
                               const std::function<void(KVD::BinIStream&)>& read);
};

}  // namespace Host
