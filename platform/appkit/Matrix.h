// A radio group: a matrix of radio-button cells (subviews) of which one is selected. A click
// on a cell selects it and sends the matrix's action (and the cell's own, when it has one).
#pragma once

#include "appkit/View.h"

namespace AppKit {

class Matrix : public Control {
public:
    using Control::Control;
    const char* ClassName() const override { return "Matrix"; }

    // The cells: the buttons among the subviews, in order.
    std::vector<Button*> Cells() const;
    Button* SelectedCell() const { return mSelected; }
    // The selected cell's tag; -1 when none is selected.
    int SelectedTag() const { return mSelected ? mSelected->Tag() : -1; }
    // Selects the cell, turning the others off; null selects none.
    void SelectCell(Button* cell);
    bool SelectCellWithTag(int tag);
    // A user's click on a cell.
    bool ClickCell(Button& cell);

private:
    Button* mSelected = nullptr;
};

// A cell of a matrix: a radio button that hands its clicks to the matrix around it.
class MatrixCell : public Button {
public:
    explicit MatrixCell(Rect frame = {}) : Button(frame) { SetType(Type::Radio); }
    const char* ClassName() const override { return "MatrixCell"; }
    void MouseUp(const Event& e) override;
};

}  // namespace AppKit
