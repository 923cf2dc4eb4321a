// Random damage to valid files, bounded in number: every mutated file goes through the fuzz
// target's open-read-change path without a crash, and the seed corpus replays through it.
#include "StorageTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "storage/fuzz/StorageFuzzEntry.h"

using namespace StorageTest;

namespace {

std::vector<std::vector<uint8_t>> Seeds()
{
    std::vector<std::vector<uint8_t>> seeds;
    {
        MemFile file;
        {
            StoragePtr root = file.Create(kCreateRW, 6);  // small clusters: dense structure
            StoragePtr child = MakeStorage(root, L"child");
            MakeStream(child, L"a", Pattern(300, 1));
            MakeStream(root, L"b", Pattern(1000, 2));
            MakeStream(MakeStorage(child, L"grandchild"), L"c", Pattern(64, 3));
        }
        seeds.push_back(file.Bytes());
    }
    {
        MemFile file;
        {
            StoragePtr root = file.Create(kCreateRW | kTransacted);
            StreamPtr stream = MakeStream(root, L"x", Pattern(3000, 4));
            MakeStream(root, L"y", Pattern(10, 5));
            root->Commit(0);
            stream->SetSize(500);  // leaves a to-free list in the next commit
        }
        seeds.push_back(file.Bytes());
    }
    seeds.push_back(OlderLayoutFile());
    return seeds;
}

void Mutate(std::vector<uint8_t>& bytes, std::mt19937& random)
{
    static const uint32_t kWords[] = {0, 1, 2, 3, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 64, 128, 1024};
    size_t metadata = std::min<size_t>(bytes.size(), 4096);
    switch (random() % 5) {
    case 0:  // a bit, mostly in the header, the map and the directories
        bytes[random() % (random() % 2 ? metadata : bytes.size())] ^= static_cast<uint8_t>(1u << (random() % 8));
        break;
    case 1: {  // a word set to a value that means something somewhere
        size_t at = (random() % (metadata / 4)) * 4;
        uint32_t value = random() % 2 ? kWords[random() % std::size(kWords)] : random() % 300;
        KVDStg::PutU32(&bytes[at], value);
        break;
    }
    case 2: {  // a word moved by one
        size_t at = (random() % (metadata / 4)) * 4;
        KVDStg::PutU32(&bytes[at], KVDStg::GetU32(&bytes[at]) + (random() % 2 ? 1 : -1));
        break;
    }
    case 3:  // cut short
        bytes.resize(random() % bytes.size());
        break;
    default: {  // a record's worth copied elsewhere
        if (bytes.size() < 400)
            break;
        size_t from = random() % (bytes.size() - 160);
        size_t to = random() % (bytes.size() - 160);
        std::copy(bytes.begin() + from, bytes.begin() + from + 160, bytes.begin() + to);
        break;
    }
    }
}

}  // namespace

TEST(StorageMutation, MutatedFilesNeverCrash)
{
    std::mt19937 random(20240611);
    std::vector<std::vector<uint8_t>> seeds = Seeds();
    size_t opened = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = seeds[round % seeds.size()];
        for (int k = 1 + random() % 3; k > 0 && !bytes.empty(); --k)
            Mutate(bytes, random);
        StorageFuzzOneInput(bytes.data(), bytes.size());
        MemFile file(bytes);
        StoragePtr root;
        opened += file.Open(root, 0) == KVD_S_OK ? 1 : 0;
    }
    // Damage often leaves a sound file (a changed stream byte): both outcomes were met.
    EXPECT_GT(opened, 100u);
    EXPECT_LT(opened, 2900u);
}

TEST(StorageMutation, SeedCorpusReplays)
{
    std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "storage-corpus";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        StorageFuzzOneInput(bytes.data(), bytes.size());
        // The valid seeds open; the damaged ones are refused.
        MemFile file(bytes);
        StoragePtr root;
        bool valid = entry.path().filename().string().rfind("valid-", 0) == 0;
        EXPECT_EQ(valid, file.Open(root, 0) == KVD_S_OK) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 8u);
}
