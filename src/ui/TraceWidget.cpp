#include "TraceWidget.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <vector>

#include "QtConvert.h"
#include "Theme.h"
#include "app/Replay.h"
#include "trace/Trace.h"
#include "trace/TraceAnalysis.h"

namespace oxalis {

namespace {


const QColor kTraceBackground(0, 0, 0);
const QColor kStripBackground(200, 200, 200);
const QColor kZoomBandFill(255, 255, 255, 48);
const QColor kCursorBColor(255, 170, 40);         // cursor B: amber, dashed
const QColor kPanelBacking(20, 20, 20, 220);      // under the legend and readout
constexpr int kGrabDistance = 4;                  // pixels from B's line that take it
constexpr int kLargestPicture = 3840;
constexpr int kCursorBand = 20;  // room for WCuseur above the trace
constexpr int kStripHeight = 14;

QCursor pointerFrom(const QString& file) {
  const QPixmap picture(file);
  return picture.isNull() ? QCursor(Qt::SizeHorCursor) : QCursor(picture);
}

}  // namespace

void paintDisplayList(QPainter& painter, const DisplayList& list, std::size_t firstLine, bool withBoxesAndTexts) {
  if (withBoxesAndTexts) {
    for (const DrawBox& box : list.boxes) {
      const QRect rect(QPoint(box.left, box.top), QPoint(box.right, box.bottom));
      if (box.filled)
        painter.fillRect(rect, toQColor(box.color));
      else {
        painter.setPen(toQColor(box.color));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
      }
    }
  }
  QPen pen;
  pen.setWidth(1);
  // Most of a dense curve is its columns' vertical spans. On a picture in
  // memory, untransformed, they are written straight into its pixels,
  // which costs a fraction of the painter's stroking.
  auto* image = dynamic_cast<QImage*>(painter.device());
  // (A picture shared with a copy would be detached by the write, away
  // from the painter: such a picture takes the painter's way.)
  const bool direct = image && image->isDetached() && image->format() == QImage::Format_RGB32 &&
                      image->devicePixelRatio() == 1.0 &&
                      painter.transform().isIdentity() && !painter.hasClipping() &&
                      painter.compositionMode() == QPainter::CompositionMode_SourceOver;
  const int imageWidth = image ? image->width() : 0;
  const int imageHeight = image ? image->height() : 0;
  uchar* pixels = direct ? image->bits() : nullptr;
  const qsizetype stride = image ? image->bytesPerLine() : 0;
  std::vector<QLine> run;
  for (std::size_t i = firstLine; i < list.lines.size();) {
    const DrawLine& first = list.lines[i];
    const QColor colour = toQColor(first.color);
    const QRgb rgb = colour.rgb();
    run.clear();
    for (; i < list.lines.size() && list.lines[i].color == first.color && list.lines[i].dotted == first.dotted; ++i) {
      const DrawLine& line = list.lines[i];
      if (direct && !line.dotted && line.x1 == line.x2) {
        if (line.x1 < 0 || line.x1 >= imageWidth) continue;
        const int top = std::max(std::min(line.y1, line.y2), 0);
        const int bottom = std::min(std::max(line.y1, line.y2), imageHeight - 1);
        if (top > bottom) continue;  // wholly above or below the picture
        uchar* pixel = pixels + top * stride + line.x1 * static_cast<qsizetype>(sizeof(QRgb));
        for (int y = top; y <= bottom; ++y, pixel += stride) *reinterpret_cast<QRgb*>(pixel) = rgb;
        continue;
      }
      run.emplace_back(line.x1, line.y1, line.x2, line.y2);
    }
    pen.setColor(colour);
    pen.setStyle(first.dotted ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLines(run.data(), static_cast<int>(run.size()));
  }
  if (withBoxesAndTexts) {
    const int ascent = painter.fontMetrics().ascent();
    for (const DrawText& text : list.texts) {
      painter.setPen(toQColor(text.color));
      painter.drawText(text.x, text.y + ascent, qs(text.text));
    }
  }
}

OscilloWidget::OscilloWidget(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("Oscillo");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);  // the arrow keys, Home and End
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// The zoom rectangle's outline and fill, over the whole height.
QRect zoomBandRect(std::pair<int, int> band, int height) {
  return QRect(QPoint(band.first, 0), QPoint(band.second, height - 1));
}

void OscilloWidget::sync() {
  const TraceModel& model = core_.trace.view;
  const QSize size(std::max(model.traceWidth, 1), std::max(model.traceHeight, 1));
  // The picture has the screen's own pixels (two per point at 200 %), so
  // that lines and texts stay sharp at any scaling.
  const qreal scale = devicePixelRatioF();
  if (model.repaintGeneration != generation_ || picture_.deviceIndependentSize() != QSizeF(size) ||
      picture_.devicePixelRatio() != scale) {
    picture_ = QImage(size * scale, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(scale);
    picture_.fill(kTraceBackground);
    QPainter painter(&picture_);
    painter.setFont(font());
    paintDisplayList(painter, model.trace);
    generation_ = model.repaintGeneration;
    paintedLines_ = model.trace.lines.size();
    update();
  } else if (model.trace.lines.size() > paintedLines_) {
    // Only the newest segments: the rest of the picture stands, and only
    // the strip they cover is repainted on screen.
    QPainter painter(&picture_);
    paintDisplayList(painter, model.trace, paintedLines_, false);
    int left = width(), right = 0;
    for (std::size_t i = paintedLines_; i < model.trace.lines.size(); ++i) {
      const DrawLine& line = model.trace.lines[i];
      left = std::min({left, line.x1, line.x2});
      right = std::max({right, line.x1, line.x2});
    }
    paintedLines_ = model.trace.lines.size();
    if (right >= left) update(QRect(left - 1, 0, right - left + 3, height()));
  }
  if (model.cursorX != cursorX_) {
    // The cursor is an overlay: repaint the columns it leaves and enters.
    if (cursorX_ >= 0) update(QRect(cursorX_ - 1, 0, 3, height()));
    if (model.cursorX >= 0) update(QRect(model.cursorX - 1, 0, 3, height()));
    cursorX_ = model.cursorX;
  }
  // Cursor B, the legend and the readout are drawn over the whole area.
  std::string measured = std::to_string(model.cursorBX);
  for (const auto& entry : model.legend) measured += entry.text + '\n';
  for (const auto& row : model.readout) measured += row.a + '\t' + row.b + '\t' + row.min + '\t' + row.max + '\t' + row.mean + '\n';
  measured += model.readoutTime;
  if (measured != shownMeasurements_) {
    shownMeasurements_ = std::move(measured);
    update();
  }
  const std::pair<int, int> band{model.zoomBandLeft, model.zoomBandRight};
  if (band != zoomBand_) {
    if (zoomBand_.first >= 0) update(zoomBandRect(zoomBand_, height()).adjusted(-1, 0, 1, 0));
    if (band.first >= 0) update(zoomBandRect(band, height()).adjusted(-1, 0, 1, 0));
    zoomBand_ = band;
  }
}

void OscilloWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect dirty = event->rect();
  painter.fillRect(dirty, kTraceBackground);
  const qreal scale = picture_.devicePixelRatio();
  painter.drawImage(QRectF(dirty), picture_,
                    QRectF(QPointF(dirty.topLeft()) * scale, QSizeF(dirty.size()) * scale));
  const TraceModel& model = core_.trace.view;
  if (model.zoomBandLeft >= 0) {
    // The range a right-button drag will zoom in on.
    const QRect band = zoomBandRect({model.zoomBandLeft, model.zoomBandRight}, height());
    painter.fillRect(band, kZoomBandFill);
    painter.setPen(toQColor(kCursorColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band);
  }
  const int x = model.cursorX;
  if (x >= 0) {
    QPen pen(toQColor(kCursorColor));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawLine(x, 0, x, height());
  }
  paintMeasurements(painter, model, size());
}

void paintMeasurements(QPainter& painter, const TraceModel& model, QSize size) {
  if (model.cursorBX >= 0) {
    QPen pen(kCursorBColor);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(model.cursorBX, 0, model.cursorBX, size.height());
    painter.drawText(model.cursorBX + 3, painter.fontMetrics().ascent() + 1, "B");
  }
  const QFontMetrics metrics = painter.fontMetrics();
  const int line = metrics.lineSpacing();
  // The legend in the top right corner, on a dark backing.
  if (!model.legend.empty()) {
    int width = 0;
    for (const auto& entry : model.legend) width = std::max(width, metrics.horizontalAdvance(qs(entry.text)));
    const QRect box(size.width() - width - 16, 2, width + 12, line * static_cast<int>(model.legend.size()) + 6);
    painter.fillRect(box, kPanelBacking);
    for (std::size_t i = 0; i < model.legend.size(); ++i) {
      painter.setPen(toQColor(model.legend[i].color));
      painter.drawText(box.left() + 6, box.top() + 3 + metrics.ascent() + line * static_cast<int>(i),
                       qs(model.legend[i].text));
    }
  }
  // The readout between the cursors in the bottom left corner.
  if (!model.readout.empty()) {
    const std::array<QString, 7> heads{"", "A", "B", "B-A", "Min", "Max", "Mean"};
    std::array<int, 7> widths{};
    const auto cells = [](const TraceModel::ReadoutRow& r) {
      QString name = qs(r.name);
      if (!r.unit.empty()) name += " (" + qs(r.unit) + ")";
      return std::array<QString, 7>{name, qs(r.a), qs(r.b), qs(r.delta), qs(r.min), qs(r.max), qs(r.mean)};
    };
    for (std::size_t c = 0; c < heads.size(); ++c) widths[c] = metrics.horizontalAdvance(heads[c]);
    for (const auto& row : model.readout) {
      const auto texts = cells(row);
      for (std::size_t c = 0; c < texts.size(); ++c) widths[c] = std::max(widths[c], metrics.horizontalAdvance(texts[c]));
    }
    int total = 12;
    for (int w : widths) total += w + 12;
    const int rows = static_cast<int>(model.readout.size()) + 2;
    const QRect box(4, size.height() - rows * line - 8, total, rows * line + 6);
    painter.fillRect(box, kPanelBacking);
    const auto drawRow = [&](int row, const std::array<QString, 7>& texts, const QColor& colour) {
      int left = box.left() + 6;
      painter.setPen(colour);
      for (std::size_t c = 0; c < texts.size(); ++c) {
        const int right = left + widths[c];
        const int baseline = box.top() + 3 + metrics.ascent() + row * line;
        // Numbers align on the right, the name on the left.
        painter.drawText(c == 0 ? left : right - metrics.horizontalAdvance(texts[c]), baseline, texts[c]);
        left = right + 12;
      }
    };
    drawRow(0, heads, toQColor(kValueLabelColor));
    for (std::size_t i = 0; i < model.readout.size(); ++i)
      drawRow(static_cast<int>(i) + 1, cells(model.readout[i]), toQColor(model.readout[i].color));
    drawRow(rows - 1, {"Time B-A (s)", "", "", qs(model.readoutTime), "", "", ""}, toQColor(kValueLabelColor));
  }
}

QImage renderTracePicture(const Core& core, int width, const QFont& font) {
  const Trace& shown = core.trace;
  // A copy laid out at the picture's size: the window's own picture and
  // state stay as they are.
  Trace copy(shown.live, shown.channels, shown.panel);
  copy.buffer = shown.buffer;
  copy.tracePoints = shown.tracePoints;
  copy.overlay = shown.overlay;
  copy.fitted = shown.fitted;
  copy.cursorB = shown.cursorB;
  copy.cursorBActive = shown.cursorBActive;
  copy.view.timeBaseText = shown.view.timeBaseText;
  const QFontMetrics metrics(font);
  copy.view.textWidth = [metrics](std::string_view text) {
    return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  copy.view.textHeight = metrics.height();
  width = std::clamp(width, 200, kLargestPicture);
  const double aspect = shown.view.traceWidth > 0 && shown.view.traceHeight > 0
                            ? static_cast<double>(shown.view.traceHeight) / shown.view.traceWidth
                            : 0.4;
  const int height = std::max(150, static_cast<int>(width * aspect));
  copy.view.traceWidth = width;
  copy.view.traceHeight = height;
  repaintTrace(copy);

  const int axisHeight = metrics.height() + kTimeAxisTextTop + 2;
  QImage picture(width, height + axisHeight, QImage::Format_RGB32);
  picture.fill(kTraceBackground);
  QPainter painter(&picture);
  painter.setFont(font);
  paintDisplayList(painter, copy.view.trace);
  if (copy.view.cursorX >= 0) {
    QPen pen(toQColor(kCursorColor));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawLine(copy.view.cursorX, 0, copy.view.cursorX, height);
  }
  paintMeasurements(painter, copy.view, QSize(width, height));
  painter.translate(0, height);
  paintDisplayList(painter, copy.view.axis);
  return picture;
}

void OscilloWidget::mousePressEvent(QMouseEvent* event) {
  const bool right = event->button() == Qt::RightButton;
  if (!right && event->button() != Qt::LeftButton) return;
  const int x = qRound(event->position().x());
  Trace& trace = core_.trace;
  // Shift + left button places cursor B; a press on B's line takes it.
  if (!right && ((event->modifiers() & Qt::ShiftModifier) ||
                 (cursorBNearer(trace, x) && std::abs(x - trace.view.cursorBX) <= kGrabDistance))) {
    draggingB_ = true;
    placeCursorB(trace, x);
    return;
  }
  trace.cursorBActive = false;
  Oscillo_MouseDown(trace, x, right);
  // During a replay a click on the trace plays from the sample clicked.
  if (!right && core_.replay.active) replaySeek(core_, trace.buffer.cursorSample);
}

void OscilloWidget::mouseMoveEvent(QMouseEvent* event) {
  const int x = qRound(event->position().x());
  if (draggingB_ && (event->buttons() & Qt::LeftButton)) return moveActiveCursorTo(core_.trace, x);
  Oscillo_MouseMove(core_.trace, x, (event->buttons() & Qt::LeftButton) != 0);
}

void OscilloWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool right = event->button() == Qt::RightButton;
  if (!right && event->button() != Qt::LeftButton) return;
  if (draggingB_ && !right) {
    draggingB_ = false;
    return;
  }
  Oscillo_MouseUp(core_.trace, qRound(event->position().x()), right);
  // A zoom leaves cursor A on the sample played.
  if (right && core_.replay.active) replaySeek(core_, core_.replay.position);
}

// A double click on the value labels fits the scale to the curve on screen,
// or gives it back its own range.
void OscilloWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->position().x() < fontMetrics().horizontalAdvance("00000.000"))
    return toggleActiveFit(core_.trace);
  mousePressEvent(event);
}

void OscilloWidget::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0) wheelZoom(core_.trace, qRound(event->position().x()), steps);
  event->accept();
}

