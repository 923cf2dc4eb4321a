#include "plot/SvgTransform.h"

#include "plot/BadSvgException.h"
#include "plot/SvgNumber.h"

namespace KVD {
namespace {

// Reads the text that a pattern expects, one piece at a time; every piece fails once one did.
class Matcher {
public:
    explicit Matcher(std::string_view text) : mRest(text) {}

    bool Literal(std::string_view literal) {
        mOk = mOk && mRest.substr(0, literal.size()) == literal;
        if (mOk)
            mRest.remove_prefix(literal.size());
        return mOk;
    }
    // Zero or more blanks; the number of them skipped.
    size_t Spaces() {
        size_t count = 0;
        while (!mRest.empty() && IsSvgSpace(mRest.front())) {
            mRest.remove_prefix(1);
            ++count;
        }
        return count;
    }
    std::string_view Take(size_t length) {
        std::string_view taken = mRest.substr(0, length);
        mRest.remove_prefix(length);
        return taken;
    }
    std::string_view Rest() const { return mRest; }
    bool Ok() const { return mOk; }
    bool AtEnd() const { return mOk && mRest.empty(); }
    void Fail() { mOk = false; }

private:
    std::string_view mRest;
    bool mOk = true;
};

float ToFloat(std::string_view number) {
    std::optional<float> value = ParseSvgFloat(number);
    if (!value)
        throw bad_svg_exception();
    return *value;
}

std::optional<std::string_view> SvgNumber(Matcher& m) {
    size_t length = ScanSvgNumber(m.Rest());
    if (!m.Ok() || length == 0) {
        m.Fail();
        return std::nullopt;
    }
    return m.Take(length);
}

// The rotation's own number form: [+-] digits* [.] digits*, possibly empty.
std::string_view RotationNumber(Matcher& m) {
    std::string_view rest = m.Rest();
    size_t at = 0;
    if (at < rest.size() && (rest[at] == '+' || rest[at] == '-'))
        ++at;
    while (at < rest.size() && rest[at] >= '0' && rest[at] <= '9')
        ++at;
    if (at < rest.size() && rest[at] == '.')
        ++at;
    while (at < rest.size() && rest[at] >= '0' && rest[at] <= '9')
        ++at;
    return m.Take(at);
}

}  // namespace

std::optional<Gfx::Point> MatchTranslation(std::string_view value) {
    Matcher m(TrimSvgSpace(value));
    m.Literal("translate");
    m.Spaces();
    m.Literal("(");
    m.Spaces();
    std::optional<std::string_view> x = SvgNumber(m);
    size_t blanks = m.Spaces();
    std::optional<std::string_view> y;
    if (m.Ok() && !m.Rest().empty() && m.Rest().front() == ',') {
        m.Literal(",");
        m.Spaces();
        y = SvgNumber(m);
        m.Spaces();
    } else if (blanks > 0 && m.Ok() && !m.Rest().empty() && m.Rest().front() != ')') {
        y = SvgNumber(m);
        m.Spaces();
    }
    m.Literal(")");
    if (!m.AtEnd())
        return std::nullopt;
    return Gfx::Point{ToFloat(*x), y ? ToFloat(*y) : 0.0f};
}

std::optional<float> MatchRotation(std::string_view value) {
    Matcher m(value);
    m.Literal("rotate(");
    std::string_view angle = RotationNumber(m);
    for (int i = 0; i < 2 && m.Ok(); ++i) {
        if (m.Spaces() == 0)
            m.Fail();
        RotationNumber(m);
    }
    m.Literal(")");
    if (!m.AtEnd())
        return std::nullopt;
    return ToFloat(angle);
}

std::string_view ReduceReference(std::string_view value) {
    constexpr std::string_view kPrefix = "url(#";
    size_t close = value.rfind(')');
    if (value.substr(0, kPrefix.size()) != kPrefix || close == std::string_view::npos || close + 1 != value.size())
        return value;
    return value.substr(kPrefix.size(), close - kPrefix.size());
}

}  // namespace KVD
