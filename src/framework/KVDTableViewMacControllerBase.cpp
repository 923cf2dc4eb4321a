#include "framework/KVDTableViewMacControllerBase.h"

#include <cstdio>
#include <unistd.h>

#include "appkit/Menu.h"
#include "framework/ViewBase.h"

namespace {

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// Moves a file at the path to the path with "000" appended, or with the next free number
// ("001", ...) when an older backup holds that name, so that no earlier file is lost. True
// when the path is free now.
bool MoveAsideExisting(const std::string& path)
{
    if (!Exists(path))
        return true;
    for (int n = 0; n < 1000; ++n) {
        char suffix[4];
        std::snprintf(suffix, sizeof suffix, "%03d", n);
        const std::string backup = path + suffix;
        if (!Exists(backup))
            return std::rename(path.c_str(), backup.c_str()) == 0;
    }
    return false;
}

constexpr const char* kMainMenuAction = "tableMainMenuSelected:";
constexpr const char* kSummaryMenuAction = "tableSummaryMenuSelected:";
constexpr const char* kExportPopUpAction = "popupExportClicked:";

std::string HomeDocuments()
{
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/Documents";
}

}  // namespace

void SPIRO_KVDTableViewMacControllerBase::SetManagers(ITableDataManager* data, ITableViewManager* view,
                                                     ITableStoredRowInfo* rows)
{
    mTableDataMgr = data;
    mTableViewMgrI = view;
    mStoredRowInfo = rows;
}

uint32_t SPIRO_KVDTableViewMacControllerBase::SelectorOf(const AppKit::TableView& table, const AppKit::TableView& main)
{
    return &table == &main ? kTableMain : kTableSummary;
}

KVD::String SPIRO_KVDTableViewMacControllerBase::CellText(uint32_t table, int64_t row, int64_t column) const
{
    KVD::String text;
    if (mTableDataMgr != nullptr)
        mTableDataMgr->GetCellText(table, row, column, KVD::String::Setter(text));
    return text;
}

int SPIRO_KVDTableViewMacControllerBase::SendUserAction(unsigned int action, void* record)
{
    ViewBase* view = GetViewBase();
    return view != nullptr ? view->DoMacViewUserAction(action, record) : 0;
}

void SPIRO_KVDTableViewMacControllerBase::DoRemoveAllColumns(AppKit::TableView& main, const std::string& keepMain,
                                                            AppKit::TableView& summary, const std::string& keepSummary)
{
    for (auto [table, keep] : {std::make_pair(&main, &keepMain), std::make_pair(&summary, &keepSummary)})
        for (size_t i = table->Columns().size(); i-- > 0 && table->Columns().size() > 1;)
            if (table->Columns()[i].identifier != *keep)
                table->RemoveColumnAt(i);
}

void SPIRO_KVDTableViewMacControllerBase::DoAddNewColumns(AppKit::TableView& main, AppKit::TableView& summary)
{
    mNumCols = 0;
    if (mTableDataMgr != nullptr)
        mTableDataMgr->GetColumnCount(&mNumCols);
    for (int64_t column = 1; column < mNumCols; ++column) {
        const std::string title = KVD::ToU8String(CellText(kTableMain, 0, column));
        main.AddColumn({title, title, 100});
        summary.AddColumn({title, KVD::ToU8String(CellText(kTableSummary, 0, column)), 100});
    }
    for (auto [table, action] : {std::make_pair(&main, kMainMenuAction), std::make_pair(&summary, kSummaryMenuAction)}) {
        auto menu = std::make_shared<AppKit::Menu>();
        for (int64_t column = 0; column < mNumCols; ++column) {
            auto item = std::make_unique<AppKit::MenuItem>(KVD::ToU8String(CellText(SelectorOf(*table, main), 0, column)),
                                                           action, "");
            item->SetTarget(static_cast<AppKit::LayoutOwner*>(this));
            item->SetTag(static_cast<int>(column));
            item->SetOn(true);
            menu->Add(std::move(item));
        }
        table->SetMenu(std::move(menu));
    }
}

void SPIRO_KVDTableViewMacControllerBase::DoBoundsDidChange(AppKit::TableView& source, AppKit::TableView& target)
{
    const Gfx::Point& from = source.ScrollOrigin();
    if (from.x != target.ScrollOrigin().x)
        target.ScrollToPoint({from.x, target.ScrollOrigin().y});
}

