#pragma once
// The one place where a modal box blocks: tests put a recorder here so that
// every box the window builds is checked instead of waiting for a click.
class QMessageBox;

namespace tht::app {

class BoxRunner {
public:
    virtual ~BoxRunner() = default;
    // Shows a box that the window has built and returns when it is dismissed.
    virtual void run(QMessageBox& box) = 0;
};

class ModalBoxRunner final : public BoxRunner {
public:
    void run(QMessageBox& box) override;
};

}  // namespace tht::app
