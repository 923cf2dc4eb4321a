// Comments: notes at a position of the data, on one channel or on all of them. The host tells
// the displays that observe its comments when one is added, changed or removed.
#pragma once

#include "IKVDString.h"
#include "KVDTypes.h"

// 838C88A5-6D3B-4812-AB91-8FB95D5681D4
inline constexpr _IID IID_IOrrelComment = {0x838C88A5, 0x6D3B, 0x4812, {0xAB, 0x91, 0x8F, 0xB9, 0x5D, 0x56, 0x81, 0xD4}};
// E73C8C79-ED35-477A-B3D6-14327DB4DD1E
inline constexpr _IID IID_ICommentsObserver = {0xE73C8C79, 0xED35, 0x477A, {0xB3, 0xD6, 0x14, 0x32, 0x7D, 0xB4, 0xDD, 0x1E}};

// The channel of a comment on all channels.
constexpr int32_t kAllChannelsComment = -1;

// What happened to a comment.
enum CommentAspect : uint32_t { kCommentAdded = 1, kCommentChanged = 2, kCommentRemoved = 3 };

struct IOrrelComment : IUnknown {
    virtual HRESULT GetPosition(KVDPosition* position) const = 0;  // slot 3
    // kAllChannelsComment for a comment on all channels.
    virtual HRESULT GetChannel(int32_t* channel) const = 0;        // slot 4
    virtual HRESULT GetText(IAutoKVDString** text) const = 0;      // slot 5
};

struct ICommentsObserver : IUnknown {
    virtual HRESULT OnCommentsEvent(uint32_t aspect, IOrrelComment* comment) = 0;  // slot 3
};

KVD_INTERFACE_ID(IOrrelComment, IID_IOrrelComment);
KVD_INTERFACE_ID(ICommentsObserver, IID_ICommentsObserver);
