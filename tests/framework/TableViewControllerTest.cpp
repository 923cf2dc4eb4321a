// The table-view controller over a host table of 3 columns, 4 main rows and 2 summary rows:
// columns built from the data manager, cell texts, the copy/print text, export through the
// save panel, moves and selections kept in step; and the print view's pages across and down.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "appkit/Menu.h"
#include "appkit/PrintView.h"
#include "framework/KVDTableViewMacPrintViewBase.h"
#include "graphics/Canvas.h"
#include "framework/ViewBase.h"

namespace {

// Cells "<table letter><row>.<column>"; the header row holds "Col <column>".
class TableManagers final : public ITableDataManager,
                            public ITableViewManager,
                            public ITableStoredRowInfo,
                            public ITableViewManagerMac,
                            public ITableViewMgrInternal {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = nullptr;
        if (iid == IID_ITableViewManagerMac)
            *out = static_cast<ITableViewManagerMac*>(this);
        else if (iid == IID_ITableViewMgrInternal)
            *out = static_cast<ITableViewMgrInternal*>(this);
        return *out != nullptr ? KVD_S_OK : KVD_E_NOINTERFACE;
    }
    HRESULT GetCellText(uint32_t table, int64_t row, int64_t column, IAutoKVDString** text) override
    {
        const std::string cell = row == 0 ? "Col " + std::to_string(column)
                                          : std::string(table == kTableMain ? "m" : "s") + std::to_string(row) + "." +
                                                std::to_string(column);
        KVD::String(cell).GetOut(text);
        return KVD_S_OK;
    }
    HRESULT GetColumnCount(int64_t* count) override { return *count = 3, KVD_S_OK; }
    HRESULT GetRowCount(uint32_t table, int64_t* count) override { return *count = table == kTableMain ? 5 : 3, KVD_S_OK; }
    // The view shows the stored rows in reverse.
    HRESULT GetStoredRow(uint32_t, int64_t viewRow, int64_t* stored) override { return *stored = 5 - viewRow, KVD_S_OK; }
    HRESULT ColumnMoved(uint32_t, int64_t from, int64_t to) override { return moves.emplace_back(from, to), KVD_S_OK; }

    std::vector<std::pair<int64_t, int64_t>> moves;
};

class ActionView : public ViewBase {
public:
    ActionView() : ViewBase(nullptr, nullptr, nullptr, nullptr, L"", nullptr) {}
    KVD::String Edit_CopyToClipboardMenuText() const override { return L""; }
    KVD::String File_PrintMenuText() const override { return L""; }
    int DoMacViewUserAction(unsigned int action, void* record) override
    {
        actions.push_back(action);
        if (action == SPIRO_KVDTableViewMacControllerBase::kActionExport)
            exported = *static_cast<SPIRO_KVDTableViewMacControllerBase::TableExportRecord*>(record);
        return 0;
    }
    std::vector<unsigned int> actions;
    SPIRO_KVDTableViewMacControllerBase::TableExportRecord exported{};
};

class TableController : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.AddColumn({"row", "#", 40});
        main.AddColumn({"old", "Old", 40});
        summary.AddColumn({"row", "#", 40});
        controller.SetManagers(&managers, &managers, &managers);
        controller.DoRemoveAllColumns(main, "row", summary, "row");
        controller.DoAddNewColumns(main, summary);
        // The tables' data, as a subclass's data source answers it.
        for (AppKit::TableView* table : {&main, &summary})
            table->SetDataSource({[this, table] { return size_t(controller.GetNumberOfRowsInTableView(*table, main, summary)); },
                                  [this, table](size_t row, const std::string& column) {
                                      return controller.GetObjectValue(*table, column, long(row), main, summary);
                                  }});
    }

    TableManagers managers;
    ActionView view;
    SPIRO_KVDTableViewMacControllerBase controller{"TableWindow", &view};
    AppKit::TableView main, summary;
};