long SPIRO_KVDTableViewMacControllerBase::GetNumberOfRowsInTableView(AppKit::TableView& table, AppKit::TableView& main,
                                                                    AppKit::TableView& summary)
{
    if (&table != &main && &table != &summary)
        return 0;
    int64_t stored = 0;
    if (mStoredRowInfo != nullptr)
        mStoredRowInfo->GetRowCount(SelectorOf(table, main), &stored);
    const int64_t rows = stored > 0 ? stored - 1 : 0;  // the first stored row is the header
    (&table == &main ? mNumRowsMain : mNumRowsSummary) = rows;
    return static_cast<long>(rows);
}

std::string SPIRO_KVDTableViewMacControllerBase::GetObjectValue(AppKit::TableView& table, const std::string& column,
                                                                long row, AppKit::TableView& main,
                                                                AppKit::TableView& summary)
{
    if ((&table != &main && &table != &summary) || row < 0)
        return {};
    const long index = table.ColumnWithIdentifier(column);
    if (index < 0)
        return {};
    if (&table == &main && index == 0) {
        char number[24];
        std::snprintf(number, sizeof number, "%ld", row + 1);
        return number;
    }
    const uint32_t selector = SelectorOf(table, main);
    int64_t stored = row + 1;
    if (KVD::COMPtr<ITableViewManagerMac> mac{KVD::com_cast(mTableViewMgrI.get())})
        mac->GetStoredRow(kTableNone, row + 1, &stored);
    return KVD::ToU8String(CellText(selector, stored, index));
}

void SPIRO_KVDTableViewMacControllerBase::DoTableViewSelectionDidChange(AppKit::TableView& changed,
                                                                       AppKit::TableView& main,
                                                                       AppKit::TableView& summary)
{
    if (mWatcher)
        return;
    mWatcher = true;
    (&changed == &main ? summary : main).SelectRow(-1);
    mWatcher = false;
    TableRowRecord record{changed.SelectedRow()};
    SendUserAction(kActionSelectionChanged, &record);
}

void SPIRO_KVDTableViewMacControllerBase::DoTableViewColumnDidMove(AppKit::TableView& moved, size_t from, size_t to,
                                                                  AppKit::TableView& main, AppKit::TableView& summary)
{
    if (mWatcher)
        return;
    mWatcher = true;
    (&moved == &main ? summary : main).MoveColumn(from, to);
    if (KVD::COMPtr<ITableViewMgrInternal> internal{KVD::com_cast(mTableViewMgrI.get())})
        internal->ColumnMoved(kTableNone, static_cast<int64_t>(from), static_cast<int64_t>(to));
    mWatcher = false;
}

std::string SPIRO_KVDTableViewMacControllerBase::GetMacViewCopyPrintText(
    const std::string& lineStart, const std::string& cellStart, const std::string& cellEnd, const std::string& lineEnd,
    AppKit::TableView& main, AppKit::TableView& summary)
{
    const int64_t columns = static_cast<int64_t>(main.Columns().size());
    mHeadVecMain.clear();
    mBodyVecMain.clear();
    std::string text;
    auto addLine = [&](const std::vector<KVD::String>& cells) {
        text += lineStart;
        for (const KVD::String& cell : cells)
            text += cellStart + KVD::ToU8String(cell) + cellEnd;
        text += lineEnd;
    };
    for (int64_t column = 0; column < columns; ++column)
        mHeadVecMain.push_back(CellText(kTableMain, 0, column));
    addLine(mHeadVecMain);

    std::vector<std::pair<uint32_t, long>> rows;
    if (main.SelectedRow() >= 0)
        rows.emplace_back(kTableMain, main.SelectedRow());
    else if (summary.SelectedRow() >= 0)
        rows.emplace_back(kTableSummary, summary.SelectedRow());
    else {
        for (long row = 0; row < GetNumberOfRowsInTableView(main, main, summary); ++row)
            rows.emplace_back(kTableMain, row);
        for (long row = 0; row < GetNumberOfRowsInTableView(summary, main, summary); ++row)
            rows.emplace_back(kTableSummary, row);
    }
    for (const auto& [table, row] : rows) {
        std::vector<KVD::String> cells;
        for (int64_t column = 0; column < columns; ++column)
            cells.push_back(CellText(table, row + 1, column));
        addLine(cells);
        mBodyVecMain.push_back(std::move(cells));
    }
    return text;
}

