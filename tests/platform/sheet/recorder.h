#pragma once
// A paint device that records what is drawn on it: texts with their baselines, pictures, lines and
// rectangles, in twips of the page (the device runs at 1200 dpi, as the PDF writer does).
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace samples {

struct DrawnText {
  QString text;
  QPointF at;  // start of the baseline, twips
};

class RecordingDevice : public QPaintDevice {
public:
  explicit RecordingDevice(QSizeF paperTwips);
  ~RecordingDevice() override;
  QPaintEngine* paintEngine() const override;

  std::vector<DrawnText> texts;
  std::vector<QRectF> images;  // twips
  std::vector<QLineF> lines;   // twips
  void clear();
  // The first text equal to `s`, or nullptr.
  const DrawnText* find(const QString& s) const;
  bool contains(const QString& s) const { return find(s) != nullptr; }

protected:
  int metric(PaintDeviceMetric m) const override;

private:
  QSizeF paper_;
  std::unique_ptr<QPaintEngine> engine_;
};

}  // namespace samples
