// Compound files on disk: the entry points over file lock bytes, and the file references,
// paths and file operations under them.
#include "StorageTestSupport.h"

#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "foundation/KVDResultCodes.h"
#include "foundation/XKVD.h"
#include "foundation/storage/CSTATSTG.h"
#include "foundation/storage/FileLockBytes.h"
#include "foundation/storage/FileSystem.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"

using namespace StorageTest;
namespace fs = std::filesystem;

namespace {

// A folder of its own for each test, removed afterwards.
class Folder {
public:
    Folder()
    {
        char name[] = "/tmp/storage-test-XXXXXX";
        mPath = ::mkdtemp(name);
    }
    ~Folder() { fs::remove_all(mPath); }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

KVDFileRef Ref(const std::string& path) { return KVDFileRef(KVD::Path(path)); }

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

TEST(StorageFile, CreateThenOpenOnDisk)
{
    Folder folder;
    KVDFileRef file = Ref(folder / "doc.kvd");
    {
        StoragePtr root;
        ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfile(file, kCreateRW, 0, root.Set(), 0, 0));
        MakeStream(MakeStorage(root, L"part"), L"settings", Pattern(123456, 1));
    }
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgOpenStorage(file, kRW, root.Set()));
    EXPECT_EQ(Pattern(123456, 1), ReadStream(OpenStorage(root, L"part"), L"settings"));

    KVD::CSTATSTG stat;
    ASSERT_EQ(KVD_S_OK, root->Stat(stat.Set(), STATFLAG_PATH));
    EXPECT_EQ(STGTY_STORAGE, stat.type);
    EXPECT_STREQ((folder / "doc.kvd").c_str(), stat.pathRef);
    EXPECT_EQ(fs::file_size(folder / "doc.kvd"), stat.cbSize);

    StoragePtr missing;
    EXPECT_EQ(HRESULT_from_POSIX(ENOENT), KVDStgOpenStorage(Ref(folder / "none"), kRW, missing.Set()));
    WriteText(folder / "text", "not a compound file at all, but long enough to hold a header of its own... " +
                                   std::string(600, '.'));
    EXPECT_EQ(KVD_STG_E_NOTSTORAGE, KVDStgOpenStorage(Ref(folder / "text"), kRW, missing.Set()));
}

TEST(StorageFile, FilesCreatedWithoutReadAccessReadBackWhatTheyWrote)
{
    // The storage reads its own file whatever mode it was created in: write only (0x1), or
    // neither bit.
    Folder folder;
    for (uint32_t mode : {0x1001u, 0x1000u}) {
        SCOPED_TRACE(mode);
        KVDFileRef file = Ref(folder / "doc");
        {
            StoragePtr root;
            ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfile(file, mode, 0, root.Set(), 0, 0));
            StreamPtr stream = MakeStream(MakeStorage(root, L"part"), L"s", Pattern(5000, 4));
            EXPECT_EQ(Pattern(5000, 4), ReadAll(stream));
        }
        StoragePtr root;
        ASSERT_EQ(KVD_S_OK, KVDStgOpenStorage(file, 0, root.Set()));
        EXPECT_EQ(Pattern(5000, 4), ReadStream(OpenStorage(root, L"part"), L"s"));
    }
}

TEST(StorageFile, ReadOnlyOpenRefusesChanges)
{
    Folder folder;
    KVDFileRef file = Ref(folder / "doc");
    {
        StoragePtr root;
        ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfile(file, kCreateRW, 0, root.Set(), 0, 0));
        MakeStream(root, L"s", Pattern(10, 2));
    }
    auto before = fs::last_write_time(folder / "doc");
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgOpenStorage(file, 0, root.Set()));
    StreamPtr stream;
    EXPECT_EQ(KVD_E_BADSTATE, root->CreateStream(L"t", kCreateRW, 0, 0, stream.Set()));
    EXPECT_EQ(Pattern(10, 2), ReadStream(root, L"s"));
    root.Clear();
    EXPECT_EQ(before, fs::last_write_time(folder / "doc"));
}

