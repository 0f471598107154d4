#include "qtmessages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zorv {

QString QtMessageBoxes::effectiveTitle(const BoxTitle &title)
{
    // The program's title is its application name: a display name would be appended to
    // every window caption.
    return title ? *title : QCoreApplication::applicationName();
}

int QtMessageBoxes::msgBox(const QString &text, int styleValue, const BoxTitle &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(effectiveTitle(title));
    box.setText(text);
    switch (styleValue & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (isYesNo(styleValue)) {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        QPushButton *no = box.addButton(QMessageBox::No);
        box.setDefaultButton((styleValue & style::DefaultButton2) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == no ? answer::No : answer::Yes;
    }
    box.addButton(QMessageBox::Ok);
    box.exec();
    return answer::Ok;
}

QString QtMessageBoxes::inputBox(const QString &prompt, const BoxTitle &title, const QString &defaultText)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(QApplication::activeWindow(), effectiveTitle(title), prompt,
                                                QLineEdit::Normal, defaultText, &ok);
    return ok ? typed : QString();
}

void QtMessageBoxes::beep()
{
    QApplication::beep();
}

} // namespace zorv
