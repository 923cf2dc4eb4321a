// The host's table managers: a table the host keeps (rows of cells under a header row) in two
// parts, the main table and the summary table, and how a view of it maps its rows and columns.
#pragma once

#include "IKVDString.h"
#include "IUnknown.h"

// BC13A9BF-0B55-46C1-9DCD-B74D9DD83154
inline constexpr _IID IID_ITableDataManager = {0xBC13A9BF, 0x0B55, 0x46C1, {0x9D, 0xCD, 0xB7, 0x4D, 0x9D, 0xD8, 0x31, 0x54}};
// 3798C656-FC89-4175-AC08-351D29ECCC66
inline constexpr _IID IID_ITableViewManager = {0x3798C656, 0xFC89, 0x4175, {0xAC, 0x08, 0x35, 0x1D, 0x29, 0xEC, 0xCC, 0x66}};
// 4D65BC5A-576D-4FC9-A816-C94029A10A0C
inline constexpr _IID IID_ITableViewManagerMac = {0x4D65BC5A, 0x576D, 0x4FC9, {0xA8, 0x16, 0xC9, 0x40, 0x29, 0xA1, 0x0A, 0x0C}};
// CE7DC62D-A6A4-4F4F-92C8-A1DA60DE57F3
inline constexpr _IID IID_ITableViewMgrInternal = {0xCE7DC62D, 0xA6A4, 0x4F4F, {0x92, 0xC8, 0xA1, 0xDA, 0x60, 0xDE, 0x57, 0xF3}};
// 9E0C2C20-E707-4523-8C82-11F7EEE99BE6
inline constexpr _IID IID_ITableStoredRowInfo = {0x9E0C2C20, 0xE707, 0x4523, {0x8C, 0x82, 0x11, 0xF7, 0xEE, 0xE9, 0x9B, 0xE6}};

// Which part of the table a call concerns (0 where it concerns none).
enum TableSelector : uint32_t {
    kTableNone = 0,
    kTableMain = 8,
    kTableSummary = 16,
};

struct ITableDataManager : IUnknown {
    // The text of a cell; row 0 is the header row, whose cells are the column titles.
    virtual HRESULT GetCellText(uint32_t table, int64_t row, int64_t column, IAutoKVDString** text) = 0;  // slot 3
    virtual HRESULT GetColumnCount(int64_t* count) = 0;                                                 // slot 4
};

// The view's side of the table: what it does is asked of its other interfaces when needed.
struct ITableViewManager : IUnknown {};

struct ITableViewManagerMac : IUnknown {
    // The stored row shown at a view row (both counting the header row as 0).
    virtual HRESULT GetStoredRow(uint32_t table, int64_t viewRow, int64_t* storedRow) = 0;              // slot 3
};

struct ITableViewMgrInternal : IUnknown {
    // The user dragged a column from one place to another.
    virtual HRESULT ColumnMoved(uint32_t table, int64_t from, int64_t to) = 0;                          // slot 3
};

struct ITableStoredRowInfo : IUnknown {
    // The rows stored in the table, its header row included.
    virtual HRESULT GetRowCount(uint32_t table, int64_t* count) = 0;                                    // slot 3
};

KVD_INTERFACE_ID(ITableDataManager, IID_ITableDataManager);
KVD_INTERFACE_ID(ITableViewManager, IID_ITableViewManager);
KVD_INTERFACE_ID(ITableViewManagerMac, IID_ITableViewManagerMac);
KVD_INTERFACE_ID(ITableViewMgrInternal, IID_ITableViewMgrInternal);
KVD_INTERFACE_ID(ITableStoredRowInfo, IID_ITableStoredRowInfo);
