// A named variable inside a formula. Every use of the variable is a representation of its
// own (with its own enumerator index and text position), and all uses share one state: the
// defining expression and the host variable object, made when first needed.
#pragma once

#include <memory>

#include "calc/Symbol.h"
#include "foundation/COMPtr.h"

namespace CalcParser {

class VariableRep : public SymbolRep {
public:
    // A variable of the formula, defined (or only referred to) by name.
    explicit VariableRep(const KVD::String& name);
    // A variable the calculation already knows; named after it (unnamed when null).
    explicit VariableRep(IKVDCalcVariable* variable);

    // A new use of the same variable.
    SymbolRep* Clone() const override { return new VariableRep(*this); }
    // The value the variable had when the formula was parsed.
    KVD::String GetSettings() const override;
    // Has the variable create the enumerator of its values; records index on success.
    HRESULT CreateCalcEnum(int32_t index, IUnknown* outer, IUnknown** out, IOrrelData2* data) override;
    // Pushes a new use of the variable; a variable is never folded.
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int nArgs) override;
    // The host variable (made when needed), without a reference; null when it cannot be made.
    IKVDCalcVariable* GetVariable() const override;
    // Adds the variable and, for an expression, every variable its definition uses.
    void AddVariablesTo(CalcVariableArray* variables) const override;
    bool IsVariableRep() const override { return true; }

    // Makes the host variable of the number class (a definition that is one number) or of
    // the expression class, and hands it the value or the definition.
    HRESULT CreateVariable() const;

    // The RPN of the defining expression, shared by every use.
    RPNArray& Definition() { return mState->definition; }
    const RPNArray& Definition() const { return mState->definition; }

private:
    struct State {
        State();
        State(const State&) = delete;
        State& operator=(const State&) = delete;

        RPNArray definition;
        KVD::COMPtr<IKVDCalcVariable> variable;
        bool collecting = false;               // guards AddVariablesTo against a definition that uses itself
    };

    HRESULT SetUpVariable(bool number) const;

    std::shared_ptr<State> mState;
};

}  // namespace CalcParser
