// A host document that child documents of the plug-in live in: their site, the subject of the
// document's events, its settings registrar and the parts the plug-in asks of a data document
// (data, record data, selection, the host's data view). The data itself is given to it.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "ICustomDocument.h"
#include "IObserver.h"
#include "IOrrelDocument.h"
#include "IOrrelRecording.h"
#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "host/document/Selection.h"
#include "host/framework/EventMapSubject.h"
#include "host/views/DocumentMessageHandler.h"

namespace Host {

// Its subject is kept in the host's event map.
class HostDocument final : public KVD::CountedUnknown<IDocument, IDocumentSite, IAutoOrrelDoc,
                                                      KVD::Implements<EventMapSubject<ISubject>, ISubject>> {
public:
    // A new document with one reference. Close it before the last release: its children hold it.
    static HostDocument* Create(const KVD::String& name);

    // Creates a child document through its class, attaches it to this document's events and
    // tells it, with the creation-complete event, that it is ready. beforeComplete, when given,
    // runs on the new child just before that event (a stored document loads its parts there).
    HRESULT CreateChildDocument(ICustomDocClass* cls, uint32_t flags, ICustomDocument** out,
                                const std::function<void(ICustomDocument*)>& beforeComplete = {});
    // Detaches the child from the events, has it clean up and lets it go.
    HRESULT CloseChildDocument(ICustomDocument* child);
    // Closes every child.
    void Close();

    void SetData(IOrrelData2* data) { mData = data; }
    void SetRecordData(IRecordData* records) { mRecordData = records; }
    void SetDataView(IOrrelView* view) { mDataView = view; }
    // The time display mode; its low byte is the time origin (3: the start of the recording).
    void SetTimeDisplayMode(int32_t mode) { mTimeDisplayMode = mode; }
    void SetChildObject(TCAFId typeId, IUnknown* object) { mChildObjects[typeId] = object; }
    void SetChannelCounts(int all, int withData, int computed);
    // The trace colour of a channel, 24-bit RGB with red in the low byte; white until set.
    void SetChannelColour(int channel, uint32_t rgb) { mColours[channel] = rgb & 0xFFFFFF; }
    // Whether the document samples live data.
    void SetSampling(bool sampling) { mSampling = sampling; }
    // The recording hardware the document samples with (IOrrelRecording); null: none.
    void SetDeviceManager(IKVDDeviceManager* manager);
    Selection& GetSelection() { return *mSelection; }
    ISettingsRegistrar* GetRegistrar() const { return mRegistrar; }
    // Persisted parts registered by children, by part number.
    IUnknown* GetPersistPart(uint32_t part) const;

    // IDocument
    HRESULT GetDocumentName(IAutoKVDString** name) override;
    HRESULT GetSite(IDocumentSite** site) override;
    HRESULT GetApplication(ICAFApplication** application) override;
    HRESULT GetParentDocument(IDocument** parent) override;
    HRESULT GetRootDocument(IDocument** root) override;
    HRESULT GetCustomDocument(ICustomDocument** document) override;
    HRESULT GetTypeId(TCAFId* typeId) override;
    HRESULT CanCloseView(IUnknown* view, AutoBool* can) override;
    HRESULT ViewClosed(IUnknown* view) override;
    HRESULT ViewActivated(IUnknown* view) override;
    HRESULT IsViewOpen(TCAFId viewClassType, AutoBool* open) override;
    HRESULT OpenView(TCAFId viewClassType, IUnknown** view) override;
    HRESULT GetViewCount(uint32_t* count) override;
    HRESULT GetViewAt(uint32_t index, IUnknown** view) override;
    HRESULT GetChildDocumentCount(uint32_t* count) override;
    HRESULT GetChildDocumentAt(uint32_t index, IDocument** child) override;
    // The host's data view for its type id (GUID_OrrelObjects, 2).
    HRESULT GetChildView(TCAFId typeId, IUnknown** child) override;
    HRESULT CloseView(IUnknown* view) override;
    HRESULT GetChildObject(TCAFId typeId, uint32_t flags, IUnknown** child) override;  // or a child document of the type

    // IDocumentSite
    HRESULT GetHostDocument(IDocument** document) override;
    HRESULT RegisterPersistPart(IUnknown* document, uint32_t part, IUnknown* persist, uint32_t a, uint32_t b,
                                IAutoKVDString** name) override;
    HRESULT RevokePersistPart(IUnknown* document, uint32_t part) override;

    // IAutoOrrelDoc
    HRESULT GetDocument(IDocument** document) override;
    KVD_RESERVED_SLOTS_NOTIMPL(4, 4)
    HRESULT GetChannelCount(int* count) override;
    HRESULT GetChannelCountEx(int* count, int maxChannels, int kinds) override;
    // White for every channel: the data document's own colours come with its channels.
    HRESULT GetChannelColour(int channel, uint32_t* rgb) override;
    HRESULT GetComputedChannelCount(int flags, int* count) override;
    HRESULT GetTimeDisplayMode(int32_t* mode) override;
    HRESULT PositionToText(int32_t, uint32_t format, int32_t, KVDPosition position, uint32_t style, int32_t mode,
                           IAutoKVDString** text) override;
    HRESULT GetSamplingState(int32_t* sampling) override;
    HRESULT GetData(IOrrelData2** data) override;
    // A new settings object with the channel's trace colour.
    HRESULT GetChannelDisplaySettings(int channel, IChannelDisplaySettings2** settings) override;
    KVD_RESERVED_SLOTS_NOTIMPL(14, 16)
    HRESULT GetSettingsRegistrar(IUnknown** registrar) override;
    KVD_RESERVED_SLOTS_NOTIMPL(18, 49)
    HRESULT GetRecordData(int flags, IRecordData** records) override;
    KVD_RESERVED_SLOTS_NOTIMPL(51, 60)
    HRESULT GetSelection(int flags, IRecordDataSelection** selection) override;

protected:
    // The settings registrar's and the message handler's interfaces.
    HRESULT QueryMore(const _IID& iid, void** out) override;

private:
    explicit HostDocument(const KVD::String& name);
    ~HostDocument() override;
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    KVD::String mName;
    std::vector<KVD::COMPtr<ICustomDocument>> mChildren;
    KVD::COMPtr<ISettingsRegistrar> mRegistrar;
    KVD::COMPtr<Selection> mSelection;
    KVD::COMPtr<IOrrelData2> mData;
    KVD::COMPtr<IRecordData> mRecordData;
    // Times relative to each record's start: a mode with no origin would leave time labels unset.
    int32_t mTimeDisplayMode = 2;
    std::map<int, uint32_t> mColours;
    bool mSampling = false;
    KVD::COMPtr<IOrrelRecording> mRecording;
    KVD::COMPtr<IOrrelView> mDataView;
    std::map<TCAFId, KVD::COMPtr<IUnknown>> mChildObjects;
    std::map<uint32_t, KVD::COMPtr<IUnknown>> mPersistParts;
    int mChannels = 0;
    int mChannelsWithData = 0;
    int mComputedChannels = 0;
    DocumentMessageHandler mMessageHandler{*this};  // what the views send to their root document
};

}  // namespace Host
