// Key codes of the boxes' filters, the suite's window key rules, and the titles of the
// system's boxes.

#include "keycodes.h"
#include "qtmessages.h"
#include "windowkeys.h"

#include "testsupport.h"

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;

TEST(KeyCodes, FocusAndCaretKeysAreNoCharacters)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *text;
        int code;
    } cases[] = {
        {Qt::Key_Tab, Qt::NoModifier, "\t", -1},
        {Qt::Key_Backtab, Qt::ShiftModifier, "\t", -1},
        {Qt::Key_Backtab, Qt::ShiftModifier, "", -1},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", -1},
        {Qt::Key_Left, Qt::NoModifier, "", -1},
        {Qt::Key_F9, Qt::NoModifier, "", -1},
        {Qt::Key_Return, Qt::NoModifier, "\r", 13},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 8},
        {Qt::Key_5, Qt::NoModifier, "5", '5'},
        {Qt::Key_A, Qt::ShiftModifier, "A", 'A'},
        {Qt::Key_V, Qt::ControlModifier, "\x16", 22},
    };
    for (const auto &c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, QString::fromLatin1(c.text));
        EXPECT_EQ(keycode::typed(&event), c.code) << std::hex << c.key;
        EXPECT_EQ(keycode::movesFocus(&event), c.key == Qt::Key_Tab || c.key == Qt::Key_Backtab) << std::hex << c.key;
    }
}

TEST(WindowKeys, TheSystemBoxesKeepTheirOwnRules)
{
    QMessageBox box;
    QInputDialog input;
    EXPECT_FALSE(windowkeys::appliesTo(&box));
    EXPECT_FALSE(windowkeys::appliesTo(&input));
    EXPECT_FALSE(windowkeys::appliesTo(nullptr));
}

namespace {

// Runs `show` with a box that opens modally; `onOpen` sees the box and closes it.
void withModalBox(const std::function<void()> &show, const std::function<void(QWidget *)> &onOpen)
{
    bool seen = false;
    test::whenIdle([&] {
        QWidget *box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        seen = true;
        onOpen(box);
    });
    show();
    EXPECT_TRUE(seen);
}

} // namespace

TEST(SystemBoxes, AnEmptyTitleOfItsOwnStaysEmptyAndNoTitleShowsTheProgramsTitle)
{
    const QString saved = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Zorv900V3"));
    QtMessageBoxes boxes;
    const struct {
        BoxTitle given;
        QString shown;
    } cases[] = {
        {std::nullopt, QStringLiteral("Zorv900V3")},
        {QString(), QString()},
        {QStringLiteral(""), QString()},
        {QStringLiteral("(!)"), QStringLiteral("(!)")},
    };
    for (const auto &c : cases) {
        QString title;
        int answer = 0;
        withModalBox([&] { answer = boxes.msgBox(QStringLiteral("Are you sure to Initialize ?"), style::YesNo, c.given); },
                     [&](QWidget *box) {
                         title = box->windowTitle();
                         // Enter on the focused button answers: No here.
                         auto *no = static_cast<QMessageBox *>(box)->button(QMessageBox::No);
                         no->setFocus();
                         QTest::keyClick(no, Qt::Key_Return);
                     });
        EXPECT_EQ(title, c.shown) << c.shown.toStdString();
        EXPECT_EQ(answer, answer::No);

        QString typed;
        withModalBox([&] { typed = boxes.inputBox(QStringLiteral("Type Seconds"), c.given, QString()); },
                     [&](QWidget *box) {
                         title = box->windowTitle();
                         // Enter in the input box's line confirms it, as the system's box does.
                         auto *line = box->findChild<QLineEdit *>();
                         ASSERT_NE(line, nullptr);
                         QTest::keyClicks(line, QStringLiteral("2.5"));
                         QTest::keyClick(line, Qt::Key_Return);
                     });
        EXPECT_EQ(title, c.shown) << c.shown.toStdString();
        EXPECT_EQ(typed, QStringLiteral("2.5"));
    }
    QCoreApplication::setApplicationName(saved);
}