// Left and right step the active cursor by a sample (with Ctrl, by a grid
// division); Home and End show the recording's start and end.
void OscilloWidget::keyPressEvent(QKeyEvent* event) {
  Trace& trace = core_.trace;
  const bool division = (event->modifiers() & Qt::ControlModifier) != 0;
  const int step = division ? divisionSamples(trace) : 1;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      stepActiveCursor(trace, event->key() == Qt::Key_Left ? -step : step);
      // During a replay, stepping cursor A steps the sample played.
      if (core_.replay.active && !trace.cursorBActive) replaySeek(core_, trace.buffer.cursorSample);
      return;
    case Qt::Key_Home: return jumpToStart(trace);
    case Qt::Key_End: return jumpToEnd(trace);
    default: QWidget::keyPressEvent(event);
  }
}

TimeAxis::TimeAxis(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("TimeAxis");
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimeAxis::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kTraceBackground);
  paintDisplayList(painter, core_.trace.view.axis);
}

OverviewStrip::OverviewStrip(Core& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("Ctrl_Zoom");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::SizeHorCursor);
  setToolTip("Click or drag to move the view along the recording (during a replay, a click plays from there)");
}

void OverviewStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kStripBackground);
  paintDisplayList(painter, core_.trace.view.strip);
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int x = qRound(event->position().x());
  Ctrl_Zoom_MouseDown(core_.trace, x);
  // During a replay a click on the strip plays from that place.
  if (core_.replay.active) replaySeek(core_, sampleUnderStrip(core_.trace, x));
}

