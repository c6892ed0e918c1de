#pragma once
#include <QColor>
#include <QWidget>

namespace tht::app {

// A panel painted top to bottom from one colour through white to another.
class GradientPanel : public QWidget {
    Q_OBJECT
public:
    GradientPanel(QColor start, QColor end, QWidget* parent = nullptr);
    QColor startColor() const { return start_; }
    QColor endColor() const { return end_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor start_;
    QColor end_;
};

}  // namespace tht::app
