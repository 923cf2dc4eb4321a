// The data pane as a sink of live samples: preparing, following the record being sampled with
// the newest pixels at the right edge, and cleaning up afterwards.
#include <algorithm>

#include "trace/DataPane.h"

namespace OrrelDraw {

namespace {

constexpr int64_t kPeriodicMs = 301;

}  // namespace

KVD::COMPtr<IOnlineDataSink> DataPane::PixMapSink() const
{
    return KVD::COMPtr<IOnlineDataSink>(KVD::com_cast(mPixMap.get()));
}

HRESULT DataPane::CanSample(IAutoKVDString** reason)
{
    if (reason != nullptr)
        KVD::String().GetOut(reason);
    return KVD_S_OK;
}

HRESULT DataPane::PrepareForSampling(uint32_t block)
{
    if (auto map = PixMapSink())
        map->PrepareForSampling(block);
    if (!DrawsOnline())
        return KVD_S_OK;
    mSampling = true;
    mFirstUpdate = true;
    InvalidateAllPanes(true);
    mSamplingStartPixels = TotalPixels();
    mTimeScale->PrepareForSampling(block);
    for (auto& pane : mPanes)
        pane->PrepareForSampling(block);
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.PrepareForSampling(block); });
    if ((mPaneFlags & PaneFlag::kNoAutoScrollOnSampling) == 0)
        mAutoScrollChoice = true;
    if (mZoomControl != nullptr)
        mZoomControl->SetOnlineAutoScrollControl(mAutoScrollChoice);
    SetYScaleUnits();
    if (KVD::DynamicScaling* scaler = GetContinuousAutoScaler())
        scaler->Start(Now());
    if (mRadarMode && IsOnlineAutoScrollX() && mDisplayMode != 1)
        ScrollToRightMostPixel();
    return KVD_S_OK;
}

HRESULT DataPane::OnRecordStart(uint32_t block, AutoBool recordFlag)
{
    if (auto map = PixMapSink())
        map->OnRecordStart(block, recordFlag);
    if (!DrawsOnline())
        return KVD_S_OK;
    mRecordOpen = true;
    mSamplingBlock = block;
    mRecordFlag = recordFlag;
    mTimeScale->OnRecordStart(block, recordFlag);
    for (auto& pane : mPanes)
        pane->OnRecordStart(block, recordFlag);
    TakeUnitsOfStartedRecord(int(block));
    if (recordStartHook) {
        double secsPerTick = 0;
        mPixMap->GetRecordSecsPerTick(int32_t(block), &secsPerTick);
        int64_t first = 0, end = 0;
        mPixMap->GetRecordPixels(int32_t(block), &first, &end);
        uint32_t ticks = 0;
        if (mRecord != nullptr)
            mRecord->GetRecordTicks(int(block), &ticks);
        recordStartHook(block, mRecord.get(), secsPerTick, RecordStartTime(int32_t(block)), first, long(ticks),
                        recordFlag);
    }
    mRecordStartTime = Now();
    return KVD_S_OK;
}

// Data that had no record when sampling was prepared (a new monitoring record) names its
// units once its first record starts; panes that found units keep them.
void DataPane::TakeUnitsOfStartedRecord(int block)
{
    if (mMiscFlags & MiscFlag::kUnitsOnlyWhenNotSampling)
        return;
    for (auto& pane : mPanes)
        if (!pane->LeftUnitsFound())
            pane->SetYScaleUnits(block, block);
}

HRESULT DataPane::Update(uint32_t block)
{
    if (auto map = PixMapSink())
        map->Update(block);
    if (!DrawsOnline())
        return KVD_S_OK;
    const int64_t total = TotalPixels();
    if (mFirstUpdate) {
        mFirstUpdate = false;
        OnFirstSamplingUpdate();
    }
    const int width = DataWidth();
    if (mSampling) {
        const int64_t old = mRightEdge;
        if (total < width || IsOnlineAutoScrollX())
            mRightEdge = total;
        int64_t shift = mRightEdge - old;
        if (shift <= width && width > 0) {
            mLatestBmpOffset = int((mLatestBmpOffset + std::max<int64_t>(1, shift) - 1) % width + 1);
        } else {
            shift = width;
            mLatestBmpOffset = width;
        }
        long long latest = 0;
        mTimeScale->Update(total, -shift, &latest, 0);
        for (auto& pane : mPanes)
            pane->Update(total, -shift, &latest, 0);
    }
    const int64_t now = Now();
    if ((mMiscFlags & MiscFlag::kNoPeriodicNotice) == 0 && now - mLastPeriodic >= kPeriodicMs) {
        mLastPeriodic = now;
        CallOnObjects([](IKVDInteractiveCpp& object) { object.OnPeriodicUpdate(); });
    }
    if (KVD::DynamicScaling* scaler = GetContinuousAutoScaler())
        scaler->OnUpdate(now);
    UpdateScrollBar();
    if (!IsOnlineAutoScrollX() && mRightEdge < width)
        Revert(kRevertBits);
    if (updateHook)
        updateHook(long(block));
    return KVD_S_OK;
}

HRESULT DataPane::OnRecordEnd(uint32_t block, BlockUpdateType* type)
{
    if (auto map = PixMapSink())
        map->OnRecordEnd(block, type);
    if (!DrawsOnline())
        return KVD_S_OK;
    mTimeScale->OnRecordEnd(block, type);
    for (auto& pane : mPanes)
        pane->OnRecordEnd(block, type);
    mRecordOpen = false;
    if (mRecordFlag == kAutoFalse && mRightEdge > TotalPixels())
        ScrollToRightMostPixel();
    return KVD_S_OK;
}

HRESULT DataPane::CleanUpAfterSampling(AutoBool flag)
{
    if (auto map = PixMapSink())
        map->CleanUpAfterSampling(flag);
    if (!DrawsOnline())
        return KVD_S_OK;
    mLatestBmpOffset = DataWidth();
    if (mRadarMode && IsOnlineAutoScrollX())
        InvalidateAllPanes(true);
    mSampling = false;
    mTimeScale->CleanUpAfterSampling(flag);
    for (auto& pane : mPanes)
        pane->CleanUpAfterSampling(flag);
    CallOnObjects([](IKVDInteractiveCpp& object) { object.CleanUpAfterSampling(); });
    UpdateScrollBar();
    if (scrolledHook)
        scrolledHook(0);
    if (KVD::DynamicScaling* scaler = GetContinuousAutoScaler())
        scaler->Stop();
    return KVD_S_OK;
}

HRESULT DataPane::OnEvent(uint32_t id, void* data)
{
    if (auto map = PixMapSink())
        map->OnEvent(id, data);
    if ((mMiscFlags & MiscFlag::kNoOnlineDrawing) != 0)
        return KVD_S_OK;
    mTimeScale->OnEvent(id, data);
    for (auto& pane : mPanes)
        pane->OnEvent(id, data);
    return KVD_S_OK;
}

}  // namespace OrrelDraw