void OverviewStrip::mouseMoveEvent(QMouseEvent* event) {
  Ctrl_Zoom_MouseMove(core_.trace, qRound(event->position().x()), (event->buttons() & Qt::LeftButton) != 0);
}

void OverviewStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Ctrl_Zoom_MouseUp(core_.trace);
}

TraceWidget::TraceWidget(Core& core, const QString& appFolder, QWidget* parent)
    : QWidget(parent),
      core_(core),
      panPointer_(pointerFrom(appFolder + "/hmove.cur")),
      zoomPointer_(pointerFrom(appFolder + "/MyZoom.cur")) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 0, 4, 0);

  auto* controls = new QHBoxLayout;
  timeBase_ = new QComboBox(this);
  timeBase_->setObjectName("TimeBase");
  timeBase_->setToolTip("Time base");
  timeBase_->setEditable(true);
  timeBase_->setInsertPolicy(QComboBox::NoInsert);
  timeBase_->addItems({"5s", "10s", "20s", "50s", "100s", "200s", "500s"});
  // Wide enough for any span a zoom leaves on screen, "1299.98s" at most.
  timeBase_->setMinimumContentsLength(8);
  timeBase_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  controls->addWidget(timeBase_);
  connect(timeBase_, &QComboBox::activated, this,
          [this](int i) { TimeBase_Click(core_.trace, timeBase_->itemText(i).toStdString()); });
  connect(timeBase_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
    TimeBase_Validate(core_.trace, timeBase_->currentText().toStdString());
    // Text that was no entry gives way to the span on screen again.
    shownSpan_.clear();
    render();
  });

  const std::array<const char*, 5> names{"Vout", "Richness", "Lambda", "O2", "A/F"};
  for (std::size_t i = 0; i < options_.size(); ++i) {
    options_[i] = new QRadioButton(names[i], this);
    options_[i]->setObjectName(QString("OptionChOscillo%1").arg(i));
    connect(options_[i], &QRadioButton::clicked, this, [this, i] { OptionChOscillo_Click(core_.trace, static_cast<int>(i)); });
    controls->addWidget(options_[i]);
  }
  controls->addSpacing(12);
  for (std::size_t i = 0; i < valCurseur_.size(); ++i) {
    valCurseur_[i] = new QLabel(this);
    valCurseur_[i]->setObjectName(QString("ValCurseur%1").arg(i));
    valCurseur_[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    valCurseur_[i]->setMinimumWidth(56);
    valCurseur_[i]->setAlignment(Qt::AlignCenter);
    valCurseur_[i]->setToolTip(i < 5 ? QString("%1 at the cursor").arg(names[i]) : QString("Channel %1 at the cursor").arg(i - 4));
    controls->addWidget(valCurseur_[i]);
  }
  controls->addStretch(1);
  column->addLayout(controls);

  surfaces_ = new QWidget(this);
  surfaces_->setMinimumHeight(160);
  oscillo_ = new OscilloWidget(core_, surfaces_);
  axis_ = new TimeAxis(core_, surfaces_);
  strip_ = new OverviewStrip(core_, surfaces_);
  wCurseur_ = new QLabel(surfaces_);
  wCurseur_->setObjectName("WCuseur");
  wCurseur_->setFrameStyle(QFrame::Box);
  wCurseur_->setAlignment(Qt::AlignCenter);
  // Dark text on pale yellow in either look.
  wCurseur_->setStyleSheet("background: #ffffe0; color: black");
  column->addWidget(surfaces_, 1);

  core_.trace.view.textWidth = [metrics = QFontMetrics(axis_->font())](std::string_view text) {
    return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  core_.trace.view.textHeight = QFontMetrics(axis_->font()).height();

  // New samples arrive 50 times a second; their segments and the cursor
  // values are shown at most every 40 ms. A new picture or a user action
  // shows at once.
  coalesce_ = new QTimer(this);
  coalesce_->setSingleShot(true);
  coalesce_->setInterval(40);
  connect(coalesce_, &QTimer::timeout, this, &TraceWidget::render);
  subscription_ = core_.trace.view.changed.subscribe([this] { modelChanged(); });
  // A module type with a fifth channel shows its cursor box as soon as the
  // panel is laid out for it, not at the trace's next change.
  panelSubscription_ = core_.monitor.livePanel.changed.subscribe([this] { render(); });
  render();
}

void TraceWidget::modelChanged() {
  const TraceModel& model = core_.trace.view;
  const bool onlyNewSamples = model.repaintGeneration == stripGeneration_ && model.pointer == shownPointer_ &&
                              model.cursorX == oscillo_->shownCursorX() && model.WCuseur == shownCursorTime_ &&
                              std::pair(model.zoomBandLeft, model.zoomBandRight) == oscillo_->shownZoomBand();
  if (!onlyNewSamples) {
    coalesce_->stop();
    render();
  } else if (!coalesce_->isActive()) {
    coalesce_->start();
  }
}

void TraceWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutSurfaces();
}

