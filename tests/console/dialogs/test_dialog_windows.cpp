#include "consoledialog.h"
#include "dialogresults.h"
#include "fakeserialport.h"
#include "fakemessageboxes.h"
#include "portframedialog.h"
#include "sounddialog.h"
#include "store.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace zorv;
using namespace zorv::console;

namespace {

// Puts text into a box the way an operator's paste would, past its key filter.
void paste(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QApplication::clipboard()->setText(text);
    box->paste();
    if (box->text() != text.left(box->maxLength())) // no clipboard on this platform
        box->setText(text.left(box->maxLength()));
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() : boxesService(&boxes) {}

    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService;
    test::SystemClockInstalled clock;
};

// PORTS and CONFIG are twins: every test runs on both.
class PortFrameDialogs : public DialogTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        results().ComandoPorte = "stale";
        if (GetParam())
            dialog = std::make_unique<PORTS>();
        else
            dialog = std::make_unique<CONFIG>();
        dialog->show();
    }
    void ok()
    {
        boxes.shown.clear();
        QTest::mouseClick(dialog->Command13, Qt::LeftButton);
    }
    std::unique_ptr<PortFrameDialog> dialog;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Twins, PortFrameDialogs, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "PORTS" : "CONFIG"; });

TEST_P(PortFrameDialogs, CaptionsAndAnEmptyResultOnLoad)
{
    EXPECT_EQ(results().ComandoPorte, QByteArray());
    EXPECT_EQ(dialog->objectName(), GetParam() ? "PORTS" : "CONFIG");
    EXPECT_EQ(dialog->windowTitle(), GetParam() ? "Toggle Ports" : "Store Config");
    EXPECT_EQ(dialog->Command13->text(), GetParam() ? "Go !" : "Store config");
    EXPECT_EQ(dialog->Command3->text(), "Quit");
    EXPECT_EQ(dialog->Label1->text(), "Port (A/B/C)");
    EXPECT_EQ(dialog->Label2->text(), "Pin 0 to 7");
    EXPECT_EQ(dialog->Label3->text(), "Sec. 1 to 25");
    EXPECT_EQ(dialog->Label4->text(), "Status 0 / 1");
    EXPECT_TRUE(dialog->isModal());
}

TEST_P(PortFrameDialogs, KeyFiltersDropEveryOtherKey)
{
    QTest::keyClicks(dialog->Text1, "dx1b");
    EXPECT_EQ(dialog->Text1->text(), "B"); // shown upper case
    QTest::keyClicks(dialog->Text2, "89a-3");
    EXPECT_EQ(dialog->Text2->text(), "3");
    QTest::keyClicks(dialog->Text3, "x0.a5");
    EXPECT_EQ(dialog->Text3->text(), "05");
    QTest::keyClick(dialog->Text3, Qt::Key_Backspace);
    QTest::keyClicks(dialog->Text3, "9");
    EXPECT_EQ(dialog->Text3->text(), "09");
    QTest::keyClicks(dialog->Text4, "2a1");
    EXPECT_EQ(dialog->Text4->text(), "1");
    // Delete edits, also where the keyboard hands it over with the code 127.
    QTest::keyClick(dialog->Text3, Qt::Key_Home);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(dialog->Text3, &del);
    EXPECT_EQ(dialog->Text3->text(), "9");
    // Enter and Esc mean nothing here: no default button takes Enter in a box.
    QTest::keyClick(dialog->Text4, Qt::Key_Return);
    QTest::keyClick(dialog->Text4, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(dialog->Text4, Qt::Key_Escape);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(results().ComandoPorte.isEmpty());
    // Enter on a focused button clicks it, as Space does.
    dialog->Command13->setFocus();
    QTest::keyClick(dialog->Command13, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(results().ComandoPorte, QByteArray("B3\x5a" "1"));
}

TEST_P(PortFrameDialogs, ChecksInOrderThenTheFrame)
{
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Port should be A or B or C"});
    EXPECT_EQ(boxes.last().style, style::Ok);
    EXPECT_FALSE(boxes.last().title.has_value()); // the program's title
    QTest::keyClicks(dialog->Text1, "a");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"PIN should be 0 to 7"});
    QTest::keyClicks(dialog->Text2, "3");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Timing should be more than Zero"});
    QTest::keyClicks(dialog->Text3, "00");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Timing should be more than Zero"});
    dialog->Text3->clear();
    QTest::keyClicks(dialog->Text3, "26");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Timing should be 1 to 25"});
    dialog->Text3->clear();
    QTest::keyClicks(dialog->Text3, "5");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Staus should be 0 or 1"});
    // Every failed OK left the boxes as typed and the result empty.
    EXPECT_EQ(dialog->Text1->text(), "A");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(results().ComandoPorte.isEmpty());

    QTest::keyClicks(dialog->Text4, "1");
    ok();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(results().ComandoPorte, QByteArray("A3\x32" "1"));
}

