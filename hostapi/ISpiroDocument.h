// The spirometry document as its views, dialogs and report reach it: its settings and the
// settings of the flow and volume calculations it keeps. The setters of calculation settings
// push them into the host's calculations; those of the document's own settings go through the
// document's one settings handler. AutoBool outputs are 0xFFFF for true and 0 for false.
#pragma once

#include "IUnknown.h"

namespace Spirometry {

// F346E2BC-9D05-4E49-9B14-70B768A43E92: the document class, its commands, messages and events,
// and its persisted settings
inline constexpr _IID SpiroDocumentGUID = {0xF346E2BC, 0x9D05, 0x4E49, {0x9B, 0x14, 0x70, 0xB7, 0x68, 0xA4, 0x3E, 0x92}};
// 219B460E-D651-4606-AAFD-9F8441117D7F: marker interface of the spirometry document
inline constexpr _IID IID_ISpiroDocInterface = {0x219B460E, 0xD651, 0x4606, {0xAA, 0xFD, 0x9F, 0x84, 0x41, 0x11, 0x7D, 0x7F}};
// 5C217DB9-4561-4D48-9C69-FD83D06F6D52: the document's interface for the views
inline constexpr _IID IID_ISpiroDocument = {0x5C217DB9, 0x4561, 0x4D48, {0x9C, 0x69, 0xFD, 0x83, 0xD0, 0x6F, 0x6D, 0x52}};

// Index of the document's settings-change message in its id group (SpiroDocumentGUID): threshold,
// factor, non-forced flag, flow and volume channel, flow unit prefix, clamp level and clamp flag.
constexpr unsigned kSpiroSettingsChangeMsgIndex = 2;

// What a view asks of a document before it opens on it.
struct ISpiroDocInterface : IUnknown {};

struct ISpiroDocument : IUnknown {
    virtual HRESULT SetFlowHead(int head) = 0;                                            // slot 3
    virtual HRESULT SetCustomConst(double scale) = 0;                                     // slot 4
    virtual HRESULT SetUsingCustom(AutoBool custom) = 0;                                  // slot 5
    virtual HRESULT SetUseDriftCorr(AutoBool drift) = 0;                                  // slot 6
    virtual HRESULT SetApplyNLC(AutoBool compensate) = 0;                                 // slot 7
    virtual HRESULT GetFlowHead(int* head) const = 0;                                     // slot 8
    virtual HRESULT GetCustomConst(double* scale) const = 0;                              // slot 9
    virtual HRESULT GetUsingCustom(AutoBool* custom) const = 0;                           // slot 10
    virtual HRESULT GetUseDriftCorr(AutoBool* drift) const = 0;                           // slot 11
    virtual HRESULT GetApplyNLC(AutoBool* compensate) const = 0;                          // slot 12
    // mL, kept in 0..10000.
    virtual HRESULT SetWarmDeadSpaceAir(double millilitres) = 0;                          // slot 13
    virtual HRESULT SetUseVolCorr(AutoBool use) = 0;                                      // slot 14
    // Kept in 0.01..10.
    virtual HRESULT SetVolRatio(double ratio) = 0;                                        // slot 15
    virtual HRESULT GetWarmDeadSpaceAir(double* millilitres) const = 0;                   // slot 16
    virtual HRESULT GetUseVolCorr(AutoBool* use) const = 0;                               // slot 17
    virtual HRESULT GetVolRatio(double* ratio) const = 0;                                 // slot 18
    virtual HRESULT GetCalcVolRatio(double* ratio) const = 0;                             // slot 19
    virtual HRESULT GetVolRatioLimits(double* low, double* high) const = 0;               // slot 20
    virtual HRESULT GetVolRatioDefault(double* ratio) const = 0;                          // slot 21
    virtual HRESULT GetDeadSpaceLimits(double* low, double* high) const = 0;              // slot 22
    virtual HRESULT GetDeadSpaceDefault(double* millilitres) const = 0;                   // slot 23
    virtual HRESULT SetCycleDetectionFactor(double percent) = 0;                          // slot 24
    virtual HRESULT SetForcedExpirationThreshold(double multiple) = 0;                    // slot 25
    virtual HRESULT SetNonForcedInReport(AutoBool listed) = 0;                            // slot 26
    virtual HRESULT GetCycleDetectionFactor(double* percent) const = 0;                   // slot 27
    virtual HRESULT GetForcedExpirationThreshold(double* multiple) const = 0;             // slot 28
    virtual HRESULT GetNonForcedInReport(AutoBool* listed) const = 0;                     // slot 29
    virtual HRESULT SetRawFlowChan(int channel) = 0;                                      // slot 30
    virtual HRESULT GetRawFlowChan(int* channel) const = 0;                               // slot 31
    virtual HRESULT SetSpFlowChan(int channel) = 0;                                       // slot 32
    virtual HRESULT GetSpFlowChan(int* channel) const = 0;                                // slot 33
    virtual HRESULT SetSpFlowCalcChan(int channel) = 0;                                   // slot 34
    virtual HRESULT SetSpVolCalcChan(int channel) = 0;                                    // slot 35
    virtual HRESULT GetSpFlowCalcChan(int* channel) const = 0;                            // slot 36
    virtual HRESULT GetSpVolCalcChan(int* channel) const = 0;                             // slot 37
    // The candidate channels. *list must be null or an array an earlier call handed out: it is
    // freed (delete[]) and replaced by a new array of *count channels, which the caller frees.
    virtual HRESULT GetFlowCalcChanList(int* count, int** list) const = 0;                // slot 38
    virtual HRESULT GetVolCalcChanList(int* count, int** list) const = 0;                 // slot 39
};

}  // namespace Spirometry

KVD_INTERFACE_ID(Spirometry::ISpiroDocInterface, Spirometry::IID_ISpiroDocInterface);
KVD_INTERFACE_ID(Spirometry::ISpiroDocument, Spirometry::IID_ISpiroDocument);