TEST(StorageFile, ScratchFileInTheTemporaryFolder)
{
    Folder folder;
    ASSERT_EQ(0, ::setenv("TMPDIR", folder.Path().c_str(), 1));
    StoragePtr root;
    // Bit 28: the file goes with its storage.
    ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfile(KVDFileRef(), kRW, KVDStg::kFlagDeleteFile, root.Set(), 0, 0));
    ::unsetenv("TMPDIR");
    std::vector<fs::path> files(fs::directory_iterator(folder.Path()), fs::directory_iterator());
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ(8u, files[0].filename().string().size());
    MakeStream(root, L"s", Pattern(5000, 3));
    root.Clear();
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(StorageFile, LockBytesModes)
{
    Folder folder;
    WriteText(folder / "f", "old contents");
    ILockBytes* lockBytes = nullptr;
    // Creating empties an existing file.
    FileLockBytesImpl::FileLockBytes::Create(&lockBytes, Ref(folder / "f"), kRW, true, 0);
    EXPECT_EQ(0u, fs::file_size(folder / "f"));
    uint32_t count = 0;
    ASSERT_EQ(KVD_S_OK, lockBytes->WriteAt(10, "abc", 3, &count));
    char buffer[20] = {};
    ASSERT_EQ(KVD_S_OK, lockBytes->ReadAt(8, buffer, 20, &count));
    EXPECT_EQ(5u, count);
    EXPECT_EQ(0, memcmp(buffer, "\0\0abc", 5));
    ASSERT_EQ(KVD_S_OK, lockBytes->SetSize(4));
    ASSERT_EQ(KVD_S_OK, lockBytes->Flush());
    EXPECT_EQ(4u, fs::file_size(folder / "f"));
    KVD::COMPtr<IKVDLockBytes> kvd = KVD::com_cast(lockBytes);
    ASSERT_NE(nullptr, kvd.get());
    uint32_t id = 7;
    EXPECT_EQ(KVD_S_OK, kvd->GetLockBytesId(&id));
    EXPECT_EQ(0u, id);
    EXPECT_EQ(nullptr, kvd->GetMemMappedAddress());
    EXPECT_EQ(KVD_E_NOTIMPL, lockBytes->LockRegion(0, 1, 0));
    kvd.Clear();
    lockBytes->Release();

    // Mode 0 opens read only.
    FileLockBytesImpl::FileLockBytes::Create(&lockBytes, Ref(folder / "f"), 0, false, 0);
    EXPECT_NE(KVD_S_OK, lockBytes->WriteAt(0, "x", 1, &count));
    lockBytes->Release();

    // Delete on release: the name goes at once, the open file goes on working.
    FileLockBytesImpl::FileLockBytes::Create(&lockBytes, Ref(folder / "g"), kRW | 0x04000000, true, 0);
    EXPECT_FALSE(fs::exists(folder / "g"));
    ASSERT_EQ(KVD_S_OK, lockBytes->WriteAt(0, "still", 5, &count));
    ASSERT_EQ(KVD_S_OK, lockBytes->ReadAt(0, buffer, 5, &count));
    EXPECT_EQ(0, memcmp(buffer, "still", 5));
    lockBytes->Release();

    EXPECT_THROW(FileLockBytesImpl::FileLockBytes::Create(&lockBytes, Ref(folder / "no/such/dir"), kRW, true, 0), XKVD);
}

TEST(StorageFile, FileReferences)
{
    KVDFileRef none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(nullptr, none.CFURLCopyPath());
    FSRef ref;
    EXPECT_FALSE(none.GetFSRef(ref));

    KVDFileRef dotted = Ref("/tmp/./a/../b//c/");
    dotted.MakeStandardPathName();
    EXPECT_EQ("/tmp/b/c", dotted.FileSystemRepresentation());
    ASSERT_EQ(0, ::setenv("HOME", "/home/someone", 1));
    KVDFileRef home;
    home.ImportStringCompatibleRepresentation(KVD::String(L"~/docs/\u00e9t\u00e9.kvd"));
    home.MakeStandardPathName();
    EXPECT_EQ("/home/someone/docs/\xc3\xa9t\xc3\xa9.kvd", home.FileSystemRepresentation());

    EXPECT_TRUE(KVD::Path(std::string("\xff\xfe")).empty());
    KVD::Path path("/tmp");
    path /= KVD::Path("sub");
    path /= KVD::Path();
    EXPECT_EQ("/tmp/sub", path.FileSystemRepresentation());
    KVD::Path empty;
    empty /= KVD::Path("rel/name");
    EXPECT_EQ("rel/name", empty.FileSystemRepresentation());
}

