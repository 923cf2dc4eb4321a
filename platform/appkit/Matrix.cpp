#include "appkit/Matrix.h"

namespace AppKit {

std::vector<Button*> Matrix::Cells() const
{
    std::vector<Button*> cells;
    for (const auto& sub : Subviews())
        if (auto* cell = dynamic_cast<Button*>(sub.get()))
            cells.push_back(cell);
    return cells;
}

void Matrix::SelectCell(Button* cell)
{
    mSelected = cell;
    for (Button* c : Cells())
        c->SetState(c == cell ? Button::kOn : Button::kOff);
    SetNeedsDisplay();
}

bool Matrix::SelectCellWithTag(int tag)
{
    for (Button* c : Cells())
        if (c->Tag() == tag) {
            SelectCell(c);
            return true;
        }
    return false;
}

bool Matrix::ClickCell(Button& cell)
{
    if (!IsEnabled() || !cell.IsEnabled())
        return false;
    SelectCell(&cell);
    cell.SendAction();
    return SendAction();
}

void MatrixCell::MouseUp(const Event& e)
{
    const bool inside = IsHighlighted() && ContainsPoint(ConvertPointFromWindow(e.locationInWindow));
    SetHighlighted(false);
    if (!inside)
        return;
    if (auto* matrix = dynamic_cast<Matrix*>(Superview()))
        matrix->ClickCell(*this);
    else
        PerformClick();
}

}  // namespace AppKit
