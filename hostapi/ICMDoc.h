// The host's cyclic-measurements part of a data document, and its cycle detection: the
// parameters by number and the event formula that finds the cycles of a channel.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

// B5AE0FF3-8045-4734-966A-ED2EED6AC13A
inline constexpr _IID IID_ICMDoc = {0xB5AE0FF3, 0x8045, 0x4734, {0x96, 0x6A, 0xED, 0x2E, 0xED, 0x6A, 0xC1, 0x3A}};
// F0154486-E19F-495A-B4AD-7D1B958BB236
inline constexpr _IID IID_ICMCycleDetect = {0xF0154486, 0xE19F, 0x495A, {0xB4, 0xAD, 0x7D, 0x1B, 0x95, 0x8B, 0xB2, 0x36}};

// Numbers of the cycle-detection parameters; the others are not the host's.
enum CMCycleParameter : int32_t {
    kCMHysteresis = 3,    // share (0 to 1) of the recent phases' smallest peak excursion from
                          // the level that the signal must pass on the other side before a
                          // crossing counts
    kCMMinimumCycle = 5,  // seconds: a cycle start closer than this to the last one is none
    kCMSmoothing = 8,     // samples of the moving mean the signal is detected on (0 or 1: none)
    kCMLevel = 9,         // the level, in the channel's unit, whose crossings begin cycles
};

// The channel id of an event-formula request whose text names the channel.
constexpr uint64_t kCMChannelByText = 0xC0000000FFFFFFFFull;

struct ICMCycleDetect : IUnknown {
    // Every parameter back to the host's default.
    virtual HRESULT ResetParameters() = 0;                                                // slot 3
    // 0xF800400A for a number the host does not have or a value outside its range, the
    // parameter untouched.
    virtual HRESULT SetParameter(int32_t number, double value) = 0;                       // slot 4
    virtual HRESULT GetParameter(int32_t number, double* value) = 0;                      // slot 5
    // The formula of the host's language whose events are the starts of the channel's cycles
    // under the current parameters. edge 0: cycles start where the signal rises through the
    // level, 1: where it falls through it. channel: a channel number of 0 or more names the
    // channel ("Ch" and the number + 1), -1 (kCMChannelByText) leaves it to the text; the
    // flags word is not the host's concern.
    virtual HRESULT GetEventFormula(IAutoKVDString* channelText, int32_t edge, TChannelId channel,
                                    IAutoKVDString** formula) = 0;                        // slot 6
};

struct ICMDoc : IUnknown {
    // The part's cycle detection, one per document, with a reference.
    virtual HRESULT GetCycleDetection(ICMCycleDetect** detection) = 0;                   // slot 3
};

KVD_INTERFACE_ID(ICMCycleDetect, IID_ICMCycleDetect);
KVD_INTERFACE_ID(ICMDoc, IID_ICMDoc);
