#include "ui/qt/ShellDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace korvane {

BoxAnswer RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                        BoxButtons buttons) {
    const bool yes_no = buttons == BoxButtons::YesNo;
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text),
                    yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(yes_no ? QMessageBox::Yes : QMessageBox::Ok);
    const int pressed = box.exec();
    if (!yes_no) {
        return BoxAnswer::Ok;
    }
    // Closing the box without a button counts as No.
    return pressed == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

QString ToQtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList lines;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        const QStringList patterns = parts[i + 1]
                                         .split(';', Qt::SkipEmptyParts)
                                         .replaceInStrings(QRegularExpression("^\\s+|\\s+$"), "");
        if (text.isEmpty() && patterns.isEmpty()) {
            break;
        }
        text.remove(QRegularExpression("\\s*\\([^)]*\\)\\s*$"));
        lines << QString("%1 (%2)").arg(text, patterns.join(' '));
    }
    return lines.join(";;");
}

std::optional<std::string> RunFileOpenDialog(QWidget* parent, const FileOpenRequest& request) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(ToQtFileFilter(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace korvane
