#pragma once
// The curve of the table on the setup window's table page: Out (vertical)
// against In (horizontal), the points joined by lines in table order, with
// axes and a few value labels. It draws what it is given; the window hands
// it the table on screen whenever the model changes.
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

namespace oxalis {

class TableCurve : public QWidget {
 public:
  explicit TableCurve(QWidget* parent = nullptr);

  // The points (In, Out) in table order and the axes' titles.
  void setCurve(std::vector<std::pair<double, double>> points, const QString& inTitle, const QString& outTitle);
  const std::vector<std::pair<double, double>>& points() const { return points_; }

  QSize sizeHint() const override { return {240, 150}; }
  QSize minimumSizeHint() const override { return {180, 110}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::pair<double, double>> points_;
  QString inTitle_;
  QString outTitle_;
};

}  // namespace oxalis