TEST_F(TableController, ColumnsCellsAndTheCopyText)
{
    ASSERT_EQ(main.Columns().size(), 3u);
    EXPECT_EQ(main.Columns()[2].identifier, "Col 2");
    EXPECT_EQ(summary.Columns().size(), 3u);
    ASSERT_NE(main.GetMenu(), nullptr);
    EXPECT_EQ(main.GetMenu()->ItemCount(), 3u);
    EXPECT_TRUE(main.GetMenu()->ItemAt(1).IsOn());

    EXPECT_EQ(controller.GetNumberOfRowsInTableView(main, main, summary), 4);
    EXPECT_EQ(controller.GetNumberOfRowsInTableView(summary, main, summary), 2);
    // The main table numbers its rows; other cells are the stored row the view shows.
    EXPECT_EQ(controller.GetObjectValue(main, "row", 0, main, summary), "1");
    EXPECT_EQ(controller.GetObjectValue(main, "Col 2", 0, main, summary), "m4.2");
    EXPECT_EQ(controller.GetObjectValue(summary, "row", 1, main, summary), "s3.0");

    EXPECT_EQ(controller.GetMacViewCopyPrintText("", "", "\t", "\n", main, summary),
              "Col 0\tCol 1\tCol 2\t\n"
              "m1.0\tm1.1\tm1.2\t\nm2.0\tm2.1\tm2.2\t\nm3.0\tm3.1\tm3.2\t\nm4.0\tm4.1\tm4.2\t\n"
              "s1.0\ts1.1\ts1.2\t\ns2.0\ts2.1\ts2.2\t\n");
    summary.SelectRow(1);
    EXPECT_EQ(controller.GetMacViewCopyPrintText("<tr>", "<td>", "</td>", "</tr>", main, summary),
              "<tr><td>Col 0</td><td>Col 1</td><td>Col 2</td></tr><tr><td>s2.0</td><td>s2.1</td><td>s2.2</td></tr>");
    const PrintingInfoS_base info = controller.GetPrintingInfo(main);
    EXPECT_EQ(info.mLastRow, 1);
    EXPECT_EQ(info.mBodyVecMain[0][2], L"s2.2");
}

