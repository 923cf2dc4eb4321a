// A plot proxy with its view controller over an in-process page, and a log of the events the
// proxy posts: the page's calls are played as a loaded page would make them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "LumoEventLog.h"
#include "appkit/View.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoViewController.h"
#include "web/InProcessPage.h"

namespace PlotTest {

class LumoPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Web::Page::SetFactory([this] {
            auto page = std::make_unique<Web::InProcessPage>();
            mPage = page.get();
            return page;
        });
        proxy = new KVD::LumoProxyMac(nullptr, KVD::LumoProxyBase::kDefaultErrorVisibility);
        proxy->AddRef();
        controller = std::make_unique<KVD::LumoViewController>(proxy);
        proxy->InitWithOwner(controller.get());
        controller->AttachWebView(&parent);
        controller->LoadHTML("<div id=\"local\"></div>");
        events = new LumoEventLog;
        events->AddRef();
        proxy->AttachObserver(events);
    }

    void TearDown() override
    {
        proxy->DetachObserver(events);
        events->Release();
        controller.reset();
        proxy->Release();
        Web::Page::SetFactory(nullptr);
    }

    Web::InProcessPage& Page() { return *mPage; }

    // The page calls lumo_proxy.method(arguments...) and then goes idle, so that a queued call
    // has run when this returns; answers what the page got back.
    Web::Value Call(const std::string& method, std::vector<Web::Value> arguments)
    {
        const Web::Value answer = mPage->PlayCall("lumo_proxy", method, std::move(arguments));
        mPage->RunQueuedCalls();
        return answer;
    }

    AppKit::View parent{AppKit::Rect{0, 0, 400, 300}};
    KVD::LumoProxyMac* proxy = nullptr;
    std::unique_ptr<KVD::LumoViewController> controller;
    LumoEventLog* events = nullptr;

private:
    Web::InProcessPage* mPage = nullptr;
};

}  // namespace PlotTest
