#pragma once

#include "messages.h"

namespace zorv {

// Message and input boxes on QMessageBox and QInputDialog, over the active window.
class QtMessageBoxes : public MessageBoxes {
public:
    int msgBox(const QString &text, int style, const BoxTitle &title) override;
    QString inputBox(const QString &prompt, const BoxTitle &title, const QString &defaultText) override;
    void beep() override;

    // The title a box shows: its own, even an empty one, or else the program's.
    static QString effectiveTitle(const BoxTitle &title);
};

} // namespace zorv
