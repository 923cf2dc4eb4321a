#include "trace/ChannelPane.h"

#include <cmath>
#include <limits>

#include "FrameworkIds.h"
#include "IRecordData.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "foundation/XKVD.h"
#include "foundation/units/UnitPrefixScaling.h"

namespace OrrelDraw {

namespace {

constexpr unsigned kPaneVersion = 3;
constexpr unsigned kLegacyVersion = 2;
constexpr uint32_t kStyleRightSide = 1u << 1;
constexpr uint32_t kStyleNonInteractive = 1u << 3;
constexpr uint32_t kStyleCleared = 3u << 3;
constexpr uint32_t kStyleTallBands = 1u << 14;
constexpr uint32_t kRangeDefault = 1u << 31;
constexpr double kHuge = std::numeric_limits<double>::max();

using DragScaleClass = ObjectFactoryClassObjectAccessor<IDragScaleClassObject, TypeIdClass<&GUID_OrrelObjects, 9u>>;

bool IsNoText(const KVD::String& text)
{
    return text.empty() || text == L" ";
}

// Reads a legacy record's optional range: a flag byte and, when set, two doubles.
void SkipOptionalRange(IBinInStream* stream)
{
    unsigned char present = 0;
    stream->ReadByte(&present);
    if (present != 0) {
        double ignored = 0;
        stream->ReadDouble(&ignored);
        stream->ReadDouble(&ignored);
    }
}

}  // namespace

ChannelPane::ChannelPane(ChannelPaneOwner* owner, int index, uint32_t paneFlags, DragScaleStyle style,
                         RecDrawScalingModeFlags scalingMode)
    : ChildPaneBase(owner, index), mPaneOwner(owner), mPaneFlags(paneFlags), mStyle(style), mScalingMode(scalingMode)
{
}

ChannelPane::ChannelPane(const ChannelPane& other)
    : ChildPaneBase(other),
      mPaneOwner(nullptr),
      mPaneFlags(other.mPaneFlags),
      mStyle(other.mStyle),
      mScalingMode(other.mScalingMode),
      mScaleControl(other.mScaleControl),
      mLeftChannel(other.mLeftChannel),
      mRightChannel(other.mRightChannel),
      mLeftPrefix(other.mLeftPrefix),
      mRightPrefix(other.mRightPrefix)
{
    auto copySide = [](IDragScale* drag, IScale* scale, KVD::COMPtr<IScale>& out) {
        if (drag != nullptr)
            drag->CloneScale(out.Set());
        else
            out = scale;
    };
    copySide(other.mLeftDrag, other.mLeftScale, mLeftScale);
    copySide(other.mRightDrag, other.mRightScale, mRightScale);
    if (mLeftScale != nullptr)
        mLeftScale->QueryInterface(IID_IScaleEx, mLeftScaleEx.Set());
}

ChannelPane::~ChannelPane() = default;

HRESULT ChannelPane::Clone(ChannelPane** out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = KVD::MakeCounted<ChannelPane>(*this).Forget();
    return KVD_S_OK;
}

void ChannelPane::OnSetupWindow(void* window, void* parent)
{
    mWindow = window;
    mParent = parent;
    mStyle &= ~kStyleCleared;
    if ((OwnerMiscFlags() & MiscFlag::kNonInteractive) != 0)
        mStyle |= kStyleNonInteractive;
    IDragScaleClassObject* classObject = DragScaleClass::Get();
    if (classObject == nullptr)
        return;
    const int32_t offset = (mStyle & kStyleTallBands) != 0 ? -2 : 0;
    auto make = [&](int side, DragScaleStyle style, KVD::COMPtr<IScale>& scale, KVD::COMPtr<IDragScale>& drag) {
        // The out-parameter fills scale only once the call's statement has ended.
        if (classObject->CreateScale(offset, side, style, scale.Set()) != KVD_S_OK)
            return;
        if (scale != nullptr)
            scale->QueryInterface(IID_IDragScale, drag.Set());
    };
    if ((mPaneFlags & PaneFlag::kLeftScale) != 0) {
        make(kScaleLeft, mStyle & ~kStyleRightSide, mLeftScale, mLeftDrag);
        if (mLeftScale != nullptr)
            mLeftScale->QueryInterface(IID_IScaleEx, mLeftScaleEx.Set());
    }
    if ((mPaneFlags & PaneFlag::kRightScale) != 0) {
        make(kScaleRight, mStyle | kStyleRightSide, mRightScale, mRightDrag);
        if (mRightScale != nullptr)
            mRightScale->QueryInterface(IID_IScaleEx, mRightScaleEx.Set());
    }
}

void ChannelPane::AdviseScales()
{
    if (mLeftDrag != nullptr)
        mLeftDrag->Advise(this, kScaleLeft);
    if (mRightDrag != nullptr)
        mRightDrag->Advise(this, kScaleRight);
}

void ChannelPane::OnCleanupWindow()
{
    // The scales hold this pane as observer: let go of it so that neither keeps the other.
    if (mLeftDrag != nullptr)
        mLeftDrag->Unadvise(this);
    if (mRightDrag != nullptr)
        mRightDrag->Unadvise(this);
}

void ChannelPane::SetLeftDragScale(IScale* scale)
{
    if (scale == nullptr)
        return;
    if (mLeftScale == nullptr)
        mLeftScale = scale;
    if (mLeftScaleEx == nullptr)
        scale->QueryInterface(IID_IScaleEx, mLeftScaleEx.Set());
    if (mLeftDrag == nullptr)
        scale->QueryInterface(IID_IDragScale, mLeftDrag.Set());
}

HRESULT ChannelPane::SetPositionInfo(OrrelDrawPosFlags flags, const TPoint& origin, const TRect& rect, int leftWidth,
                                     int rightWidth, int border)
{
    ChildPaneBase::SetPositionInfo(flags, origin, rect, leftWidth, rightWidth, border);
    for (int i = 0; i < DrawerCount(); ++i)
        Drawer(i)->OnPositionChange(flags, &rect);
    const int reach = (mStyle & kStyleTallBands) != 0 ? 2 : 0;
    if (mLeftScale != nullptr && (mPaneFlags & PaneFlag::kLeftScaleUnplaced) == 0)
        mLeftScale->SetPosition(rect.left - leftWidth, rect.top - reach, rect.left, rect.bottom + reach);
    if (mRightScale != nullptr)
        mRightScale->SetPosition(rect.right + 2 * border, rect.top - reach, rect.right + 2 * border + rightWidth,
                                 rect.bottom + reach);
    return KVD_S_OK;
}

DataScaling ChannelPane::PixelScalingOf(IScale* scale) const
{
    double top = 1.0, bottom = -1.0;
    scale->GetRange(&top, &bottom);
    const double span = top - bottom;
    return DataScaling{span == 0.0 ? 0.0 : -double(mRect.Height()) / span, -top};
}

// y = (v x f + offset) x scale = (v + offset / f) x (scale x f), for the prefix's factor f.
DataScaling ChannelPane::InDrawerUnits(int side, const DataScaling& scaling) const
{
    const double factor = Prefix(side).Scaling();
    if (factor == 1.0 || !(factor > 0.0))
        return scaling;
    return DataScaling{scaling.scale * factor, scaling.offset / factor};
}

HRESULT ChannelPane::Revert(TOrrelDrawNeedsUpdateFlags flags)
{
    if (mLeftScale != nullptr) {
        const DataScaling scaling = PixelScalingOf(mLeftScale);
        OnScalingChanged(kScaleLeft, 0, &scaling);
    }
    if (mRightScale != nullptr) {
        const DataScaling scaling = PixelScalingOf(mRightScale);
        OnScalingChanged(kScaleRight, 0, &scaling);
    }
    return ChildPaneBase::Revert(flags);
}

HRESULT ChannelPane::GetLeftScale(unsigned int, IScale** scale)
{
    if (scale == nullptr)
        return KVD_E_POINTER;
    mLeftScale.GetOut(scale);
    return *scale != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT ChannelPane::GetRightScale(unsigned int, IScale** scale)
{
    if (scale == nullptr)
        return KVD_E_POINTER;
    mRightScale.GetOut(scale);
    return *scale != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

int ChannelPane::GetLeftScaleWidth(int) const
{
    int32_t width = 0;
    if (mLeftScale != nullptr && (mPaneFlags & PaneFlag::kLeftScaleUnplaced) == 0)
        mLeftScale->GetWidth(kScaleLabelWidth, nullptr, &width);
    return width;
}

void ChannelPane::DrawScales(TDC& dc) const
{
    if (mLeftScale != nullptr && (mPaneFlags & PaneFlag::kLeftScaleUnplaced) == 0)
        mLeftScale->Draw(&dc);
    if (mRightScale != nullptr)
        mRightScale->Draw(&dc);
}

int ChannelPane::GetRightScaleWidth(int) const
{
    int32_t width = 0;
    if (mRightScale != nullptr)
        mRightScale->GetWidth(kScaleLabelWidth, nullptr, &width);
    return width;
}

// Each drawer is pointed at the block and mode first, so that it answers for that record.
bool ChannelPane::GetUnitsForScale(int side, uint32_t mode, int block, KVD::String* units, DataScaling* scaling,
                                   TChannelId* channel, DataMaxMin* maxMin, double* factor) const
{
    const bool shortQuery = mScalingMode == 0 && (OwnerMiscFlags() & MiscFlag::kShortUnitsQuery) != 0;
    UnitsContext context{block, mode};
    if (factor != nullptr)
        *factor = 1.0;
    bool found = false;
    KVD::String text;
    for (int i = 0; i < DrawerCount(); ++i) {
        DataScaling drawerScaling{1.0, 0.0};
        DataMaxMin drawerMaxMin{HUGE_VAL, -HUGE_VAL};
        double drawerFactor = 1.0;
        KVD::String drawerText;
        AutoBool has = kAutoFalse;
        HRESULT hr = KVD_S_FALSE;
        Drawer(i)->OnEvent(DrawerEvent::kUnitsContext, &context);
        {
            KVD::String::Setter out(drawerText);
            hr = shortQuery ? Drawer(i)->GetUnitsName(side, side, out, &has)
                            : Drawer(i)->GetPrefixedUnitsName(side, side, out, &has, &drawerScaling, &drawerMaxMin,
                                                              &drawerFactor);
        }
        if (hr != KVD_S_OK || has == kAutoFalse)
            continue;
        found = true;
        if (text.empty() && !drawerText.empty()) {
            text = drawerText;
            if (scaling != nullptr)
                *scaling = drawerScaling;
            if (maxMin != nullptr)
                *maxMin = drawerMaxMin;
            if (factor != nullptr)
                *factor = drawerFactor;
            if (channel != nullptr)
                Drawer(i)->GetChannel(channel);
        }
    }
    if (units != nullptr)
        *units = text;
    return found;
}

int ChannelPane::FindUnits(int side, int first, int last, KVD::String* units, DataScaling* scaling,
                           DataMaxMin* maxMin)
{
    TChannelId& channel = side == kScaleLeft ? mLeftChannel : mRightChannel;
    const int step = first <= last ? 1 : -1;
    for (int block = first;; block += step) {
        if (GetUnitsForScale(side, mScalingMode, block, units, scaling, &channel, maxMin, nullptr))
            return block;
        if (block == last)
            return kNoUnitsBlock;
    }
}

void ChannelPane::ApplyUnits(int side, bool found, int block, KVD::String units, const DataScaling& scaling,
                             const DataMaxMin& maxMin)
{
    const PrefixInfo& prefix = Prefix(side);
    if (IsNoText(units))
        units = KVD::String();
    else if (found && prefix.Rescales())
    {
        KVD::String prefixed = UnitPrefixScaling::sStringFromPrefix(prefix.prefix);
        prefixed += units;
        units = prefixed;
    }
    IScale* scale = ScaleOf(side);
    if (scale == nullptr || (mScaleControl & ScaleControl::kUnitsFromDrawers) == 0)
        return;
    const bool shortQuery = mScalingMode == 0 && (OwnerMiscFlags() & MiscFlag::kShortUnitsQuery) != 0;
    if (!shortQuery)
        scale->SetDataScaling(&scaling);
    scale->SetUnitsText(units.c_str());
    if (IScaleEx* ex = side == kScaleLeft ? mLeftScaleEx.get() : mRightScaleEx.get()) {
        ex->SetMaxMin(maxMin.maximum, maxMin.minimum);
        ex->SetScalingMode(mScalingMode);
    }
    if (IDragScale* drag = DragScaleOf(side)) {
        if ((mPaneFlags & PaneFlag::kKeepIndicators) == 0)
            drag->SetUnitsFound(found ? kAutoTrue : kAutoFalse);
        const bool blockKnown = block != kNoUnitsBlock || (OwnerMiscFlags() & MiscFlag::kUnitsNeedBlock) == 0;
        drag->SetUnitsFound(found && blockKnown ? kAutoTrue : kAutoFalse);
    }
}

int ChannelPane::SetYScaleUnits(int firstBlock, int lastBlock)
{
    mLeftFound = mRightFound = false;
    KVD::String leftUnits, rightUnits;
    DataScaling leftScaling{1.0, 0.0}, rightScaling{1.0, 0.0};
    DataMaxMin leftMaxMin{HUGE_VAL, -HUGE_VAL}, rightMaxMin{HUGE_VAL, -HUGE_VAL};
    int leftBlock = kNoUnitsBlock;
    if (firstBlock != kNoUnitsBlock) {
        leftBlock = FindUnits(kScaleLeft, firstBlock, lastBlock, &leftUnits, &leftScaling, &leftMaxMin);
        const int rightBlock = FindUnits(kScaleRight, lastBlock, firstBlock, &rightUnits, &rightScaling, &rightMaxMin);
        mLeftFound = leftBlock != kNoUnitsBlock;
        mRightFound = rightBlock != kNoUnitsBlock;
        ApplyUnits(kScaleLeft, mLeftFound, leftBlock, leftUnits, leftScaling, leftMaxMin);
        ApplyUnits(kScaleRight, mRightFound, rightBlock, rightUnits, rightScaling, rightMaxMin);
    } else {
        ApplyUnits(kScaleLeft, false, kNoUnitsBlock, {}, leftScaling, leftMaxMin);
        ApplyUnits(kScaleRight, false, kNoUnitsBlock, {}, rightScaling, rightMaxMin);
    }
    if (mPaneOwner != nullptr)
        mPaneOwner->OnUnitsFound(mLeftFound, mRightFound, leftUnits, rightUnits);
    return leftBlock;
}

HRESULT ChannelPane::LockDragScaleUnitPrefix(int, int side, UnitPrefix prefix)
{
    if (side != kScaleLeft && side != kScaleRight)
        return KVD_E_BADSTATE;
    PrefixInfo& info = PrefixOf(side);
    const double before = info.Scaling();
    info.letter = UnitPrefixScaling::sLetterFromPrefix(prefix);
    info.factor = UnitPrefixScaling::sScalingFromPrefix(prefix);
    info.prefix = prefix;
    IScale* scale = ScaleOf(side);
    if (scale == nullptr)
        return KVD_S_OK;
    // The scale counts in the prefixed unit: its range is converted so that the traces stay
    // where they are and only the labels change.
    if (info.Scaling() != before && before > 0.0) {
        double top = 1.0, bottom = -1.0;
        if (scale->GetRange(&top, &bottom) == KVD_S_OK)
            scale->SetRange(top / before * info.Scaling(), bottom / before * info.Scaling());
    }
    DataScaling scaling{1.0, 0.0};
    scale->GetDataScaling(&scaling);
    KVD::String text(L"wib");
    {
        KVD::String::Setter out(text);
        // A failed query leaves no placeholder behind: the scale keeps its own text.
        if (scale->GetUnitsText(out) != KVD_S_OK)
            text = KVD::String();
    }
    scale->SetDataScaling(&scaling);
    if (!text.empty())
        scale->SetUnitsText(text.c_str());
    Invalidate(false);
    return KVD_S_OK;
}

bool ChannelPane::SetDragScaleRange(uint32_t rangeFlags, int side, const ChannelYDataRange& range, bool dragScale,
                                    bool force)
{
    if (range.top == range.bottom)
        return false;
    const double factor = Prefix(side).Scaling();
    const ChannelYDataRange scaled{range.top * factor, range.bottom * factor};
    IScale* scale = ScaleOf(side);
    if (scale == nullptr)
        return false;
    const bool asDefault = (rangeFlags & kRangeDefault) != 0;
    // The left scale takes a default range unscaled, the right one scaled.
    const ChannelYDataRange& defaultRange = side == kScaleLeft ? range : scaled;
    HRESULT hr = KVD_S_OK;
    if (dragScale && DragScaleOf(side) != nullptr)
        hr = asDefault ? scale->SetDefaultRange(defaultRange.top, defaultRange.bottom)
                       : scale->SetDefaultRange(scaled.top, scaled.bottom);
    const uint32_t pendingBit = side == kScaleLeft ? 1u : 2u;
    if (force || (mPendingRanges & pendingBit) != 0) {
        hr = asDefault ? scale->SetDefaultRange(defaultRange.top, defaultRange.bottom)
                       : scale->SetRange(scaled.top, scaled.bottom);
        mPendingRanges &= ~pendingBit;
    }
    return hr == KVD_S_OK;
}

HRESULT ChannelPane::DoAutoScale(int side)
{
    if (side != kScaleLeft && side != kScaleRight)
        return KVD_E_BADSTATE;
    IDragScale* drag = DragScaleOf(side);
    return drag != nullptr ? drag->AutoScale() : KVD_E_BADSTATE;
}

HRESULT ChannelPane::OnBeginDrag(long, DragScaleDragType)
{
    if (mPaneOwner != nullptr)
        mPaneOwner->OnEnterExitSizeMove(true);
    return KVD_S_OK;
}

HRESULT ChannelPane::OnEndDrag(long side, DragScaleDragType type)
{
    if (mPaneOwner == nullptr)
        return KVD_S_OK;
    mPaneOwner->OnEnterExitSizeMove(false);
    mPaneOwner->OnEndDrag(mPaneIndex, side, type, DragScaleOf(int(side)));
    return KVD_S_OK;
}

HRESULT ChannelPane::OnScalingChanged(long side, unsigned int dragId, const DataScaling* scaling)
{
    // A clone has no data pane and so no lock to share and no objects to tell.
    std::unique_lock<std::recursive_mutex> lock;
    if (mPaneOwner != nullptr)
        lock = std::unique_lock<std::recursive_mutex>(mPaneOwner->Mutex());
    // The scale counts in its locked prefix; the drawers draw the channel's own values.
    DataScaling drawn{1.0, 0.0};
    if (scaling != nullptr)
        drawn = InDrawerUnits(int(side), *scaling);
    const DataScaling* given = scaling != nullptr ? &drawn : nullptr;
    bool accepted = false;
    for (int i = 0; i < DrawerCount(); ++i)
        accepted = Drawer(i)->OnScalingChanged(side, dragId, given, ScaleOf(int(side))) == KVD_S_OK || accepted;
    if (accepted)
        Invalidate(false);
    if (mPaneOwner != nullptr)
        mPaneOwner->OnPaneScalingChanged();
    return KVD_S_OK;
}

HRESULT ChannelPane::OnAutoScaleCommand(long id)
{
    if (mPaneOwner != nullptr)
        mPaneOwner->OnAutoScaleCommand(Channel(), id);
    return DoAutoScale(int(id));
}

HRESULT ChannelPane::OnAutoScaleRequest(long side, ChannelYDataRange* range, AutoBool* unscaled)
{
    if (range == nullptr)
        return KVD_E_POINTER;
    *range = ChannelYDataRange{-kHuge, kHuge};
    if (unscaled != nullptr)
        *unscaled = kAutoTrue;
    if (mPaneOwner == nullptr)
        return KVD_E_BADSTATE;
    KVDPosition first{}, last{};
    const HRESULT visible = mPaneOwner->GetVisibleRegion(0, &first, &last);
    if (visible != KVD_S_OK)
        return visible;
    HRESULT result = KVD_S_FALSE;
    for (int i = 0; i < DrawerCount(); ++i) {
        if (mScalingMode == 0 && unscaled != nullptr && *unscaled != kAutoFalse) {
            // Only drawers that show stored values unchanged keep the range unscaled; the
            // scaling asked for is that of the first record in view.
            UnitsContext context{first.record, mScalingMode};
            Drawer(i)->OnEvent(DrawerEvent::kUnitsContext, &context);
            DataScaling scaling{1.0, 0.0};
            KVD::String ignored;
            KVD::String::Setter out(ignored);
            AutoBool has = kAutoFalse;
            Drawer(i)->GetPrefixedUnitsName(kScaleLeft, kScaleLeft, out, &has, &scaling, nullptr, nullptr);
            if (scaling.scale != 1.0 || scaling.offset != 0.0)
                *unscaled = kAutoFalse;
        }
        ChannelYDataRange drawerRange{0.0, 0.0};
        if (Drawer(i)->GetRange(0x10000, kScaleLeft, first, last, &drawerRange) != KVD_S_OK)
            continue;
        if (result != KVD_S_OK) {
            *range = drawerRange;
            result = KVD_S_OK;
        } else {
            range->top = std::max(range->top, drawerRange.top);
            range->bottom = std::min(range->bottom, drawerRange.bottom);
        }
    }
    // The drawers answer in the channel's unit, the scale counts in its prefix.
    const double factor = Prefix(int(side)).Scaling();
    if (result == KVD_S_OK && factor != 1.0) {
        range->top *= factor;
        range->bottom *= factor;
        if (unscaled != nullptr)
            *unscaled = kAutoFalse;
    }
    if (mScalingMode != 0 && unscaled != nullptr)
        *unscaled = kAutoFalse;
    return result;
}

HRESULT ChannelPane::ShowGuideLinesDlg(KVDPosition position)
{
    return mPaneOwner != nullptr ? mPaneOwner->SendGuidelineMessage(Channel(), position) : KVD_E_BADSTATE;
}

HRESULT ChannelPane::GetTitle(int, KVD::String* title)
{
    if (title == nullptr)
        return KVD_E_POINTER;
    *title = KVD::String();
    IRecordDataPixMap* map = mPaneOwner != nullptr ? mPaneOwner->GetRecordPixMap() : nullptr;
    KVD::COMPtr<IRecordData> records;
    if (map == nullptr || map->GetRecordData(records.Set()) != KVD_S_OK)
        return KVD_E_BADSTATE;
    if (records == nullptr)
        return KVD_E_BADSTATE;
    KVD::String::Setter out(*title);
    return records->GetChannelTitle(Channel(), out);
}

HRESULT ChannelPane::Write(IBinOutStream* stream) const
{
    stream->WriteWord32(kPaneVersion);
    return KVD_S_OK;
}

HRESULT ChannelPane::Read(IBinInStream* stream)
{
    unsigned version = 0;
    stream->ReadWord32(&version);
    if (version > kPaneVersion)
        throw XKVD(int(KVD_E_NEWERVERSION));
    if (version == kLegacyVersion) {
        SkipOptionalRange(stream);
        SkipOptionalRange(stream);
    }
    return KVD_S_OK;
}

}  // namespace OrrelDraw
