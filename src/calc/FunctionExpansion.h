// One macro of the formula language: a name, a template with the placeholders $1 to $5, the
// declared parameters (the word req for a required one, else the default text of an optional
// one) and a help text for the argument-count message. Macro calls are replaced in the formula
// text before it is tokenized.
#pragma once

#include <vector>

#include "foundation/KVDString.h"

namespace CalcParser {

class FunctionExpansion {
public:
    // Expanded texts and nested calls of one macro are bounded, so that a formula whose
    // placeholders duplicate their arguments cannot grow without limit.
    static constexpr unsigned kMaxExpandedLength = 65536;
    static constexpr int kMaxNesting = 64;

    FunctionExpansion() = default;
    // spec is split at white space into the parameter list.
    FunctionExpansion(const KVD::String& name, const KVD::String& replacement, KVD::String spec,
                      KVD::String help);
    FunctionExpansion& operator=(FunctionExpansion&& other) noexcept;
    FunctionExpansion(const FunctionExpansion&) = delete;

    const KVD::String& GetName() const { return mName; }
    // Whether the text holds the name at all (a cheap test before Expand).
    bool MayCall(const KVD::String& text) const;
    // Parameters other than req (compared without regard to case).
    unsigned GetNumOptionalParams() const;
    // The template with the arguments of argumentText in place of $1, $2, ...; the empty text
    // when a ")" has no "(".
    KVD::String Replace(const KVD::String& argumentText) const;
    // The text with every call of this macro replaced. Raises XArith for a call with too few
    // arguments, and for a result beyond the bounds above.
    KVD::String Expand(const KVD::String& text) const;

private:
    KVD::String Replace(const KVD::String& argumentText, int nesting) const;
    KVD::String Expand(const KVD::String& text, int nesting) const;
    void CompleteArguments(KVD::String& argumentText) const;
    [[noreturn]] void ThrowArgumentCount() const;

    KVD::String mName;
    KVD::String mTemplate;
    std::vector<KVD::String> mParams;
    KVD::String mHelp;
    KVD::String mSearchName;  // the name lower-cased, as calls appear in the prepared text
};

// Finds the next call of name (lower case, as a whole word) at or after position: sets
// position to its start, end to just after its closing bracket (untouched when the call is
// not closed) and argument to the text between the name and that bracket without the outer
// brackets. False when there is no further call.
bool gGetArgumentForFunction(const KVD::String& text, const KVD::String& name, unsigned& position, unsigned& end,
                             KVD::String& argument);

}  // namespace CalcParser
