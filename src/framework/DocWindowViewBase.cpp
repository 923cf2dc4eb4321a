#include "framework/DocWindowViewBase.h"

HRESULT OwlExtClientWindowBase::DoCreateWindow(IClientWindowSite* site, HWND* out)
{
    mSite = site;
    HWND parentRecord{};
    if (site != nullptr)
        site->GetParentWindow(&parentRecord);
    if (mWindow != nullptr)
        return KVD_E_BADSTATE;
    TWindow parent(parentRecord.NativeWindow());
    mWindow = ConstructClass(parent, mBundle);
    if (mWindow == nullptr)
        return KVD_E_BADSTATE;
    const HWND record = mWindow->Create();
    if (out != nullptr)
        out->words[2] = record.words[2];
    return KVD_S_OK;
}

void OwlExtClientWindowBase::ForgetSiteAndWindow()
{
    mSite = nullptr;
    mWindow = nullptr;
}

HRESULT OwlExtClientWindowBase::WarnDestroy()
{
    ForgetSiteAndWindow();
    return KVD_S_OK;
}

HRESULT OwlExtClientWindowBase::GetMinMaxInfo(MINMAXINFO*)
{
    return KVD_S_OK;
}

HRESULT OwlExtClientWindowBase::GetSite(IClientWindowSite** site)
{
    if (site == nullptr)
        return KVD_E_POINTER;
    KVD::GiveOut(mSite, site);
    return KVD_S_OK;
}

DocWindowViewBase::DocWindowViewBase(IDocViewClass* cls, IDocument* document, NSBundle* bundle)
    : OwlExtClientWindowBase(bundle), DocViewBase(cls, document)
{
}

HRESULT DocWindowViewBase::CanClose(AutoBool* can)
{
    if (can == nullptr)
        return KVD_E_POINTER;
    if (*can == kAutoFalse)
        return KVD_S_FALSE;
    DocViewBase::CanClose(can);
    return *can != kAutoFalse ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT DocWindowViewBase::Close()
{
    if (mClosed)
        return KVD_S_OK;
    if (IClientWindowSite* site = GetSitePtr()) {
        const HRESULT hr = site->CloseView(static_cast<IDocView*>(this));
        if (hr != KVD_S_OK)
            return hr;
    }
    ForgetSiteAndWindow();
    mClosed = true;
    return DocViewBase::Close();
}
