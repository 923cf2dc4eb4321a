// The window controller of a view that shows a host-managed table in two table views, the main
// table and the summary table under it, with the same columns kept in step. Cell texts come
// from the host's table managers; what the user does (selects, exports, asks for settings, adds
// a summary row to the data pad, scrolls to the end) goes to the owner view as a user action.
// The subclass owns the two table views and its layout, and calls these from its handlers.
#pragma once

#include <string>
#include <vector>

#include "ITableManagers.h"
#include "appkit/SavePanel.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "framework/KVDDocViewWindowController.h"

// The snapshot of a table that printing lays out.
struct PrintingInfoS_base {
    int64_t mLastRow = 0;     // rows of the body
    int64_t mLastColumn = 0;  // columns
    std::vector<double> mColumnWidths;
    std::vector<KVD::String> mHeadVecMain;
    std::vector<std::vector<KVD::String>> mBodyVecMain;
};

class SPIRO_KVDTableViewMacControllerBase : public SPIRO_KVDDocViewWindowController {
public:
    // User actions sent to the owner view (DoMacViewUserAction).
    enum UserAction : unsigned int {
        kActionSelectionChanged = 1,  // TableRowRecord
        kActionExport = 2,            // TableExportRecord
        kActionSettings = 3,          // no record
        kActionAddToDataPad = 4,      // TableRowRecord
        kActionScrollToEnd = 5,       // no record
    };
    enum ExportFormat : int { kExportText = 0, kExportCSV = 1 };
    struct TableRowRecord {
        long row;  // -1: none
    };
    struct TableExportRecord {
        std::string path;
        long selectedRows;
        long firstSelectedRow;  // -1: none
        int format;             // ExportFormat
    };

    static constexpr const char* kExportMessage = "Please select a path where to save.";
    static constexpr const char* kExportTitle = "Export Table View";
    static constexpr const char* kCSVFormatTitle = "CSV (Comma delimited) (*.csv)";

    using SPIRO_KVDDocViewWindowController::SPIRO_KVDDocViewWindowController;

    void SetManagers(ITableDataManager* data, ITableViewManager* view, ITableStoredRowInfo* rows);

    // Every column but the one named for each table goes, from the last backwards.
    void DoRemoveAllColumns(AppKit::TableView& main, const std::string& keepMain, AppKit::TableView& summary,
                            const std::string& keepSummary);
    // A column for each data column after the first in both tables, and a header menu for each.
    void DoAddNewColumns(AppKit::TableView& main, AppKit::TableView& summary);
    // The target follows the source's horizontal scrolling.
    void DoBoundsDidChange(AppKit::TableView& source, AppKit::TableView& target);
    long GetNumberOfRowsInTableView(AppKit::TableView& table, AppKit::TableView& main, AppKit::TableView& summary);
    std::string GetObjectValue(AppKit::TableView& table, const std::string& column, long row,
                               AppKit::TableView& main, AppKit::TableView& summary);
    void DoTableViewSelectionDidChange(AppKit::TableView& changed, AppKit::TableView& main, AppKit::TableView& summary);
    void DoTableViewColumnDidMove(AppKit::TableView& moved, size_t from, size_t to, AppKit::TableView& main,
                                  AppKit::TableView& summary);
    // The header line, then a line per selected row (every row of both tables when none is
    // selected), each line lineStart, then cellStart text cellEnd per column, then lineEnd. The
    // same texts are kept for printing.
    std::string GetMacViewCopyPrintText(const std::string& lineStart, const std::string& cellStart,
                                        const std::string& cellEnd, const std::string& lineEnd,
                                        AppKit::TableView& main, AppKit::TableView& summary);
    // The texts of the last copy or print text, with the main table's column widths.
    PrintingInfoS_base GetPrintingInfo(const AppKit::TableView& main) const;
    // Asks for a file in a save panel, text or CSV, and sends the export action with it.
    void DoExportFile(const std::string& textFormatTitle, AppKit::TableView& main, AppKit::TableView& summary);
    // The format pop-up picks the file type of the panel being run.
    void PopupExportClicked(AppKit::PopUpButton& popUp);
    void DoBtnSettingsClicked();
    void DoBtnAddToDPClicked(AppKit::TableView& summary);
    void DoBtnScrollToEndClicked();

    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

protected:
    KVD::COMPtr<ITableDataManager> mTableDataMgr;
    KVD::COMPtr<ITableViewManager> mTableViewMgrI;
    KVD::COMPtr<ITableStoredRowInfo> mStoredRowInfo;
    int64_t mNumRowsMain = 0;
    int64_t mNumRowsSummary = 0;
    int64_t mNumCols = 0;
    bool mWatcher = false;
    uint64_t mLastTickCount = 0;
    int32_t mFlags = 0;
    std::vector<KVD::String> mHeadVecMain;
    std::vector<std::vector<KVD::String>> mBodyVecMain;

private:
    static uint32_t SelectorOf(const AppKit::TableView& table, const AppKit::TableView& main);
    KVD::String CellText(uint32_t table, int64_t row, int64_t column) const;
    int SendUserAction(unsigned int action, void* record);

    AppKit::SavePanel* mExportPanel = nullptr;  // while the export panel runs
};
