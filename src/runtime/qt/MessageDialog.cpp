#include "runtime/qt/MessageDialog.h"

#include <QApplication>
#include <QMessageBox>

namespace pedalwise::runtime {

void MessageDialog::show(const std::string& prompt, const std::string& title) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace pedalwise::runtime
