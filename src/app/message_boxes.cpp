#include "app/message_boxes.h"

#include <QMessageBox>

namespace tht::app {

void ModalBoxRunner::run(QMessageBox& box) { box.exec(); }

}  // namespace tht::app