void TraceWidget::layoutSurfaces() {
  // From the top: the band for WCuseur, the trace area, its time axis, the
  // overview strip.
  const int w = surfaces_->width();
  const int h = surfaces_->height();
  const int axisHeight = kTimeAxisTextTop + core_.trace.view.textHeight + 2;
  const int traceHeight = std::max(h - kCursorBand - axisHeight - kStripHeight, 1);
  oscillo_->setGeometry(0, kCursorBand, w, traceHeight);
  axis_->setGeometry(0, kCursorBand + traceHeight, w, axisHeight);
  strip_->setGeometry(0, kCursorBand + traceHeight + axisHeight, w, kStripHeight);
  traceResized(core_.trace, w, traceHeight, w, kStripHeight);
}

void TraceWidget::render() {
  const TraceModel& model = core_.trace.view;
  const TraceBuffer& trace = core_.trace.buffer;
  oscillo_->sync();
  const std::pair<int, int> overview{trace.overviewLeft, trace.overviewRight};
  if (model.repaintGeneration != stripGeneration_ || overview != overview_) {
    stripGeneration_ = model.repaintGeneration;
    overview_ = overview;
    axis_->update();
    strip_->update();
  }

  const int cursorX = model.WCuseur.empty() ? -1 : model.cursorX;
  if (cursorX != shownCursorX_ || model.WCuseur != shownCursorTime_) {
    shownCursorX_ = cursorX;
    shownCursorTime_ = model.WCuseur;
    if (cursorX >= 0) {
      wCurseur_->setText(qs(model.WCuseur));
      wCurseur_->adjustSize();
      const int width = std::max(wCurseur_->width(), 40);
      const int left = std::clamp(cursorX - width / 2, 0, std::max(surfaces_->width() - width, 0));
      wCurseur_->setGeometry(left, 0, width, kCursorBand);
      wCurseur_->show();
    } else {
      wCurseur_->hide();
    }
  }
  for (std::size_t i = 0; i < valCurseur_.size(); ++i) {
    if (model.ValCurseur[i] != shownValues_[i]) {
      shownValues_[i] = model.ValCurseur[i];
      valCurseur_[i]->setText(qs(model.ValCurseur[i]));
    }
    const std::uint32_t colour = model.ValCurseurColor[i];
    if (colour != shownColours_[i]) {
      shownColours_[i] = colour;
      valCurseur_[i]->setStyleSheet(
          i < 5 || colour == 0 ? QString() : colouredTextStyle(toQColor(colour)));
    }
    const int visible = core_.monitor.livePanel.valCurseurVisible[i] ? 1 : 0;
    if (visible != shownVisible_[i]) {
      shownVisible_[i] = visible;
      valCurseur_[i]->setVisible(visible != 0);
    }
  }
  const LivePanelModel& panel = core_.monitor.livePanel;
  for (std::size_t i = 0; i < options_.size(); ++i) {
    // The module type's own names for the quantities it sends.
    const QString name = qs(panel.traceChoiceNames[i]);
    if (options_[i]->text() != name) options_[i]->setText(name);
    if (options_[i]->isHidden() == panel.traceChoiceVisible[i]) options_[i]->setVisible(panel.traceChoiceVisible[i]);
    const bool selected = trace.selectedQuantity == static_cast<int>(i);
    if (options_[i]->isChecked() == selected) continue;
    const QSignalBlocker block(options_[i]);
    options_[i]->setChecked(selected);
  }
  // The box names the span on screen. It is set when that changes, so that
  // text being typed is not overwritten by the samples arriving meanwhile.
  if (model.spanText != shownSpan_) {
    shownSpan_ = model.spanText;
    const QSignalBlocker block(timeBase_);
    timeBase_->setCurrentText(qs(model.spanText));
  }
  if (model.pointer == shownPointer_) return;
  shownPointer_ = model.pointer;
  switch (model.pointer) {
    case TraceModel::Pointer::Pan: oscillo_->setCursor(panPointer_); break;
    case TraceModel::Pointer::Zoom: oscillo_->setCursor(zoomPointer_); break;
    case TraceModel::Pointer::Default: oscillo_->unsetCursor(); break;
  }
}

}  // namespace oxalis
