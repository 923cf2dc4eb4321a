// The host's arithmetic operators over sample streams, as the formula compiler names them
// (GUID_ArithEnumObj): two streams combined (sub-id 0), a stream with a constant operand or
// negated (1), a standard function of a stream (4), a window with stream bounds (7) and with
// constant bounds (8).
#pragma once

#include "host/calc/HostSampleEnum.h"

namespace HostCalc {

// Settings: the operator's kind, 23 (+) to 30 (atan2).
class ArithBinaryEnum : public HostSampleEnumT<ArithBinaryEnum> {
public:
    ArithBinaryEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 2) {}

protected:
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    int mKind = 23;
};

// Settings: the kind (7 negation, 8-21 an operator with a constant), then the constant.
class ArithUnaryEnum : public HostSampleEnumT<ArithUnaryEnum> {
public:
    ArithUnaryEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 1) {}

protected:
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    int mKind = 7;
    double mConstant = 0.0;
};

// Settings: the function number, 1 (sin) to 21 (imag).
class ArithStdFuncEnum : public HostSampleEnumT<ArithStdFuncEnum> {
public:
    ArithStdFuncEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 1) {}

protected:
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    int mNumber = 1;
};

// window(x, low, high) over three streams: 1 where low <= x < high, else 0.
class ArithWindowEnum : public HostSampleEnumT<ArithWindowEnum> {
public:
    ArithWindowEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 3) {}

protected:
    bool ReadSettings(const KVD::String&) override { return true; }
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;
};

// Settings: the low and the high bound.
class ArithWindowUnaryEnum : public HostSampleEnumT<ArithWindowUnaryEnum> {
public:
    ArithWindowUnaryEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : HostSampleEnumT(classObject, data, 1) {}

protected:
    bool ReadSettings(const KVD::String& text) override;
    void Compute(float* out, const float* const* inputs, int32_t position, uint32_t n) override;

private:
    double mLow = 0.0;
    double mHigh = 0.0;
};

}  // namespace HostCalc
