// The host's Save As: the file formats that registered classes of the save-as category offer,
// and saving a document through the class of the format chosen.
#pragma once

#include <string>
#include <vector>

#include "IDocument.h"
#include "IFileSaveAsClass.h"
#include "foundation/COMPtr.h"

namespace Host {

struct SaveAsFormat {
    KVD::COMPtr<ICAFClassObject> classObject;
    std::string extension;  // without the dot
    std::string description;
    TCAFId formatId = 0;
    DocFileFlags flags = 0;
    SaveAsAspect aspects = 0;  // those the class can save
};

// The classes of the save-as category in registration order, each as its IDocFileDescr
// describes it; a class that describes no format is left out.
std::vector<SaveAsFormat> RegisteredSaveAsFormats();

// The format of that extension (given with or without its dot, letters compared regardless of
// case); null when none.
const SaveAsFormat* FindSaveAsFormat(const std::vector<SaveAsFormat>& formats, std::string extension);

// Has the format's class write the document to path, through SaveAsEx with no options when
// the class offers it, else SaveAs, for the first aspect the format supports. The class writes
// a SafeFile's scratch file, put in place only when the class succeeds: a failure leaves the
// file that was there. The class tells the user of a failure itself; its result is returned
// (KVD_E_NOINTERFACE for a class that has no save operation), and why, when given, receives
// what to tell the user besides: for KVD_E_REPORTMESSAGE the text the class wrote in place of
// the file, for another failure the system's text of the error its writing left, if any.
// Throws FileWriteError when the target cannot be replaced or the file not put in place.
HRESULT SaveDocumentAs(const SaveAsFormat& format, IDocument* document, const std::string& path,
                       std::string* why = nullptr);

}  // namespace Host