PrintingInfoS_base SPIRO_KVDTableViewMacControllerBase::GetPrintingInfo(const AppKit::TableView& main) const
{
    PrintingInfoS_base info;
    info.mLastRow = static_cast<int64_t>(mBodyVecMain.size());
    info.mLastColumn = static_cast<int64_t>(mHeadVecMain.size());
    for (const AppKit::TableView::Column& column : main.Columns())
        info.mColumnWidths.push_back(column.width);
    info.mColumnWidths.resize(mHeadVecMain.size(), 100);
    info.mHeadVecMain = mHeadVecMain;
    info.mBodyVecMain = mBodyVecMain;
    return info;
}

void SPIRO_KVDTableViewMacControllerBase::DoExportFile(const std::string& textFormatTitle, AppKit::TableView& main,
                                                      AppKit::TableView& summary)
{
    AppKit::SavePanel panel;
    panel.directory = HomeDocuments();
    panel.message = kExportMessage;
    panel.title = kExportTitle;
    panel.allowedFileTypes = {"txt", "csv"};
    panel.extensionHidden = false;
    panel.canCreateDirectories = true;
    auto popUp = std::make_unique<AppKit::PopUpButton>(AppKit::Rect{0, 0, 200, 20});
    popUp->SetTitle("File format:");
    popUp->SetToolTip("choose file format");
    popUp->AddItem(textFormatTitle);
    popUp->AddItem(kCSVFormatTitle);
    popUp->SetTarget(static_cast<AppKit::LayoutOwner*>(this));
    popUp->SetAction(kExportPopUpAction);
    panel.SetAccessoryView(std::move(popUp));

    mExportPanel = &panel;
    const int answer = panel.RunModal();
    mExportPanel = nullptr;
    if (answer != AppKit::SavePanel::kOK)
        return;
    const std::string path = panel.Path();
    if (!MoveAsideExisting(path))
        return;  // the file there could not be kept: it is not overwritten either
    const long selected = main.SelectedRow() >= 0 ? main.SelectedRow() : summary.SelectedRow();
    const bool csv = panel.allowedFileTypes == std::vector<std::string>{"csv"};
    TableExportRecord record{path, selected >= 0 ? 1 : 0, selected, csv ? kExportCSV : kExportText};
    SendUserAction(kActionExport, &record);
}

void SPIRO_KVDTableViewMacControllerBase::PopupExportClicked(AppKit::PopUpButton& popUp)
{
    if (mExportPanel != nullptr)
        mExportPanel->allowedFileTypes = {popUp.IndexOfSelectedItem() == 1 ? "csv" : "txt"};
}

void SPIRO_KVDTableViewMacControllerBase::DoBtnSettingsClicked()
{
    SendUserAction(kActionSettings, nullptr);
}

void SPIRO_KVDTableViewMacControllerBase::DoBtnAddToDPClicked(AppKit::TableView& summary)
{
    TableRowRecord record{summary.SelectedRow()};
    SendUserAction(kActionAddToDataPad, &record);
}

void SPIRO_KVDTableViewMacControllerBase::DoBtnScrollToEndClicked()
{
    SendUserAction(kActionScrollToEnd, nullptr);
}

bool SPIRO_KVDTableViewMacControllerBase::RespondsTo(const std::string& selector) const
{
    return selector == kExportPopUpAction || selector == kMainMenuAction || selector == kSummaryMenuAction ||
           SPIRO_KVDDocViewWindowController::RespondsTo(selector);
}

bool SPIRO_KVDTableViewMacControllerBase::Perform(const std::string& selector, void* sender)
{
    if (selector == kExportPopUpAction && sender != nullptr) {
        PopupExportClicked(*static_cast<AppKit::PopUpButton*>(sender));
        return true;
    }
    // A header menu item shows its column's state: choosing it toggles the check.
    if ((selector == kMainMenuAction || selector == kSummaryMenuAction) && sender != nullptr) {
        auto* item = static_cast<AppKit::MenuItem*>(sender);
        item->SetOn(!item->IsOn());
        return true;
    }
    return SPIRO_KVDDocViewWindowController::Perform(selector, sender);
}
