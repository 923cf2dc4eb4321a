// A context that draws nothing and logs every call, one line each, for tests to compare:
// "MoveTo(0.5, 5.5)", "SetStrokeColor(rgba(1, 0, 0, 1))", "DrawText(2, 3, \"Hi\", 11,
// rgba(0, 0, 0, 1), flipped)". Numbers are printed with up to six significant digits.
// Layers log into the same log, their lines prefixed "layerN: " in the order they were made.
// It keeps the transform and the clip so that it answers as a real context would; text
// measures half its size per character in width and its size in height.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Context.h"

namespace Gfx {

class RecordingContext final : public Context {
public:
    // The clip starts as the base space's bounds.
    explicit RecordingContext(const Size& baseSize, Origin origin = Origin::TopLeft);

    const std::vector<std::string>& Calls() const { return mLog->lines; }
    void ClearCalls() { mLog->lines.clear(); }

    void SaveState() override;
    void RestoreState() override;
    void Translate(double dx, double dy) override;
    void Scale(double sx, double sy) override;
    void Rotate(double radians) override;
    Matrix CurrentMatrix() const override { return mState.matrix; }
    void BeginPath() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x, double y) override;
    void ClosePath() override;
    void AddRect(const Rect& r) override;
    void AddEllipse(const Rect& bounds) override;
    void StrokePath() override;
    void FillPath() override;
    void FillStrokePath() override;
    void StrokeRect(const Rect& r) override;
    void FillRect(const Rect& r) override;
    void ClearRect(const Rect& r) override;
    void SetStrokeColor(const Color& c) override;
    void SetFillColor(const Color& c) override;
    void SetLineWidth(double width) override;
    void SetLineCap(LineCap cap) override;
    void SetLineDash(double phase, const std::vector<double>& lengths) override;
    void SetAllowsAntialiasing(bool allow) override;
    void SetShouldAntialias(bool should) override;
    void SetAllowsFontSmoothing(bool allow) override;
    void SetShadow(const Size& offset, double blur, const Color& color) override;
    void ClipToRect(const Rect& r) override;
    Rect ClipBounds() const override;
    void DrawText(const Point& topLeft, const std::string& utf8, double pointSize, const Color& color,
                  bool flipped) override;
    Size MeasureText(const std::string& utf8, double pointSize) const override;
    void DrawImage(const Image& image, const Point& at, double opacity, bool flipped) override;
    std::unique_ptr<Layer> CreateLayer(const Size& size) override;
    void DrawLayer(const Layer& layer, const Point& at) override;

private:
    struct Log {
        std::vector<std::string> lines;
        int layers = 0;
    };
    struct State {
        Matrix matrix;
        Rect clip;  // bounds in base space
    };
    friend class RecordingLayer;
    RecordingContext(std::shared_ptr<Log> log, std::string prefix, const Size& baseSize);

    void Record(std::string call);
    void RecordCall(const char* name, std::initializer_list<double> values);

    std::shared_ptr<Log> mLog;
    std::string mPrefix;
    State mState;
    std::vector<State> mSaved;
};

}  // namespace Gfx