TEST_P(PortFrameDialogs, PastedTextIsCheckedAgainOnOk)
{
    paste(dialog->Text1, "d");
    EXPECT_EQ(dialog->Text1->text(), "D");
    QTest::keyClicks(dialog->Text2, "3");
    QTest::keyClicks(dialog->Text3, "5");
    QTest::keyClicks(dialog->Text4, "1");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Port should be A or B or C"});
    paste(dialog->Text1, "c");
    paste(dialog->Text2, "9");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"PIN should be 0 to 7"});
    paste(dialog->Text2, "7");
    paste(dialog->Text3, "1x");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Timing should be 1 to 25"});
    paste(dialog->Text3, "25");
    paste(dialog->Text4, "x");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Staus should be 0 or 1"});
    paste(dialog->Text4, "0");
    ok();
    EXPECT_EQ(results().ComandoPorte, QByteArray("C7\xfa" "0"));
}

TEST_P(PortFrameDialogs, QuitOrCloseAfterAFailedOkLeavesTheResultEmpty)
{
    QTest::keyClicks(dialog->Text1, "a");
    ok();
    QTest::mouseClick(dialog->Command3, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(results().ComandoPorte.isEmpty());

    SetUp();
    QTest::keyClicks(dialog->Text1, "a");
    ok();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(results().ComandoPorte.isEmpty());
}

namespace {

class StoreDialog : public DialogTest {
protected:
    void SetUp() override
    {
        results().ComandoCarta = "stale";
        dialog = std::make_unique<store>();
        dialog->show();
    }
    void ok()
    {
        boxes.shown.clear();
        QTest::mouseClick(dialog->Command13, Qt::LeftButton);
    }
    std::unique_ptr<store> dialog;
};

} // namespace

TEST_F(StoreDialog, CaptionsAndFilters)
{
    EXPECT_TRUE(results().ComandoCarta.isEmpty());
    EXPECT_EQ(dialog->windowTitle(), "Store Card");
    EXPECT_EQ(dialog->Command13->text(), "Store Card");
    EXPECT_EQ(dialog->Command3->text(), "Quit");
    EXPECT_EQ(dialog->Label1->text(), "Record");
    EXPECT_EQ(dialog->Label2->text(), "Card N.  (12 digits)");
    EXPECT_EQ(dialog->Label3->text(), "Relay");

    QTest::keyClicks(dialog->Text1, "a1-0x9");
    EXPECT_EQ(dialog->Text1->text(), "10");
    QTest::keyClicks(dialog->Text3, "03a2");
    EXPECT_EQ(dialog->Text3->text(), "2");
    // The card box takes any key, twelve at most.
    QTest::keyClicks(dialog->Text2, "AB 12-x/34567890");
    EXPECT_EQ(dialog->Text2->text(), "AB 12-x/3456");
    QTest::keyClick(dialog->Text2, Qt::Key_Return);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(StoreDialog, ChecksInOrderThenTheSlot)
{
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Rec must be between 1 and 10"});
    QTest::keyClicks(dialog->Text1, "11");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Rec must be between 1 and 10"});
    dialog->Text1->clear();
    QTest::keyClicks(dialog->Text1, "1");
    QTest::keyClicks(dialog->Text2, "12345678901");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Card length must be 12 digits"});
    QTest::keyClicks(dialog->Text2, "2");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Relay must be 1 or 2"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(results().ComandoCarta.isEmpty());
    QTest::keyClicks(dialog->Text3, "2");
    ok();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(results().ComandoCarta, QByteArray("0123456789012" "1"));
}

TEST_F(StoreDialog, ABadRecordIsReportedBeforeAnEmptyRelay)
{
    QTest::keyClicks(dialog->Text1, "0");
    QTest::keyClicks(dialog->Text2, "123456789012");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Rec must be between 1 and 10"});
}

TEST_F(StoreDialog, PastedRecordAndLeadingSpaceAreRefused)
{
    paste(dialog->Text1, "1a");
    paste(dialog->Text2, " 23456789012");
    QTest::keyClicks(dialog->Text3, "1");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Rec must be between 1 and 10"});
    paste(dialog->Text1, "10");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{"Card length must be 12 digits"});
    paste(dialog->Text2, "A 3456789-12");
    ok();
    EXPECT_EQ(results().ComandoCarta, QByteArray("9A 3456789-120"));
}

TEST_F(StoreDialog, ACharacterTheReaderCannotTakeIsNamed)
{
    QTest::keyClicks(dialog->Text1, "3");
    QTest::keyClicks(dialog->Text2, "12345");
    QTest::sendKeyEvent(QTest::Click, dialog->Text2, Qt::Key_unknown, QString::fromUtf8("Ω"), Qt::NoModifier);
    QTest::keyClicks(dialog->Text2, "789012");
    ASSERT_EQ(dialog->Text2->text(), QString::fromUtf8("12345Ω789012"));
    QTest::keyClicks(dialog->Text3, "1");
    ok();
    EXPECT_EQ(boxes.texts(), QStringList{QString::fromUtf8("Character \"Ω\" cannot be sent to the reader")});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(results().ComandoCarta.isEmpty());
}

TEST_F(StoreDialog, QuitAfterAFailedOkSendsNothing)
{
    QTest::keyClicks(dialog->Text1, "1");
    ok();
    QTest::mouseClick(dialog->Command3, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(results().ComandoCarta.isEmpty());
}

namespace {

class SoundDialog : public DialogTest {
protected:
    void SetUp() override
    {
        port.open();
        dialog = std::make_unique<SOUND>(&port);
        dialog->show();
    }
    void go()
    {
        boxes.shown.clear();
        QTest::mouseClick(dialog->Command13, Qt::LeftButton);
    }
    FakeSerialPort port;
    std::unique_ptr<SOUND> dialog;
};

} // namespace

TEST_F(SoundDialog, CaptionsAndFilters)
{
    EXPECT_EQ(dialog->windowTitle(), "Sound");
    EXPECT_EQ(dialog->Command13->text(), "Go");
    EXPECT_EQ(dialog->Label1->text(), "Freq. 1/255");
    EXPECT_EQ(dialog->Label3->text(), "Time (1/255)");
    QTest::keyClicks(dialog->Text1, "1a2.-45");
    EXPECT_EQ(dialog->Text1->text(), "124");
    QTest::keyClicks(dialog->Text3, "x5 0");
    EXPECT_EQ(dialog->Text3->text(), "50");
}

TEST_F(SoundDialog, ChecksInOrderAndSendsNothingOnFailure)
{
    go();
    EXPECT_EQ(boxes.texts(), QStringList{"Frequency must be between 1 and 255"});
    QTest::keyClicks(dialog->Text1, "256");
    go();
    EXPECT_EQ(boxes.texts(), QStringList{"Frequency must be between 1 and 255"});
    dialog->Text1->clear();
    QTest::keyClicks(dialog->Text1, "124");
    go();
    EXPECT_EQ(boxes.texts(), QStringList{"Time must be between 1 and 255"});
    QTest::keyClicks(dialog->Text3, "000");
    go();
    EXPECT_EQ(boxes.texts(), QStringList{"Time must be between 1 and 255"});
    paste(dialog->Text3, "5x");
    go();
    EXPECT_EQ(boxes.texts(), QStringList{"Time must be between 1 and 255"});
    EXPECT_TRUE(port.frames.isEmpty());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SoundDialog, EachGoSendsOneFrameAndTheDialogStays)
{
    QTest::keyClicks(dialog->Text1, "124");
    QTest::keyClicks(dialog->Text3, "50");
    for (int i = 0; i < 3; ++i)
        go();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(port.frames, QByteArrayList(3, QByteArray("BZ\x7c\x32\r")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Text1->text(), "124");
    QTest::mouseClick(dialog->Command3, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}
