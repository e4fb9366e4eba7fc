#include "recorder.h"

#include <QLineF>
#include <QPainterPath>
#include <QTextItem>

namespace samples {

namespace {

constexpr double kDpi = 1200;
constexpr double kToTwips = 1440 / kDpi;

class RecordingEngine : public QPaintEngine {
public:
  explicit RecordingEngine(RecordingDevice& d) : QPaintEngine(AllFeatures), d_(d) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState& s) override {
    if (s.state() & DirtyTransform)
      t_ = s.transform();
  }
  Type type() const override { return User; }
  void drawTextItem(const QPointF& p, const QTextItem& ti) override {
    d_.texts.push_back(DrawnText{ti.text(), t_.map(p) * kToTwips});
  }
  void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { image(r); }
  void drawImage(const QRectF& r, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { image(r); }
  void drawLines(const QLineF* lines, int n) override {
    for (int i = 0; i < n; ++i)
      d_.lines.emplace_back(t_.map(lines[i].p1()) * kToTwips, t_.map(lines[i].p2()) * kToTwips);
  }
  void drawRects(const QRectF*, int) override {}
  void drawPath(const QPainterPath&) override {}
  void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}

private:
  void image(const QRectF& r) {
    const QRectF m = t_.mapRect(r);
    d_.images.emplace_back(m.topLeft() * kToTwips, m.size() * kToTwips);
  }
  RecordingDevice& d_;
  QTransform t_;
};

}  // namespace

RecordingDevice::RecordingDevice(QSizeF paper) : paper_(paper), engine_(std::make_unique<RecordingEngine>(*this)) {}
RecordingDevice::~RecordingDevice() = default;

QPaintEngine* RecordingDevice::paintEngine() const { return engine_.get(); }

void RecordingDevice::clear() {
  texts.clear();
  images.clear();
  lines.clear();
}

const DrawnText* RecordingDevice::find(const QString& s) const {
  for (const DrawnText& t : texts)
    if (t.text == s)
      return &t;
  return nullptr;
}

int RecordingDevice::metric(PaintDeviceMetric m) const {
  switch (m) {
  case PdmWidth: return int(paper_.width() / kToTwips);
  case PdmHeight: return int(paper_.height() / kToTwips);
  case PdmWidthMM: return int(paper_.width() / 1440 * 25.4);
  case PdmHeightMM: return int(paper_.height() / 1440 * 25.4);
  case PdmNumColors: return 0x7fffffff;
  case PdmDepth: return 32;
  case PdmDpiX:
  case PdmDpiY:
  case PdmPhysicalDpiX:
  case PdmPhysicalDpiY: return int(kDpi);
  case PdmDevicePixelRatio: return 1;
  case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
  }
  return 0;
}

}  // namespace samples
