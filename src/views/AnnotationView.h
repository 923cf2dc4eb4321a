// The transparent views over the data areas of the data view's plots: they draw the graphs of
// the breaths on the plot's own axis mapping (read from its page on every draw), snap a cursor
// to the trace under the mouse and feed the window's readout lines.
#pragma once

#include <memory>

#include "appkit/NamedImage.h"
#include "appkit/View.h"
#include "views/SpiroGraph.h"

namespace Spirometry {
class SpiroDataView;
class SpiroDocument;
}

class AnnotationViewBase : public AppKit::View {
public:
    static constexpr Gfx::Point kCursorOffset{6.0, 6.0};
    static constexpr Gfx::Point kInvalidPos{-1.0, -1.0};
    static constexpr const char* kCursorImage = "ChannelPaneCursor";
    // Entered and exited, moved, cursor update, active in the active application.
    static constexpr unsigned kTrackingOptions = 71;

    using AppKit::View::View;
    const char* ClassName() const override { return "AnnotationView"; }

    // A fresh graph (unit scalings) after every page load; the cursor is hidden.
    virtual void CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view);
    void SetupTrackingArea();
    void SetFrame(const AppKit::Rect& frame) override;
    void MouseEntered(const AppKit::Event& e) override;
    void MouseMoved(const AppKit::Event& e) override;
    void MouseExited(const AppKit::Event& e) override;
    void UpdateScalingX(const Spirometry::UserScaling& scaling);
    void UpdateScalingY(const Spirometry::UserScaling& scaling);

    virtual double DataAtPos(const KVDPosition&) const { return 0.0; }
    virtual bool EnumIsValid() const { return false; }
    virtual double CallJS(const char*) const { return 0.0; }
    virtual void UpdateReadout(const double*, const double*) {}

    // Screen drawing over the view's bounds, with the cursor image.
    void DrawSelf(Gfx::Context& context) override;
    // The same drawing into the rectangle of a page printed at the scale, without the cursor.
    void PrintRect(Gfx::Context& context, const TRect& rect, float scale);

    Spirometry::SpiroGraphMac* Graph() const { return mGraph.get(); }
    const Gfx::Point& TracePos() const { return mTracePos; }
    int TrackingAreaId() const { return mTrackingArea; }

protected:
    std::unique_ptr<Spirometry::SpiroGraphMac> mGraph;
    Spirometry::SpiroDocument* mDocument = nullptr;  // not owned
    Spirometry::SpiroDataView* mDocView = nullptr;   // not owned

private:
    bool CanDraw() const;
    // The page's mapping; the screen's values are in the settings' flow unit prefix.
    void QueryScaling(double scale, double prefixFactor);
    void Draw(Gfx::Context& context, const TRect& rect);

    Gfx::Point mTracePos = kInvalidPos;
    int mTrackingArea = 0;
    AppKit::NamedImage mCursorImage;
};

class FlowAnnotationView : public AnnotationViewBase {
public:
    using AnnotationViewBase::AnnotationViewBase;
    void CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view) override;
    double DataAtPos(const KVDPosition& position) const override;
    bool EnumIsValid() const override;
    double CallJS(const char* script) const override;
    void UpdateReadout(const double* value, const double* seconds) override;
};

class VolumeAnnotationView : public AnnotationViewBase {
public:
    using AnnotationViewBase::AnnotationViewBase;
    void CreateGraph(Spirometry::SpiroDocument* document, Spirometry::SpiroDataView* view) override;
    double DataAtPos(const KVDPosition& position) const override;
    bool EnumIsValid() const override;
    double CallJS(const char* script) const override;
    void UpdateReadout(const double* value, const double* seconds) override;
};
