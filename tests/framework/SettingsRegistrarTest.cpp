// The host's settings registrar: keys compared by value, objects and values stored and replaced,
// and its contents written to a stream and read back as they were.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "support/MemoryIStream.h"
#include "TestHandlers.h"
#include "host/settings/SettingsRegistrar.h"

using namespace FrameworkTest;
using TestSupport::MemoryIStream;

namespace {

struct Registrar {
    ISettingsRegistrar* registrar = Host::SettingsRegistrar::Create();
    ~Registrar() { registrar->Release(); }
    ISettingsRegistrar* operator->() const { return registrar; }
    uint32_t Count() const
    {
        uint32_t count = 0;
        registrar->GetObjectCount(&count);
        return count;
    }
};

// 5A6B7C8D-9E0F-4A1B-8C2D-3E4F5A6B7C8D: a value interface id of the keys
inline constexpr _IID kValueIid = {0x5A6B7C8D, 0x9E0F, 0x4A1B, {0x8C, 0x2D, 0x3E, 0x4F, 0x5A, 0x6B, 0x7C, 0x8D}};

bool Equal(const SRKey& a, const SRKey& b)
{
    AutoBool equal = kAutoFalse;
    a.GetKey()->IsEqual(b.GetKey(), &equal);
    return equal != kAutoFalse;
}

TEST(SettingsKeys, CompareByValue)
{
    EXPECT_TRUE(Equal(SRKey(0x800C0084, 3u, 1u, nullptr), SRKey(0x800C0084, 3u, 1u, nullptr)));
    EXPECT_FALSE(Equal(SRKey(0x800C0084, 3u, 1u, nullptr), SRKey(0x800C0084, 3u, 2u, nullptr)));
    EXPECT_FALSE(Equal(SRKey(0x800C0084, 3u, nullptr), SRKey(0x800C0084, 3u, &kValueIid)));
    EXPECT_TRUE(Equal(SRKey(0x80010001, KVD::String(L"scale"), nullptr), SRKey(0x80010001, KVD::String(L"scale"), nullptr)));
    EXPECT_FALSE(Equal(SRKey(0x80010001, KVD::String(L"scale"), nullptr), SRKey(0x80010001, KVD::String(L"Scale"), nullptr)));
    // Same parts, different forms.
    EXPECT_FALSE(Equal(SRKey(0x80010001, nullptr), SRKey(0x80010001, 0u, nullptr)));
    EXPECT_TRUE(Equal(SRKey::IdPair(1, 2, 3, nullptr), SRKey::IdPair(1, 2, 3, nullptr)));
    // The window key is the fifth form: the message id and the two halves of the view id.
    const WindowKey window(0x80010005, 0x0001000212340005ull);
    SRKeyParts parts{};
    window.GetKey()->GetParts(&parts);
    EXPECT_EQ(parts.form, kSRKey_TwoParts);
    EXPECT_EQ(parts.id, 0x80010005u);
    EXPECT_EQ(parts.a, 0x12340005u);
    EXPECT_EQ(parts.b, 0x00010002u);
    _IID iid{};
    EXPECT_EQ(window.GetKey()->GetValueIID(&iid), KVD_S_OK);
    EXPECT_EQ(iid, SRCAT_WindowPos);
}

TEST(SettingsRegistrar, ObjectsAndValuesUnderKeys)
{
    Registrar registrar;
    Log log;
    Ref<DocHandler> first("first", log), second("second", log);
    const SRKey a(NoteMsgId::GetId(), 1u, nullptr), b(NoteMsgId::GetId(), 2u, nullptr);
    registrar->SetObject(a.GetKey(), static_cast<IMessageHandler*>(first.get()));
    registrar->SetObject(b.GetKey(), static_cast<IMessageHandler*>(second.get()));
    // Storing again under a key (a copy of it) replaces and moves to the end.
    registrar->SetObject(SRKey(NoteMsgId::GetId(), 1u, nullptr).GetKey(), static_cast<IMessageHandler*>(second.get()));
    EXPECT_EQ(registrar.Count(), 2u);
    KVD::COMPtr<ISettingsRegistrarKey> last;
    registrar->GetKeyAt(1, last.Set());
    AutoBool equal = kAutoFalse;
    last->IsEqual(a.GetKey(), &equal);
    EXPECT_EQ(equal, kAutoTrue);
    EXPECT_EQ(registrar->RemoveObject(b.GetKey()), KVD_S_OK);
    EXPECT_EQ(registrar->RemoveObject(b.GetKey()), KVD_S_FALSE);
    KVD::COMPtr<IUnknown> gone;
    EXPECT_EQ(registrar->GetObject(b.GetKey(), gone.Set()), KVD_S_FALSE);
    EXPECT_EQ(gone, nullptr);

    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    registrar->SetValue(a.GetKey(), bytes, 5);
    uint8_t read[3] = {};
    uint32_t size = 0;
    EXPECT_EQ(registrar->GetValue(a.GetKey(), read, 3, &size), KVD_S_OK);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(read[2], 3);
    EXPECT_EQ(registrar->GetValue(b.GetKey(), read, 3, &size), KVD_S_FALSE);
    EXPECT_EQ(size, 0u);
}

class SavedRegistrar : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ref<DocHandler> root("root", log);
        root->mRegistrar = registrar.registrar;
        registrar->AddRef();
        root->SendMsg(root.get(), NoteMsg(L"first"), SRKey(NoteMsgId::GetId(), 1u, &kValueIid), 0);
        root->SendMsg(root.get(),
                      AllKindsMsg(7, -8, 0.25, 0x00120034, KVD::String(L"text \u00fc"), tagRECT{1, 2, 3, 4}, true),
                      SRKey(AllKindsMsgId::GetId(), KVD::String(L"all"), nullptr), 0x20);
        root->SendMsg(root.get(), StopMsg(), SRKey(StopMsgId::GetId(), nullptr), 0);
        // Objects that are not messages are not written.
        Ref<DocHandler> other("other", log);
        registrar->SetObject(SRKey(0x80010099, nullptr).GetKey(), static_cast<IMessageHandler*>(other.get()));
        const uint8_t bytes[3] = {9, 8, 7};
        registrar->SetValue(SRKey(0x800C0084, 3u, 1u, nullptr).GetKey(), bytes, 3);
        root->DoCleanup();
        log.clear();
        ASSERT_EQ(registrar->Save(&stream), KVD_S_OK);
        stream.Seek(0, STREAM_SEEK_SET, nullptr);
    }

    Log log;
    Registrar registrar;
    MemoryIStream stream;
};

