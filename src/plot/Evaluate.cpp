// The equation grammar. Boost.Spirit lives in this file only: it dominates build time.
#include "plot/Evaluate.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include <boost/phoenix/function.hpp>
#include <boost/phoenix/operator.hpp>
#include <boost/spirit/include/qi.hpp>

#include "foundation/XKVD.h"
#include "ResultCodes.h"

namespace KVD {
namespace {

namespace qi = boost::spirit::qi;
namespace ascii = boost::spirit::ascii;
using Iterator = std::string::const_iterator;

// The quiet NaN of a sample that could not be computed.
double FailedSample()
{
    constexpr unsigned long long kBits = 0x7FF8600000000000ull;
    double value;
    std::memcpy(&value, &kBits, sizeof value);
    return value;
}

// Where the grammar's actions write: the compilation under way on this thread. The grammar
// itself holds no state, so one instance serves every call and its rules are built once.
struct Compilation {
    EquationCode* code = nullptr;
    std::string* message = nullptr;
};
thread_local Compilation tCompilation;

struct Emit {
    void operator()(int op) const { tCompilation.code->emplace_back(op); }
};

struct EmitNumber {
    void operator()(double value) const
    {
        tCompilation.code->emplace_back(static_cast<int>(kPush));
        tCompilation.code->emplace_back(value);
    }
};

struct Report {
    // Only the first failure is kept: it is the innermost, the others follow from it.
    void operator()(const boost::spirit::info& what, Iterator position, Iterator last) const
    {
        std::string& message = *tCompilation.message;
        if (!message.empty())
            return;
        std::ostringstream text;
        text << "Expecting " << what << " here: \"" << std::string(position, last) << '"';
        message = text.str();
    }
};

// Each rule takes the nesting depth; a primary beyond kMaxEquationNesting does not match.
class Calculator : public qi::grammar<Iterator, void(int), ascii::space_type> {
public:
    Calculator() : Calculator::base_type(expression)
    {
        using qi::_1;
        using qi::_r1;
        using qi::lit;
        const boost::phoenix::function<Emit> op;
        const boost::phoenix::function<EmitNumber> number;
        const auto deeper = _r1 + 1;

        expression = term(_r1) >> *(('+' > term(_r1))[op(kAdd)] | ('-' > term(_r1))[op(kSubtract)]);
        term = factor(_r1) >> *(('*' > factor(_r1))[op(kMultiply)] | ('/' > factor(_r1))[op(kDivide)] |
                                ('%' > factor(_r1))[op(kModulo)]);
        factor = primary(_r1) >> *(('^' > primary(_r1))[op(kPower)]);
        primary = qi::eps(_r1 <= kMaxEquationNesting) >>
                  (qi::double_[number(_1)] | lit("pi")[number(3.14159265)] | lit("e")[number(2.71828183)] |
                   ('(' > expression(deeper) > ')') | (lit("sin(") > expression(deeper) > ')')[op(kSin)] |
                   (lit("cos(") > expression(deeper) > ')')[op(kCos)] |
                   (lit("tan(") > expression(deeper) > ')')[op(kTan)] |
                   (lit("round(") > expression(deeper) > ')')[op(kRound)] |
                   (lit("ceil(") > expression(deeper) > ')')[op(kCeil)] |
                   (lit("floor(") > expression(deeper) > ')')[op(kFloor)] |
                   (lit("sqrt(") > expression(deeper) > ')')[op(kSqrt)] |
                   (lit("log(") > expression(deeper) > ')')[op(kLog10)] |
                   (lit("ln(") > expression(deeper) > ')')[op(kLn)] | lit('t')[op(kPushT)] |
                   ('-' > primary(deeper))[op(kNegate)] | ('+' > primary(deeper)));

        expression.name("expression");
        term.name("term");
        factor.name("factor");
        qi::on_error<qi::fail>(expression,
                               boost::phoenix::function<Report>()(qi::_4, qi::_3, qi::_2));
    }

private:
    qi::rule<Iterator, void(int), ascii::space_type> expression, term, factor, primary;
};

}  // namespace

bool CompileEquation(const std::string& expression, EquationCode& code, std::string& message)
{
    static const Calculator calculator;
    code.clear();
    message.clear();
    tCompilation = {&code, &message};
    Iterator position = expression.begin();
    const bool parsed = qi::phrase_parse(position, expression.end(), calculator(0), ascii::space);
    tCompilation = {};
    return parsed && position == expression.end();
}

bool Evaluate(const std::string& expression, double t0, double dt, unsigned count, std::vector<double>& out)
{
    if (count > kMaxEquationSamples) {
        out.clear();
        return false;
    }
    EquationCode code;
    std::string message;
    const bool compiled = CompileEquation(expression, code, message);
    if (!message.empty())
        XKVD(KVD::ToKVDString(message), KVD_E_BADSTATE);  // logs the failure; nothing is thrown
    const int need = compiled ? VM::StackNeed(code) : -1;
    if (need < 1 || need > VM::kStackSize) {
        out.assign(count, FailedSample());
        return false;
    }
    // Samples go through the machine in blocks as large as its stack allows.
    const unsigned block = std::min<unsigned>(VM::kStackSize / need, std::max(count, 1u));
    std::vector<double> t(block);
    VM vm;
    out.resize(count);
    double running = t0;
    for (unsigned done = 0; done < count; done += block) {
        const unsigned n = std::min(block, count - done);
        for (unsigned i = 0; i < n; ++i) {
            t[i] = running;
            running += dt;
        }
        vm.Execute(t.data(), n, code, out.data() + done);
    }
    return true;
}

}  // namespace KVD