TEST(StorageFile, FileManagerAndUniqueFiles)
{
    Folder folder;
    KVD::Path dir(folder.Path());
    KVD::Path one = KVD::FileSystem::MakeUniqueFile(dir, KVD::String(L"pre"), KVD::String(L"dat"));
    KVD::Path two = KVD::FileSystem::MakeUniqueFile(dir, KVD::String(L"pre"), KVD::String(L".dat"));
    std::string a = fs::path(one.FileSystemRepresentation()).filename();
    std::string b = fs::path(two.FileSystemRepresentation()).filename();
    EXPECT_EQ(15u, a.size());
    EXPECT_EQ("pre", a.substr(0, 3));
    EXPECT_EQ(".dat", a.substr(11));
    EXPECT_EQ(".dat", b.substr(11));
    EXPECT_NE(a, b);
    EXPECT_TRUE(fs::exists(one.FileSystemRepresentation()));
    EXPECT_TRUE(KVD::FileSystem::MakeUniqueFile(KVD::Path(folder / "missing"), KVD::String(), KVD::String()).empty());

    KVDFileRef first(one);
    KVDFileRef second(two);
    // Renaming never replaces a file.
    EXPECT_FALSE(KVDFileManager::RenameFile(first, second));
    EXPECT_TRUE(KVDFileManager::DoesFileExist(first));
    KVDFileRef third = Ref(folder / "third");
    EXPECT_TRUE(KVDFileManager::RenameFile(first, third));
    EXPECT_FALSE(KVDFileManager::DoesFileExist(first));
    EXPECT_TRUE(KVDFileManager::DoesFileExist(third));
    EXPECT_FALSE(KVDFileManager::RenameFile(KVDFileRef(), third));

    EXPECT_TRUE(KVDFileManager::DeleteFile(third));
    EXPECT_FALSE(fs::exists(folder / "third"));
    EXPECT_TRUE(KVDFileManager::DeleteFile(third));  // nothing there: nothing left to do
    EXPECT_TRUE(KVDFileManager::DeleteFile(KVDFileRef()));
    fs::create_directory(folder / "dir");
    EXPECT_FALSE(KVDFileManager::DeleteFile(Ref(folder / "dir")));
    EXPECT_TRUE(fs::is_directory(folder / "dir"));
}

TEST(StorageFile, StreamsOfOneFileFromTwoThreads)
{
    Folder folder;
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfile(Ref(folder / "shared"), kCreateRW, 0, root.Set(), 0, 0));
    auto work = [&](const wchar_t* name, uint32_t seed) {
        StreamPtr stream = MakeStream(root, name, {});
        std::vector<uint8_t> piece = Pattern(777, seed);
        uint32_t written = 0;
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(KVD_S_OK, stream->Write(piece.data(), 777, &written));
    };
    std::thread one(work, L"one", 1);
    std::thread two(work, L"two", 2);
    one.join();
    two.join();
    root.Clear();
    ASSERT_EQ(KVD_S_OK, KVDStgOpenStorage(Ref(folder / "shared"), kRW, root.Set()));
    for (uint32_t seed : {1u, 2u}) {
        std::vector<uint8_t> bytes = ReadStream(root, seed == 1 ? L"one" : L"two");
        ASSERT_EQ(777u * 200, bytes.size());
        EXPECT_TRUE(std::equal(bytes.begin() + 777 * 199, bytes.end(), Pattern(777, seed).begin()));
    }
}

TEST(StorageFile, ReleasingTheRootNeverThrows)
{
    // Lock bytes whose writes all fail once the file exists: the commit of the last release
    // fails and is swallowed.
    class Failing : public KVDStg::MemoryLockBytes {
    public:
        Failing() : MemoryLockBytes({}) { AddRef(); }
        bool fail = false;
        HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) override
        {
            return fail ? HRESULT_from_POSIX(ENOSPC) : MemoryLockBytes::WriteAt(offset, buffer, count, written);
        }
    };
    Failing* lockBytes = new Failing;
    StoragePtr root;
    ASSERT_EQ(KVD_S_OK, KVDStgCreateDocfileOnILockBytes(lockBytes, kCreateRW | kTransacted, 0, root.Set()));
    MakeStream(root, L"s", Pattern(10, 4));
    lockBytes->fail = true;
    EXPECT_EQ(HRESULT_from_POSIX(ENOSPC), root->Commit(0));
    EXPECT_NO_THROW(root.Clear());
    // The file is as it was created.
    MemFile copy(lockBytes->Bytes());
    StoragePtr reopened = copy.Open(0);
    EXPECT_TRUE(List(reopened).empty());
    lockBytes->Release();
}
