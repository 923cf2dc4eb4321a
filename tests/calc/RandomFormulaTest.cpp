// Bounded random input: generated formulas and mutations of the table-driven ones never crash
// the compiler and always end in a symbol list or an error within the prepared text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "FormulaCases.h"
#include "FormulaFuzzEntry.h"
#include "foundation/KVDString.h"

namespace CalcTest {
namespace {

const wchar_t* const kNames[] = {
    L"ch1", L"ch2", L"Ch3", L"ch32", L"ch33", L"ch", L"channel", L"rch2", L"$src1", L"$src", L"flow", L"volume",
    L"spectrum", L"realvec", L"gain", L"x", L"pi", L"t", L"fs", L"mod", L"threshold", L"atan2", L"window",
    L"sin", L"log", L"real", L"smooth", L"shift", L"diff", L"interp", L"resample", L"random", L"mainsfilterex",
    L"integrate", L"legacyintegrateabs", L"train", L"sinewave", L"pulse", L"doublepulse", L"lowpass", L"bpf",
    L"decimator", L"decimatesec", L"eventinterp", L"speeflow", L"speevol", L"twina", L"somesources",
    L"argtexts", L"square", L"rms", L"variance", L"hilbert", L"cmrate", L"thresholdval", L"windowval"};
const wchar_t* const kOperators[] = {L"+", L"-", L"*", L"/", L"^", L".*", L"./", L".^"};
const wchar_t* const kStrings[] = {L"\"raw\"", L"\"decay\"", L"\"Events\"", L"\"flow\"", L"\"\"", L"\"+\""};
const wchar_t kOddCharacters[] = L"()=,;.$\"#e+-_ \t09azZ\x00e9\x2013";

class Generator {
public:
    explicit Generator(unsigned seed) : mRandom(seed) {}

    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(mRandom); }

    template <class T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(N)];
    }

    std::wstring Number()
    {
        static const wchar_t* const kNumbers[] = {L"0", L"1", L"2", L"0.5", L".25", L"3e2", L"1e-3", L"60",
                                                  L"2000001", L"1e400", L"7.", L"1e"};
        return Pick(kNumbers);
    }

    std::wstring Expression(int depth)
    {
        switch (depth <= 0 ? Below(3) : Below(9)) {
        case 0:
            return Number();
        case 1:
            return Pick(kNames);
        case 2:
            return Pick(kStrings);
        case 3:
        case 4:
            return Expression(depth - 1) + Pick(kOperators) + Expression(depth - 1);
        case 5:
            return L"(" + Expression(depth - 1) + L")";
        case 6:
            return L"-" + Expression(depth - 1);
        default: {
            std::wstring call = std::wstring(Pick(kNames)) + L"(";
            const unsigned arguments = Below(5);
            for (unsigned i = 0; i < arguments; ++i)
                call += (i > 0 ? L", " : L"") + Expression(depth - 1);
            return call + (Below(8) != 0 ? L")" : L"");
        }
        }
    }

    std::wstring Formula()
    {
        std::wstring text;
        if (Below(4) == 0)
            text += L"x = " + Expression(2) + L"; ";
        text += Expression(4);
        if (Below(6) == 0)
            text += L"; " + Expression(2);
        return text;
    }

    std::wstring Mutated(std::wstring text)
    {
        const unsigned edits = 1 + Below(4);
        for (unsigned e = 0; e < edits; ++e) {
            const size_t at = text.empty() ? 0 : Below(static_cast<unsigned>(text.size()));
            switch (Below(4)) {
            case 0:
                if (!text.empty())
                    text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, kOddCharacters[Below(std::size(kOddCharacters) - 1)]);
                break;
            case 2:
                text.insert(at, text.substr(at, Below(12)));
                break;
            default:
                text.insert(at, Pick(kNames));
                break;
            }
        }
        return text;
    }

private:
    std::mt19937 mRandom;
};

std::vector<std::wstring> TableFormulas()
{
    std::vector<std::wstring> formulas;
    for (const char* file : {"formula-golden.txt", "formula-errors.txt", "formula-macros.txt"})
        for (const FormulaCase& c : ReadFormulaCases(file))
            formulas.push_back(c.formula);
    return formulas;
}

TEST(RandomFormulas, GeneratedFormulasCompileOrFailCleanly)
{
    Generator generator(20261207);
    for (int i = 0; i < 6000; ++i) {
        const std::wstring formula = generator.Formula();
        ASSERT_EQ(CheckFormula(formula), "") << Utf8(formula);
    }
}

TEST(RandomFormulas, MutatedFormulasCompileOrFailCleanly)
{
    Generator generator(7);
    const std::vector<std::wstring> seeds = TableFormulas();
    ASSERT_FALSE(seeds.empty());
    for (int i = 0; i < 12000; ++i) {
        const std::wstring formula = generator.Mutated(seeds[i % seeds.size()]);
        ASSERT_EQ(CheckFormula(formula), "") << Utf8(formula);
    }
}

// Deep nesting is refused with a message, not by exhausting the stack.
TEST(RandomFormulas, DeepNestingIsRefused)
{
    for (const std::wstring& open : {std::wstring(L"("), std::wstring(L"sin("), std::wstring(L"2^-")}) {
        std::wstring formula;
        for (int i = 0; i < 5000; ++i)
            formula += open;
        formula += L"1";
        ASSERT_EQ(CheckFormula(formula), "") << Utf8(open);
    }
}

// The seed corpus of the fuzz target, replayed through its entry.
TEST(RandomFormulas, FuzzCorpusReplays)
{
    const std::filesystem::path corpus = std::filesystem::path(SPIRO_TEST_DATA_DIR) / "formula-corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::wstring formula =
            FormulaFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(CheckFormula(formula), "") << entry.path().filename();
        ++files;
    }
    EXPECT_GT(files, 40);
}

}  // namespace
}  // namespace CalcTest
