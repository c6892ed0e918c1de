#include "app/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace tht::app {

GradientPanel::GradientPanel(QColor start, QColor end, QWidget* parent)
    : QWidget(parent), start_(start), end_(end) {}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The panel may be stretched to the full width in command-line mode; the
    // gradient follows its current size.
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0.0, start_);
    gradient.setColorAt(0.5, Qt::white);
    gradient.setColorAt(1.0, end_);
    painter.fillRect(rect(), gradient);
}

}  // namespace tht::app
