// The exception thrown inside the system: a result code and a message. Every one writes a log
// line when it is made, even when it is later caught and ignored: to standard error, or where
// the environment variable SPIRO_LOG says: "off" for nowhere, "stderr", or a file to append to.
#pragma once

#include <exception>

#include "foundation/KVDString.h"

class NSBundle;

class XKVD : public std::exception {
public:
    // The message is the code's built-in text (the bundle is not consulted).
    explicit XKVD(int code, NSBundle* bundle = nullptr);
    // The message is the text, with a line feed added unless the code says it is complete.
    XKVD(const KVD::String& message, int code, NSBundle* bundle = nullptr);
    ~XKVD() override = default;

    // The message as UTF-8; valid while the exception lives.
    const char* what() const noexcept override;
    virtual KVD::String why() const;
    int GetCode() const { return mCode; }

    static constexpr const char* kLogVariable = "SPIRO_LOG";

    static KVD::String MakeMsg(NSBundle* bundle, int code);
    static KVD::String MakeMsgForKVDHR(int code, NSBundle* bundle);

private:
    void Log() const;

    int mCode;
    mutable KVD::String mMessage;
};