TEST_F(TableController, SelectionMovesAndButtonsReachTheView)
{
    main.SetDelegate({[&](AppKit::TableView& t) { controller.DoTableViewSelectionDidChange(t, main, summary); },
                      [&](AppKit::TableView& t, size_t from, size_t to) {
                          controller.DoTableViewColumnDidMove(t, from, to, main, summary);
                      },
                      [&](AppKit::TableView& t) { controller.DoBoundsDidChange(t, summary); }});
    summary.SelectRow(0);
    main.SelectRow(2);
    EXPECT_EQ(summary.SelectedRow(), -1);  // one selection across both tables
    main.MoveColumn(1, 2);
    EXPECT_EQ(summary.Columns()[2].identifier, "Col 1");
    EXPECT_EQ(managers.moves, (std::vector<std::pair<int64_t, int64_t>>{{1, 2}}));
    main.ScrollToPoint({30, 5});
    EXPECT_EQ(summary.ScrollOrigin().x, 30);
    controller.DoBtnSettingsClicked();
    controller.DoBtnScrollToEndClicked();
    EXPECT_EQ(view.actions, (std::vector<unsigned int>{1, 3, 5}));
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(TableController, ExportsThroughTheSavePanel)
{
    const std::string folder = ::testing::TempDir();
    std::ofstream(folder + "/breaths.csv") << "older";
    std::ofstream(folder + "/breaths.csv000") << "oldest";
    AppKit::SavePanel::SetResponder([&](AppKit::SavePanel& panel) {
        EXPECT_EQ(panel.title, "Export Table View");
        EXPECT_EQ(panel.message, "Please select a path where to save.");
        auto* popUp = dynamic_cast<AppKit::PopUpButton*>(panel.AccessoryView());
        EXPECT_EQ(popUp->Items(), (std::vector<std::string>{"Text (*.txt)", "CSV (Comma delimited) (*.csv)"}));
        popUp->PickItemAt(1);
        panel.directory = folder;
        panel.nameFieldValue = "breaths";
        return AppKit::SavePanel::kOK;
    });
    main.SelectRow(3);
    controller.DoExportFile("Text (*.txt)", main, summary);
    AppKit::SavePanel::SetResponder(nullptr);
    EXPECT_EQ(view.exported.path, folder + "/breaths.csv");
    EXPECT_EQ(view.exported.format, SPIRO_KVDTableViewMacControllerBase::kExportCSV);
    EXPECT_EQ(view.exported.firstSelectedRow, 3);
    // The file that was there is kept aside, and so is the older backup.
    EXPECT_EQ(FileText(folder + "/breaths.csv000"), "oldest");
    EXPECT_EQ(FileText(folder + "/breaths.csv001"), "older");
    std::remove((folder + "/breaths.csv000").c_str());
    std::remove((folder + "/breaths.csv001").c_str());
}

PrintingInfoS_base Snapshot(int64_t rows, std::vector<double> widths)
{
    PrintingInfoS_base info;
    info.mLastRow = rows;
    info.mLastColumn = static_cast<int64_t>(widths.size());
    info.mColumnWidths = widths;
    for (size_t c = 0; c < widths.size(); ++c)
        info.mHeadVecMain.push_back(KVD::String("H" + std::to_string(c)));
    for (int64_t r = 0; r < rows; ++r) {
        info.mBodyVecMain.emplace_back();
        for (size_t c = 0; c < widths.size(); ++c)
            info.mBodyVecMain.back().push_back(KVD::String(std::to_string(r) + ":" + std::to_string(c)));
    }
    return info;
}

// Columns of 100, 200, 150 and 300 points on a sheet 400 wide make three groups across; 25 rows
// at 10 a page make three bands down: nine pages, each group printed for each band.
TEST(TablePrintView, PagesAcrossAndDown)
{
    SPIRO_KVDTableViewMacPrintViewBase print(Snapshot(25, {100, 200, 150, 300}));
    AppKit::PrintInfo paper;
    paper.marginLeft = paper.marginRight = paper.marginTop = paper.marginBottom = 0;
    paper.paperWidth = 400;
    const double header = print.FindHeaderHeight();
    paper.paperHeight = header + 10 * (print.CellSizeForText("Xg").height + SPIRO_KVDTableViewMacPrintViewBase::kIntercellHeight) + 1;
    ASSERT_EQ(print.PageCount(paper), 9);
    EXPECT_EQ(print.RowsPerPage(), 10);
    EXPECT_EQ(print.TotalPagesDown(), 3);
    const std::vector<PageDetails_base>& pages = print.GetPageDetails();
    const int64_t expected[9][4] = {{0, 2, 0, 10}, {2, 1, 0, 10}, {3, 1, 0, 10}, {0, 2, 10, 10}, {2, 1, 10, 10},
                                    {3, 1, 10, 10}, {0, 2, 20, 5},  {2, 1, 20, 5},  {3, 1, 20, 5}};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(pages[i].firstColumn, expected[i][0]) << i;
        EXPECT_EQ(pages[i].columnCount, expected[i][1]) << i;
        EXPECT_EQ(pages[i].firstRow, expected[i][2]) << i;
        EXPECT_EQ(pages[i].rowCount, expected[i][3]) << i;
        EXPECT_EQ(pages[i].pageNumber, int64_t(i) + 1);
    }

    // The header of a page's first column c > 0 and its cells come from the snapshot.
    AppKit::PrintOperation operation(paper);
    const std::string pdf = operation.RunToPdfData(print);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    const auto canvas = Gfx::Canvas::CreatePDF(400, 400);
    print.DrawPage(canvas->GetContext(), 4);
    EXPECT_EQ(print.ObjectValue(print.HeaderTable(), "Channel 0", 0), "H2");
    EXPECT_EQ(print.ObjectValue(print.DataTable(), "Channel 0", 3), "13:2");
    EXPECT_EQ(print.NumberOfRowsInTableView(print.DataTable()), 10);
    EXPECT_EQ(print.ObjectValue(print.DataTable(), "Channel 4", 0), "");
}

// A page too small for a row, or a column wider than the sheet, still paginates: one row and
// one column at least per page, and no division by zero.
TEST(TablePrintView, NeverDividesByZero)
{
    SPIRO_KVDTableViewMacPrintViewBase print(Snapshot(3, {500, 50}));
    AppKit::PrintInfo paper;
    paper.paperWidth = 300;
    paper.paperHeight = 20;
    paper.marginTop = paper.marginBottom = 10;  // no height left
    EXPECT_EQ(print.PageCount(paper), 6);
    EXPECT_EQ(print.RowsPerPage(), 1);
    SPIRO_KVDTableViewMacPrintViewBase empty(Snapshot(0, {}));
    EXPECT_EQ(empty.PageCount(paper), 0);
}

}  // namespace
