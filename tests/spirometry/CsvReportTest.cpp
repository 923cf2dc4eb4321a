// The CSV report of a small synthetic recording byte for byte, and the Save As class that
// writes it for the host.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <iterator>

#include "SpiroDocumentHost.h"
#include "appkit/Alert.h"
#include "cf/Locale.h"
#include "foundation/KVDResultCodes.h"
#include "foundation/LocaleInfo.h"
#include "foundation/StringKeys.h"
#include "framework/MsgData.h"
#include "spirometry/CSVSaveClassObject.h"
#include "spirometry/SpiroIds.h"
#include "support/TempFolder.h"

using namespace Spirometry;

namespace {

typedef MsgData8<MsgIdClass<&SpiroDocumentGUID, 2>, 0, double, double, bool, int, int, int, double, bool>
    SettingsChangeMsg;

std::string Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Text(const KVDXMLStringKey& key)
{
    return KVD::ToU8String(KVD::String(KVDGetMyBundle(), key, true));
}

// The process's locale facts replaced for the life of the object.
class LocaleOverride {
public:
    explicit LocaleOverride(const char* decimalSeparator)
        : mFacts{decimalSeparator, "AM", "PM", "HH:mm"},
          mInfo(mFacts),
          mPrevious(LocaleInfo::sTheLocaleInfo.exchange(&mInfo))
    {
    }
    ~LocaleOverride() { LocaleInfo::sTheLocaleInfo.store(mPrevious); }

private:
    CF::LocaleFacts mFacts;
    LocaleInfo mInfo;
    LocaleInfo* mPrevious;
};

class CsvReportTest : public SpiroTest::SpiroDocumentHost {
protected:
    void ExpectGolden(SpiroDocument& doc, const char* golden)
    {
        const auto path = mFolder.Path() / "report.csv";
        ASSERT_EQ(doc.WriteTheReportInCSV(KVD::ToKVDString(path.string())), KVD_S_OK);
        const std::string expected = Bytes(std::filesystem::path(SPIRO_TEST_DATA_DIR) / golden);
        ASSERT_FALSE(expected.empty()) << golden;
        EXPECT_EQ(Bytes(path), expected) << golden;
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(CsvReportTest, CommaSeparatedInLitres)
{
    LocaleOverride locale(".");
    ExpectGolden(CreateAnalysedDocument(), "report-comma-litres.csv");
}

TEST_F(CsvReportTest, SemicolonSeparatedInMillilitresWhereTheDecimalSeparatorIsAComma)
{
    LocaleOverride locale(",");
    SpiroDocument& doc = CreateAnalysedDocument();
    doc.SendMsg(doc.GetDestination(), SettingsChangeMsg(2.0, 1.0, true, mFlow, mVolume, 7, 0.0, false), 0);
    ExpectGolden(doc, "report-semicolon-millilitres.csv");
}

// Breaths of 11 ticks at 2.5 ticks per second last 4.4 s. The data begin inside the first
// inspiration: its expiration, 2.4 s, is a single expiration and no part of the non-forced
// figures, so f is 18 / 79.2 Hz.
TEST_F(CsvReportTest, DurationsUseTheExactTickRate)
{
    LocaleOverride locale(".");
    auto recording = std::make_shared<Host::Recording>(
        "slow.csv", 2.5, std::vector<Host::ChannelFormat>{{"Flow head", "V", 0.0001, 0.0}});
    Host::RecordBlock block;
    block.ticks = 11 * 20;
    block.samples.resize(1);
    for (uint32_t i = 0; i < block.ticks; ++i)
        block.samples[0].push_back(recording->Channel(0).Raw(std::sin(2 * M_PI * (i + 0.5) / 11.0)));
    recording->AddRecord(block);
    Open(recording);
    AddCalculations();
    SpiroDocument& doc = CreateDocument();
    doc.SetSpFlowCalcChan(mFlow);
    doc.SetSpVolCalcChan(mVolume);
    SelectRecord(0);
    doc.SendMsg(doc.GetDestination(), SettingsChangeMsg(2.0, 1.0, true, mFlow, mVolume, 8, 0.0, false), 0);

    const auto path = mFolder.Path() / "slow.csv";
    ASSERT_EQ(doc.WriteTheReportInCSV(KVD::ToKVDString(path.string())), KVD_S_OK);
    std::istringstream lines(Bytes(path));
    std::string line;
    int whole = 0, single = 0;
    while (std::getline(lines, line)) {
        whole += line.find(",1.6,2.8,4.4,") != std::string::npos ? 1 : 0;
        single += line.rfind("1 (single expiration),0,2.4,2.4,,,,", 0) == 0 ? 1 : 0;
        if (line.rfind("V_E (L/s)", 0) == 0 && std::getline(lines, line)) {
            EXPECT_NEAR(std::stod(line.substr(line.find(',', line.find(',', line.find(',') + 1) + 1) + 1)),
                        18 / 79.2, 1e-6) << line;
        }
    }
    EXPECT_EQ(single, 1) << Bytes(path);
    EXPECT_EQ(whole, 18) << Bytes(path);
}

TEST_F(CsvReportTest, SaveAsWritesTheReportOrTellsWhyNot)
{
    using namespace SpirometryStr;
    const KVD::COMPtr<ICAFClassObject> cls(static_cast<ICAFClassObject*>(new CSVSaveClassObject(SpiroCSVFormatId())));
    KVD::COMPtr<IFileSaveAsClass2> saveAs(KVD::com_cast(cls.get()));
    KVD::COMPtr<IFileSaveAsClass> oldSaveAs(KVD::com_cast(cls.get()));
    ASSERT_NE(saveAs, nullptr);
    auto save = [&](const std::filesystem::path& path, IUnknown* document) {
        AppKit::AlertPresenter::Shared().ClearShown();
        return saveAs->SaveAsEx(nullptr, KVD::ToKVDString(path.string()).AsIAutoKVDString(), 1, 0, document);
    };
    auto alerts = [] {
        std::vector<std::string> texts;
        for (const AppKit::Alert& alert : AppKit::AlertPresenter::Shared().Shown())
            texts.push_back(alert.messageText);
        return texts;
    };
    const auto report = mFolder.Path() / "report.csv";

    // No host document: refused without a word. No spirometry document in it: the export error.
    EXPECT_EQ(save(report, nullptr), KVD_E_BADSTATE);
    EXPECT_TRUE(alerts().empty());
    Open(SpiroTest::SmallBreathing());
    EXPECT_EQ(save(report, static_cast<IDocument*>(&mData->Document())), KVD_E_BADSTATE);
    EXPECT_EQ(alerts(), std::vector<std::string>{Text(IDS_EXPORT_ERROR) + "\n"});
    EXPECT_FALSE(std::filesystem::exists(report));
    TearDown();

    CreateAnalysedDocument();
    IUnknown* host = static_cast<IDocument*>(&mData->Document());
    EXPECT_EQ(save(report, host), KVD_S_OK);
    EXPECT_TRUE(alerts().empty());
    const std::string written = Bytes(report);
    EXPECT_EQ(written.rfind(Text(IDS_REPORT_SETTINGS) + "\r\n", 0), 0u);
    const auto old = mFolder.Path() / "old.csv";
    EXPECT_EQ(oldSaveAs->SaveAs(nullptr, KVD::ToKVDString(old.string()).AsIAutoKVDString(), 1, host), KVD_S_OK);
    EXPECT_EQ(Bytes(old), written);

    // A place that cannot be written is a failure, never a success.
    EXPECT_EQ(save(mFolder.Path() / "no such folder" / "report.csv", host), KVD_E_BADSTATE);
    EXPECT_EQ(alerts(), std::vector<std::string>{Text(IDS_EXPORT_ERROR) + "\n"});

    // No breath in the selection: the file holds the reason alone.
    Select(KVDPosition{0, 0}, KVDPosition{200, 0});
    EXPECT_EQ(save(report, host), KVD_E_REPORTMESSAGE);
    EXPECT_EQ(alerts(), std::vector<std::string>{Text(IDS_EXPORT_ERROR)});
    EXPECT_EQ(Bytes(report), Text(IDS_SELECTION_ERROR_REASON_12) + "\r\n");
}

TEST(CsvSaveClass, DescribesTheCsvFormat)
{
    const KVD::COMPtr<ICAFClassObject> cls(static_cast<ICAFClassObject*>(new CSVSaveClassObject(SpiroCSVFormatId())));
    KVD::COMPtr<IDocFileDescr> descr(KVD::com_cast(cls.get()));
    ASSERT_NE(descr, nullptr);
    TCAFId typeId = 0, formatId = 0;
    cls->GetTypeId(&typeId);
    descr->GetFormatId(&formatId);
    EXPECT_EQ(typeId, SpiroCSVFormatId());
    EXPECT_EQ(formatId, typeId);
    EXPECT_EQ(typeId & 0xFFFF, 2u);
    EXPECT_EQ(typeId >> 16, SpiroReportViewTypeId() >> 16);
    KVD::String extension, description, name;
    descr->GetExtension(KVD::String::Setter(extension));
    descr->GetDescription(KVD::String::Setter(description));
    cls->GetObjectName(KVD::String::Setter(name));
    EXPECT_EQ(extension, L"csv");
    EXPECT_EQ(description, L"Spirometry Report CSV File");
    EXPECT_EQ(name, L"N10Spirometry18CSVSaveClassObjectE");
    DocFileFlags flags = 0;
    SaveAsAspect aspects = 0;
    descr->GetFlags(&flags);
    descr->GetSupportedAspects(&aspects);
    EXPECT_EQ(flags, 2u);
    EXPECT_EQ(aspects, 1u);
    const _IID copy = CATID_OrrelSaveAsCategory;
    EXPECT_EQ(cls->IsInCategoryHR(&copy), KVD_S_OK);
    EXPECT_EQ(cls->IsInCategoryHR(nullptr), KVD_S_FALSE);
    EXPECT_EQ(cls->IsInCategoryHR(&IID_IDocFileDescr), KVD_S_FALSE);
}

// The format's description is a face of the class object: one count, one identity.
TEST(CsvSaveClass, TheDescriptionCountsAndAnswersAsTheClassObject)
{
    auto* made = new CSVSaveClassObject(SpiroCSVFormatId());
    const KVD::COMPtr<ICAFClassObject> cls(static_cast<ICAFClassObject*>(made));
    EXPECT_EQ(cls->AddRef(), 2u);
    EXPECT_EQ(cls->Release(), 1u);
    const KVD::COMPtr<IDocFileDescr> descr(KVD::com_cast(cls.get()));
    ASSERT_EQ(descr.get(), static_cast<IDocFileDescr*>(made));
    EXPECT_EQ(descr->AddRef(), 3u);
    EXPECT_EQ(descr->Release(), 2u);
    const KVD::COMPtr<IUnknown> identity(KVD::com_cast(descr.get()));
    EXPECT_EQ(identity.get(), static_cast<IUnknown*>(cls.get()));
}

}  // namespace
