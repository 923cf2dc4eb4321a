#include "framework/KVDTableViewMacPrintViewBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "graphics/Canvas.h"

namespace {

std::string ColumnIdentifier(long n)
{
    char text[32];
    std::snprintf(text, sizeof text, "Channel %ld", n);
    return text;
}

}  // namespace

SPIRO_KVDTableViewMacPrintViewBase::SPIRO_KVDTableViewMacPrintViewBase(PrintingInfoS_base info)
    : mInfo(std::move(info))
{
    mSheet = &AddSubview(std::make_unique<AppKit::View>());
    mTitleTable = static_cast<AppKit::TableView*>(&mSheet->AddSubview(std::make_unique<AppKit::TableView>()));
    mDataTable = static_cast<AppKit::TableView*>(&mSheet->AddSubview(std::make_unique<AppKit::TableView>()));
    for (AppKit::TableView* table : {mTitleTable, mDataTable}) {
        table->SetHasHeader(false);
        table->SetFontSize(kPrintFontSize);
        table->SetDataSource({[this, table] { return static_cast<size_t>(NumberOfRowsInTableView(*table)); },
                              [this, table](size_t row, const std::string& column) {
                                  return ObjectValue(*table, column, static_cast<long>(row));
                              }});
    }
}

Gfx::Size SPIRO_KVDTableViewMacPrintViewBase::CellSizeForText(const std::string& text) const
{
    static const std::unique_ptr<Gfx::Canvas> measure = Gfx::Canvas::CreateImage(1, 1);
    return measure->GetContext().MeasureText(text, kPrintFontSize);
}

double SPIRO_KVDTableViewMacPrintViewBase::FindHeaderHeight() const
{
    if (mInfo.mHeadVecMain.size() < 3)
        return 0;
    double tallest = 0;
    for (const KVD::String& text : mInfo.mHeadVecMain)
        tallest = std::max(tallest, CellSizeForText(KVD::ToU8String(text)).height);
    return tallest + 2 * kIntercellHeight;
}

int SPIRO_KVDTableViewMacPrintViewBase::PageCount(const AppKit::PrintInfo& paper)
{
    LayoutIfNeeded(paper);
    return static_cast<int>(mPageDetails.size());
}

void SPIRO_KVDTableViewMacPrintViewBase::LayoutIfNeeded(const AppKit::PrintInfo& paper)
{
    const AppKit::Rect page = paper.PageRect();
    if (page.width == mLaidOutForSize.width && page.height == mLaidOutForSize.height)
        return;
    mLaidOutForSize = {page.width, page.height};
    SetFrame({0, 0, page.width, page.height});
    mSheet->SetFrame({0, 0, page.width, page.height});
    const double headerHeight = FindHeaderHeight();
    const double rowHeight = CellSizeForText("Xg").height;
    for (AppKit::TableView* table : {mTitleTable, mDataTable})
        table->SetRowHeight(rowHeight + kIntercellHeight);
    mTitleTable->SetFrame({0, 0, page.width, headerHeight});
    mDataTable->SetFrame({0, headerHeight, page.width, std::max(0.0, page.height - headerHeight)});
    CalculatePages();
}

void SPIRO_KVDTableViewMacPrintViewBase::CalculatePages()
{
    // A page too small for one row, or rows without height, still print one row per page.
    const double step = mDataTable->RowHeight();
    const double fit = step > 0 ? std::trunc(mDataTable->Frame().height / step) : 0;
    mRowsPerPage = std::max<int64_t>(1, static_cast<int64_t>(fit));
    mTotalPagesDown = (std::max<int64_t>(0, mInfo.mLastRow) + mRowsPerPage - 1) / mRowsPerPage;
    mColumnWidths = mInfo.mColumnWidths;

    // Column groups: a column that does not fit starts the next group; each has at least one.
    std::vector<std::pair<int64_t, int64_t>> groups;
    const double sheetWidth = mSheet->Frame().width;
    int64_t first = 0;
    double running = 0;
    for (int64_t column = 0; column < static_cast<int64_t>(mColumnWidths.size()); ++column) {
        running += mColumnWidths[size_t(column)];
        if (running > sheetWidth && column > first) {
            groups.emplace_back(first, column - first);
            first = column;
            running = mColumnWidths[size_t(column)];
        }
    }
    if (!mColumnWidths.empty())
        groups.emplace_back(first, static_cast<int64_t>(mColumnWidths.size()) - first);

    mPageDetails.clear();
    for (int64_t band = 0; band < std::max<int64_t>(1, mTotalPagesDown); ++band) {
        const int64_t firstRow = band * mRowsPerPage;
        const int64_t rows = std::max<int64_t>(0, std::min(mRowsPerPage, mInfo.mLastRow - firstRow));
        for (const auto& [column, count] : groups)
            mPageDetails.push_back({column, count, firstRow, rows, static_cast<int64_t>(mPageDetails.size()) + 1});
    }
}

