#pragma once

#include "messages.h"

namespace zorv {

// Message and input boxes on QMessageBox and QInputDialog, over the active window.
class QtMessageBoxes : public MessageBoxes {
public:
    int msgBox(const QString &text, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void beep() override;

    // The title a box shows: its own, or the program's.
    static QString effectiveTitle(const QString &title);
};

} // namespace zorv
