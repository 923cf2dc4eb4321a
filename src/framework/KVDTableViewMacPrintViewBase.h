// Prints a snapshot of a table (from the table-view controller) page by page: the columns are
// taken left to right into groups that fit the sheet's width, the rows into bands that fit its
// height, and every group is printed for every band. Each page holds a header table with the
// column titles and a data table with the page's rows.
#pragma once

#include <string>
#include <vector>

#include "appkit/PrintView.h"
#include "framework/KVDTableViewMacControllerBase.h"

struct PageDetails_base {
    int64_t firstColumn = 0;
    int64_t columnCount = 0;
    int64_t firstRow = 0;
    int64_t rowCount = 0;
    int64_t pageNumber = 0;  // 1-based
};

class SPIRO_KVDTableViewMacPrintViewBase : public AppKit::DocViewPrintBase {
public:
    static constexpr double kPrintFontSize = 8;
    static constexpr double kIntercellHeight = 2;

    // initWithPrintingInfo:withSheetInfo:
    explicit SPIRO_KVDTableViewMacPrintViewBase(PrintingInfoS_base info);

    // Lays out for the paper when it changed since the last layout.
    int PageCount(const AppKit::PrintInfo& paper) override;
    void DrawPage(Gfx::Context& context, int page) override;
    // The page being printed (0-based), else the page last drawn.
    long ActivePage0Based() const;

    // The tables' data: nothing before pagination; the header table has one row, the data
    // table the active page's rows.
    long NumberOfRowsInTableView(const AppKit::TableView& table) const;
    std::string ObjectValue(const AppKit::TableView& table, const std::string& column, long row) const;

    const std::vector<PageDetails_base>& GetPageDetails() const { return mPageDetails; }
    int64_t TotalPagesDown() const { return mTotalPagesDown; }
    int64_t RowsPerPage() const { return mRowsPerPage; }
    // The tallest header text and room above and below it; 0 for fewer than three headers.
    double FindHeaderHeight() const;
    Gfx::Size CellSizeForText(const std::string& text) const;

    AppKit::TableView& HeaderTable() const { return *mTitleTable; }
    AppKit::TableView& DataTable() const { return *mDataTable; }

private:
    void LayoutIfNeeded(const AppKit::PrintInfo& paper);
    void CalculatePages();
    // The table gets the page's columns ("Channel 0", ...) with their widths.
    void ResizeDataColumns(const PageDetails_base& page, AppKit::TableView& table) const;
    // The number in a column identifier "Channel N", or -1.
    static long FindCurrentColumn(const std::string& identifier);
    const PageDetails_base* ActivePage() const;

    PrintingInfoS_base mInfo;
    AppKit::View* mSheet;
    AppKit::TableView* mTitleTable;
    AppKit::TableView* mDataTable;
    std::vector<double> mColumnWidths;
    std::vector<PageDetails_base> mPageDetails;
    int64_t mTotalPagesDown = 0;
    int64_t mRowsPerPage = 0;
    Gfx::Size mLaidOutForSize{-1, -1};
    int mDrawnPage = 0;
};