long SPIRO_KVDTableViewMacPrintViewBase::ActivePage0Based() const
{
    const AppKit::PrintOperation* operation = AppKit::PrintOperation::Current();
    return operation != nullptr ? operation->CurrentPage() : mDrawnPage;
}

const PageDetails_base* SPIRO_KVDTableViewMacPrintViewBase::ActivePage() const
{
    const long page = ActivePage0Based();
    return page >= 0 && size_t(page) < mPageDetails.size() ? &mPageDetails[size_t(page)] : nullptr;
}

long SPIRO_KVDTableViewMacPrintViewBase::FindCurrentColumn(const std::string& identifier)
{
    static const std::string prefix = "Channel ";
    if (identifier.compare(0, prefix.size(), prefix) != 0)
        return -1;
    return std::strtol(identifier.c_str() + prefix.size(), nullptr, 10);
}

long SPIRO_KVDTableViewMacPrintViewBase::NumberOfRowsInTableView(const AppKit::TableView& table) const
{
    const PageDetails_base* page = ActivePage();
    if (page == nullptr)
        return 0;
    if (&table == mTitleTable)
        return 1;
    return &table == mDataTable ? static_cast<long>(page->rowCount) : 0;
}

std::string SPIRO_KVDTableViewMacPrintViewBase::ObjectValue(const AppKit::TableView& table, const std::string& column,
                                                            long row) const
{
    const PageDetails_base* page = ActivePage();
    const long n = FindCurrentColumn(column);
    if (page == nullptr || n < 0 || row < 0)
        return {};
    const size_t c = static_cast<size_t>(page->firstColumn + n);
    if (&table == mTitleTable)
        return row == 0 && c > 0 && c < mInfo.mHeadVecMain.size() ? KVD::ToU8String(mInfo.mHeadVecMain[c]) : "";
    const size_t bodyRow = static_cast<size_t>(page->firstRow + row);
    if (&table != mDataTable || bodyRow >= mInfo.mBodyVecMain.size() || c >= mInfo.mBodyVecMain[bodyRow].size())
        return {};
    return KVD::ToU8String(mInfo.mBodyVecMain[bodyRow][c]);
}

void SPIRO_KVDTableViewMacPrintViewBase::ResizeDataColumns(const PageDetails_base& page, AppKit::TableView& table) const
{
    while (table.Columns().size() > size_t(page.columnCount))
        table.RemoveColumnAt(table.Columns().size() - 1);
    while (table.Columns().size() < size_t(page.columnCount)) {
        const std::string id = ColumnIdentifier(static_cast<long>(table.Columns().size()));
        table.AddColumn({id, "", 100});
    }
    for (int64_t i = 0; i < page.columnCount; ++i)
        table.SetColumnWidth(size_t(i), mColumnWidths[size_t(page.firstColumn + i)]);
}

void SPIRO_KVDTableViewMacPrintViewBase::DrawPage(Gfx::Context& context, int page)
{
    mDrawnPage = page;
    const PageDetails_base* details = ActivePage();
    if (details == nullptr)
        return;
    ResizeDataColumns(*details, *mTitleTable);
    ResizeDataColumns(*details, *mDataTable);
    mSheet->Display(context);
}
