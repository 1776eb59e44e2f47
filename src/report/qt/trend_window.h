// The trend window: one of the survey's trend figures (trend_charts.h) drawn from the report's
// own SVG, zoomed by the mouse wheel around the time under the pointer, with a cursor line and
// a read-out of the values under it. Double-click (or "全体") shows the whole survey again.
// The header names no power-quality type beyond declarations: Qt's `signals` keyword would
// clash with the engine's signal sources.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "report/chart.h"
#include "report/limit_set.h"
#include "report/trend_quantity.h"

class QComboBox;
class QLabel;

namespace pqwave {

struct PqSurvey;
struct SurveySeries;
class TrendPicture;

class TrendWindow : public QWidget {
    Q_OBJECT

public:
    explicit TrendWindow(QWidget* parent = nullptr);
    ~TrendWindow() override;

    void showSurvey(std::shared_ptr<const PqSurvey> survey);

    void setQuantity(TrendQuantity quantity);
    TrendQuantity quantity() const { return quantity_; }
    std::pair<double, double> shownRange() const { return shown_; }  // clock seconds
    QString readout() const;

private:
    friend class TrendPicture;
    void zoom(double anchor, double steps);
    void pointAt(std::optional<double> clockSeconds);
    void showWhole();
    Figure figureFor(int width, int height) const;

    std::shared_ptr<const PqSurvey> survey_;
    std::unique_ptr<SurveySeries> series_;
    LimitSet limits_ = en50160MediumVoltage();
    TrendQuantity quantity_ = TrendQuantity::Voltage;
    std::pair<double, double> whole_{0, 1}, shown_{0, 1};
    QComboBox* quantities_ = nullptr;
    QLabel* readout_ = nullptr;
    TrendPicture* picture_ = nullptr;
};

}  // namespace pqwave
