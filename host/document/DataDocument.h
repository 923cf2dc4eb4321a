// A host data document over a recording: the host document that child documents live in, with
// its data (records, channels, computed channels), selection, data view and events. It raises
// the data document's events as a real host does: selection changed (event 0) when the
// selection is set, data changed (event 4) when a computed channel's data changes. Its
// cyclic-measurements part (CMDoc) is there from the start.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ICustomDocument.h"
#include "IStorage.h"
#include "foundation/COMPtr.h"
#include "host/data/DocumentData.h"
#include "host/document/DataView.h"
#include "host/document/HostDocument.h"

namespace Host {

class DataDocument {
public:
    // The document over the recording, named after its file; the data view shows record 0.
    explicit DataDocument(std::shared_ptr<const Recording> recording);
    ~DataDocument();
    DataDocument(const DataDocument&) = delete;
    DataDocument& operator=(const DataDocument&) = delete;

    HostDocument& Document() { return *mDocument; }
    IAutoOrrelDoc* AutoDocument() { return mDocument; }
    DocumentData& Data() { return *mData; }
    ChannelTable& Channels() { return mData->Channels(); }
    DataView& View() { return *mView; }

    // Appends an empty channel that a calculation can be put on; answers its index.
    int AddChannel(const std::string& title, const std::string& unit);

    // Selects left..right and tells the observers.
    void Select(KVDPosition left, KVDPosition right);
    void ClearSelection();
    // Tells the observers that the data changed (a computed channel was recomputed).
    void NotifyDataChanged();

    // Creates a child document through its class; with a storage, loads the child's persisted
    // part from the stream named after the class before the child hears that it is complete.
    HRESULT CreateChildDocument(ICustomDocClass* cls, uint32_t flags, IStorage* stored, ICustomDocument** out);
    // Writes the persisted part of every child that registered one into the storage.
    HRESULT SaveChildDocuments(IStorage* storage);
    HRESULT CloseChildDocument(ICustomDocument* child);
    // Closes the children and lets go of the calculations.
    void Close();

private:
    struct Child {
        KVD::COMPtr<ICustomDocument> document;
        std::wstring partName;  // stream of its persisted part
    };

    void UpdateChannelCounts();

    std::shared_ptr<const Recording> mRecording;
    KVD::COMPtr<HostDocument> mDocument;
    KVD::COMPtr<DocumentData> mData;
    KVD::COMPtr<DataView> mView;
    std::vector<Child> mChildren;
    bool mClosed = false;
};

}  // namespace Host
