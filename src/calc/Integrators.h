// The integrators: Integrate(source, reset, ...) and its older twin LegacyIntegrate, in four
// kinds (standard, absolute, positive, negative part). The reset argument, a text, decides
// which further parameters follow.
#pragma once

#include "calc/FuncRepEx.h"
#include "calc/SettingsKeywords.h"

namespace CalcParser {

class IntegrateBase : public FuncRepEx {
public:
    IntegrateBase(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs,
                  IntegralSettings::IntegralType type);

    SymbolRep* Clone() const override { return new IntegrateBase(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;
    void ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                       int argCount) override;

    IntegralSettings::IntegralType GetIntegralType() const { return mIntegralType; }

    static const wchar_t* const sUsage;

protected:
    // The word of the integral kind in the settings text.
    virtual KVD::String TypeWord() const;
    virtual const wchar_t* Usage() const { return sUsage; }

private:
    IntegralSettings::IntegralType mIntegralType;
};

class LegacyIntegrateBase : public IntegrateBase {
public:
    using IntegrateBase::IntegrateBase;

    SymbolRep* Clone() const override { return new LegacyIntegrateBase(*this); }

    static const wchar_t* const sUsage;

protected:
    KVD::String TypeWord() const override;
    const wchar_t* Usage() const override { return sUsage; }
};

}  // namespace CalcParser
