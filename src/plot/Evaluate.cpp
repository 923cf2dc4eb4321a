// The equation grammar. Boost.Spirit lives in this file only: it dominates build time.
#include "plot/Evaluate.h"

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

struct Emit {
    EquationCode& code;
    void operator()(int op) const { code.emplace_back(op); }
};

struct EmitNumber {
    EquationCode& code;
    void operator()(double value) const
    {
        code.emplace_back(static_cast<int>(kPush));
        code.emplace_back(value);
    }
};

struct Report {
    std::string& message;
    // Only the first failure is kept: it is the innermost, the others follow from it.
    void operator()(const boost::spirit::info& what, Iterator position, Iterator last) const
    {
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
    Calculator(EquationCode& code, std::string& message) : Calculator::base_type(expression)
    {
        using qi::_1;
        using qi::_r1;
        using qi::lit;
        const boost::phoenix::function<Emit> op(Emit{code});
        const boost::phoenix::function<EmitNumber> number(EmitNumber{code});
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
                               boost::phoenix::function<Report>(Report{message})(qi::_4, qi::_3, qi::_2));
    }

private:
    qi::rule<Iterator, void(int), ascii::space_type> expression, term, factor, primary;
};

}  // namespace

bool CompileEquation(const std::string& expression, EquationCode& code, std::string& message)
{
    code.clear();
    message.clear();
    Calculator calculator(code, message);
    Iterator position = expression.begin();
    const bool parsed = qi::phrase_parse(position, expression.end(), calculator(0), ascii::space);
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
    VM vm;
    out.clear();
    out.reserve(count);
    double t = t0;
    for (unsigned i = 0; i < count; ++i) {
        out.push_back(vm.Execute(t, code));
        t += dt;
    }
    return true;
}

}  // namespace KVD
