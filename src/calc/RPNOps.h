// Small operations on the RPN list and the evaluation stack shared by the optimising pushes.
// The evaluation stack's top produces the value of the RPN's last symbol: every push appends
// the symbol whose representation it puts on the stack.
#pragma once

#include "calc/Symbol.h"

namespace CalcParser {

inline unsigned Count(const RPNArray& rpn) { return rpn.GetCount(); }
inline unsigned Count(const RepStack& stack) { return stack.GetCount(); }

// The entry n places below the top of the stack (1 is the top); null when the stack is lower.
inline SymbolRep* StackEntry(const RepStack& stack, unsigned n)
{
    return n >= 1 && n <= Count(stack) ? stack[Count(stack) - n] : nullptr;
}

// Removes up to n entries from the top; never below empty.
void Pop(RepStack& stack, unsigned n);

// Removes the last symbol of the RPN (nothing when it is empty).
void RemoveLast(RPNArray& rpn);

// Index of the symbol whose representation is rep, searched from the end; -1 when absent.
int FindRep(const RPNArray& rpn, const SymbolRep* rep);

// The last symbol's representation made writable; stack entries that pointed to the shared
// one now point to its private copy.
SymbolRep* WritableLast(RPNArray& rpn, RepStack& stack);

// Whether the representation yields a stream a function can read: a channel, a source, a
// variable, or anything with an enumerator class of the host.
bool IsStreamRep(const SymbolRep* rep);

// A kind that is set and is not a sample stream (above 0 as a signed word): vectors, events.
inline bool IsNonSampleKind(KVDEnumDataType kind) { return static_cast<int32_t>(kind) > 0; }

}  // namespace CalcParser
