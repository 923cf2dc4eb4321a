// A plot control over an in-process page on a host document whose settings registrar keeps the
// plot's state; the page records every script the plot runs.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "appkit/View.h"
#include "host/document/HostDocument.h"
#include "plot/LumoPlotMac.h"
#include "web/InProcessPage.h"

namespace PlotTest {

class LumoPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        Web::Page::SetFactory([this] {
            auto page = std::make_unique<Web::InProcessPage>();
            pages.push_back(page.get());
            return page;
        });
        host = Host::HostDocument::Create(L"Recording");
    }
    void TearDown() override
    {
        plot.reset();
        host->Close();
        host->Release();
        Web::Page::SetFactory(nullptr);
    }
    IAutoOrrelDoc* Document() const { return static_cast<IAutoOrrelDoc*>(host); }
    // A plot whose page has loaded.
    void MakeLoadedPlot()
    {
        plot = std::make_unique<KVD::LumoPlotMac>(Document(), true);
        plot->AttachWebView(&parent);
        plot->LoadHTML(KVD::String(L"<div id=\"local\"></div>"), KVD::String(L"ignored"));
    }
    Web::InProcessPage& Page() const { return *pages.back(); }
    const std::string& LastScript() const { return pages.back()->Scripts().back(); }

    AppKit::View parent{AppKit::Rect{0, 0, 400, 300}};
    Host::HostDocument* host = nullptr;
    std::unique_ptr<KVD::LumoPlotMac> plot;
    std::vector<Web::InProcessPage*> pages;
};

}  // namespace PlotTest
