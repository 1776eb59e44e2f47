#include "report/qt/trend_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "report/qt/svg_image.h"
#include "report/report_texts.h"
#include "report/survey_series.h"
#include "report/svg_chart.h"
#include "report/trend_charts.h"
#include "report/trend_view.h"

namespace pqwave {

// The figure fitted to the widget; the pointer's position read back through the figure's
// own layout, so the cursor line and the read-out stand where the SVG draws the time.
class TrendPicture : public QWidget {
public:
    explicit TrendPicture(TrendWindow& window) : window_(window) {
        setMouseTracking(true);
        setMinimumSize(480, 320);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void invalidate() {
        svg_.clear();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        if (!window_.series_) return;
        if (svg_.empty() || size() != drawnSize_) {
            figure_ = window_.figureFor(width(), height());
            layout_ = layoutOf(figure_);
            svg_ = svgOf(figure_);
            drawnSize_ = size();
        }
        paintSvg(svg_, painter, QRectF(0, 0, layout_.width, layout_.height));
        if (!cursorX_) return;
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        for (const PlotArea& a : layout_.plots)
            painter.drawLine(QPointF(*cursorX_, a.top), QPointF(*cursorX_, a.top + a.height));
    }

    void wheelEvent(QWheelEvent* event) override {
        const std::optional<double> t = timeAt(event->position().x());
        if (t) window_.zoom(*t, event->angleDelta().y() / 120.0);
        event->accept();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const std::optional<double> t = timeAt(event->position().x());
        cursorX_ = t ? std::optional<double>(event->position().x()) : std::nullopt;
        window_.pointAt(t);
        update();
    }

    void leaveEvent(QEvent*) override {
        cursorX_.reset();
        window_.pointAt(std::nullopt);
        update();
    }

    void mouseDoubleClickEvent(QMouseEvent*) override { window_.showWhole(); }

private:
    std::optional<double> timeAt(double x) const {
        if (layout_.plots.empty()) return std::nullopt;
        const PlotArea& a = layout_.plots.front();
        if (x < a.left || x > a.left + a.width) return std::nullopt;
        return axisValueAt(figure_.x, (x - a.left) / a.width);
    }

    TrendWindow& window_;
    Figure figure_;
    FigureLayout layout_;
    std::string svg_;
    QSize drawnSize_;
    std::optional<double> cursorX_;
};

namespace {

QString captionOf(TrendQuantity q) {
    switch (q) {
        case TrendQuantity::Voltage:
            return QStringLiteral("線間電圧 U");
        case TrendQuantity::Frequency:
            return QStringLiteral("周波数 f");
        case TrendQuantity::Unbalance:
            return QStringLiteral("電圧不平衡率 u2");
        case TrendQuantity::Thd:
            return QStringLiteral("THD");
        case TrendQuantity::Flicker:
            return QStringLiteral("フリッカ Pst・Plt");
        case TrendQuantity::ActivePower:
            return QStringLiteral("有効電力 P");
        case TrendQuantity::ReactivePower:
            return QStringLiteral("無効電力 Q");
        default:
            return QStringLiteral("力率 PF");
    }
}

}  // namespace

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("トレンド"));
    setObjectName(QStringLiteral("TrendWindow"));
    resize(1000, 720);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    quantities_ = new QComboBox;
    quantities_->setObjectName(QStringLiteral("TrendQuantity"));
    for (TrendQuantity q : kTrendQuantities) quantities_->addItem(captionOf(q), static_cast<int>(q));
    auto* whole = new QPushButton(QStringLiteral("全体"));
    whole->setObjectName(QStringLiteral("TrendWhole"));
    bar->addWidget(quantities_);
    bar->addWidget(whole);
    bar->addWidget(new QLabel(QStringLiteral("ホイールで拡大・縮小、ダブルクリックで全体")));
    bar->addStretch(1);
    layout->addLayout(bar);
    picture_ = new TrendPicture(*this);
    picture_->setObjectName(QStringLiteral("TrendPicture"));
    layout->addWidget(picture_, 1);
    readout_ = new QLabel;
    readout_->setObjectName(QStringLiteral("TrendReadout"));
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(readout_);
    connect(quantities_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setQuantity(static_cast<TrendQuantity>(quantities_->itemData(index).toInt())); });
    connect(whole, &QPushButton::clicked, this, [this] { showWhole(); });
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::showSurvey(std::shared_ptr<const PqSurvey> survey) {
    survey_ = std::move(survey);
    series_ = std::make_unique<SurveySeries>(seriesOf(*survey_));
    whole_ = {series_->start, std::max(series_->end, series_->start + 1)};
    shown_ = whole_;
    setWindowTitle(QStringLiteral("トレンド - ") + QString::fromStdString(survey_->name));
    readout_->clear();
    picture_->invalidate();
}

void TrendWindow::setQuantity(TrendQuantity quantity) {
    quantity_ = quantity;
    const int index = quantities_->findData(static_cast<int>(quantity));
    if (index != quantities_->currentIndex()) quantities_->setCurrentIndex(index);
    picture_->invalidate();
}

QString TrendWindow::readout() const {
    return readout_->text();
}

void TrendWindow::zoom(double anchor, double steps) {
    shown_ = zoomedRange(shown_, whole_, anchor, steps);
    picture_->invalidate();
}

void TrendWindow::showWhole() {
    shown_ = whole_;
    picture_->invalidate();
}

void TrendWindow::pointAt(std::optional<double> clockSeconds) {
    readout_->setText(!series_ || !clockSeconds ? QString()
                                                : QString::fromStdString(trendReadout(
                                                      *series_, quantity_, *clockSeconds, Language::Japanese)));
}

Figure TrendWindow::figureFor(int width, int height) const {
    TrendOptions options;
    options.language = Language::Japanese;
    options.limits = &limits_;
    options.clock = shown_;
    options.width = width;
    Figure figure = trendFigure(*series_, quantity_, options);
    // The panels share what height the frame, titles and labels leave.
    figure.plotHeight = 0;
    const double frame = layoutOf(figure).height;
    const double panels = std::max<double>(1, static_cast<double>(figure.panels.size()));
    figure.plotHeight = std::max(60.0, (height - frame) / panels);
    return figure;
}

}  // namespace pqwave