TEST_F(SavedRegistrar, ReadBackAsItWas)
{
    Registrar restored;
    ASSERT_EQ(restored->Load(&stream), KVD_S_OK);
    EXPECT_EQ(restored.Count(), 3u);
    Ref<DocHandler> replay("replay", log);
    EXPECT_EQ(replay->Initialize(restored.registrar, kTestGuid, false), KVD_S_FALSE);
    EXPECT_EQ(log, (Log{"replay: first", "replay: 7 -8 0.250000 1179700 text \xc3\xbc 1,2,3,4 true",
                        "replay: stops not"}));
    // Keys, flags and values came back too.
    KVD::COMPtr<IUnknown> stored;
    restored->GetObject(SRKey(AllKindsMsgId::GetId(), KVD::String(L"all"), nullptr).GetKey(), stored.Set());
    KVD::COMPtr<IMessage> message(KVD::com_cast(stored.get()));
    ASSERT_NE(message, nullptr);
    uint32_t flags = 0;
    message->GetFlags(&flags);
    EXPECT_EQ(flags, 0x20u);
    uint8_t bytes[3] = {};
    uint32_t size = 0;
    EXPECT_EQ(restored->GetValue(SRKey(0x800C0084, 3u, 1u, nullptr).GetKey(), bytes, 3, &size), KVD_S_OK);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(bytes[0], 9);
    EXPECT_EQ(restored->GetObject(SRKey(NoteMsgId::GetId(), 1u, &kValueIid).GetKey(), stored.Set()), KVD_S_OK);
}

TEST_F(SavedRegistrar, NewerOrDamagedStreamsChangeNothing)
{
    Registrar target;
    const SRKey kept(0x80010077, nullptr);
    target->SetValue(kept.GetKey(), "x", 1);

    std::vector<unsigned char> newer = stream.Bytes();
    newer[2] = 11;  // the version in the version word
    MemoryIStream newerStream(newer);
    EXPECT_EQ(target->Load(&newerStream), KVD_E_NEWERVERSION);

    std::vector<unsigned char> cut = stream.Bytes();
    cut.resize(cut.size() - 3);
    MemoryIStream cutStream(cut);
    EXPECT_NE(target->Load(&cutStream), KVD_S_OK);

    // A count far beyond what the stream holds.
    std::vector<unsigned char> huge = stream.Bytes();
    huge[4] = 0xFF;
    huge[5] = 0xFF;
    huge[6] = 0xFF;
    MemoryIStream hugeStream(huge);
    EXPECT_NE(target->Load(&hugeStream), KVD_S_OK);

    uint32_t size = 0;
    char value = 0;
    EXPECT_EQ(target->GetValue(kept.GetKey(), &value, 1, &size), KVD_S_OK);
    EXPECT_EQ(value, 'x');
    EXPECT_EQ(target.Count(), 0u);
}

}  // namespace
