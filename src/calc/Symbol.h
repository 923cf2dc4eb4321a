// One element of a compiled formula: a copy-on-write handle to its representation. Copies
// share the representation; every change goes through Set(), so a copy taken from the symbol
// table or from an RPN list never changes the symbol it was taken from.
#pragma once

#include "calc/SymbolRep.h"

namespace CalcParser {

class Symbol : public COWHandle<SymbolRep> {
public:
    // The default symbol: kind End, empty name.
    Symbol() = default;
    // Holds rep (a reference added).
    explicit Symbol(SymbolRep* rep) : COWHandle<SymbolRep>(rep) {}
    // A new constant.
    Symbol(SymType type, double value);
    // A new symbol of the kind, named by the text.
    Symbol(SymType type, const KVD::String& text);
    // A new channel symbol (kind 5) without a channel, asking for the given data.
    explicit Symbol(BlockDataType type);

    // The representation for a bare symbol kind.
    static SymbolRep* CreateRepFromType(SymType type);
    // The display name of a kind; "Unknown" for kinds that have none.
    static KVD::String TypeToString(SymType type);

    void SetName(const KVD::String& name) { Set()->SetName(name); }
    SymType GetType() const { return Get()->GetType(); }
    const KVD::String& GetName() const { return Get()->GetName(); }
    double GetValue() const { return Get()->GetValue(); }
};

}  // namespace CalcParser
