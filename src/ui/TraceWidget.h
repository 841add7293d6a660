#pragma once
// The trace area `Oscillo` with its time axis and the overview strip
// `Ctrl_Zoom` below it, the cursor time box `WCuseur` above it, and the
// controls beside it: the time base, the choice of built-in quantity, the
// cursor value boxes. Paints the core's display lists into a cached picture;
// a new sample adds only its segments, and the cursor and a right-drag's zoom
// rectangle are drawn over the picture.
#include <QComboBox>
#include <QTimer>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <string>
#include <utility>

#include "app/Core.h"

namespace oxalis {

// Paints a display list onto a painter: boxes, lines, then texts.
void paintDisplayList(class QPainter& painter, const DisplayList& list, std::size_t firstLine = 0,
                      bool withBoxesAndTexts = true);

// Cursor B, the legend and the readout between the cursors, over the trace
// area of `size`.
void paintMeasurements(QPainter& painter, const TraceModel& model, QSize size);

// The trace area `width` pixels wide (at the window's proportions), with
// its time axis, legend, cursors and readout, drawn without any window.
QImage renderTracePicture(const Core& core, int width, const QFont& font);

class OscilloWidget : public QWidget {
  Q_OBJECT
 public:
  OscilloWidget(Core& core, QWidget* parent);
  // Brings the cached picture up to date with the model.
  void sync();
  const QImage& picture() const { return picture_; }
  int shownCursorX() const { return cursorX_; }
  std::pair<int, int> shownZoomBand() const { return zoomBand_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Core& core_;
  bool draggingB_ = false;
  std::string shownMeasurements_;
  QImage picture_;
  std::uint64_t generation_ = ~std::uint64_t{0};
  std::size_t paintedLines_ = 0;
  int cursorX_ = -1;
  std::pair<int, int> zoomBand_{-1, -1};
};

// The time axis under the trace area: the seconds of the grid lines and the
// unit, on the trace's black.
class TimeAxis : public QWidget {
  Q_OBJECT
 public:
  TimeAxis(Core& core, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Core& core_;
};

// The overview strip: where the window lies in the ring. A click beside the
// box moves the window there; the box can be dragged.
class OverviewStrip : public QWidget {
  Q_OBJECT
 public:
  OverviewStrip(Core& core, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Core& core_;
};

class TraceWidget : public QWidget {
  Q_OBJECT
 public:
  TraceWidget(Core& core, const QString& appFolder, QWidget* parent = nullptr);

  OscilloWidget* oscillo() const { return oscillo_; }
  TimeAxis* timeAxis() const { return axis_; }
  OverviewStrip* overviewStrip() const { return strip_; }
  QComboBox* timeBase() const { return timeBase_; }
  QRadioButton* quantityOption(int i) const { return options_.at(static_cast<std::size_t>(i)); }
  QLabel* cursorTime() const { return wCurseur_; }
  QLabel* cursorValue(int i) const { return valCurseur_.at(static_cast<std::size_t>(i)); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void modelChanged();
  void render();
  void layoutSurfaces();

  Core& core_;
  OscilloWidget* oscillo_ = nullptr;
  TimeAxis* axis_ = nullptr;
  OverviewStrip* strip_ = nullptr;
  QWidget* surfaces_ = nullptr;
  QLabel* wCurseur_ = nullptr;
  QComboBox* timeBase_ = nullptr;
  std::array<QRadioButton*, 5> options_{};
  std::array<QLabel*, 10> valCurseur_{};
  QCursor panPointer_;
  QCursor zoomPointer_;
  // What the controls show, so a new sample touches only what changed.
  std::uint64_t stripGeneration_ = ~std::uint64_t{0};
  std::pair<int, int> overview_{-1, -1};
  std::array<std::string, 10> shownValues_{};
  std::array<std::uint32_t, 10> shownColours_{};
  std::array<int, 10> shownVisible_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  std::string shownCursorTime_;
  std::string shownSpan_;
  int shownCursorX_ = -2;
  TraceModel::Pointer shownPointer_ = TraceModel::Pointer::Default;
  QTimer* coalesce_ = nullptr;
  Subscription subscription_;
  // The live panel says which cursor boxes its module type has.
  Subscription panelSubscription_;
};

}  // namespace oxalis
