// The wedge on reader emulators behind pseudo-terminals: choosing a port while the loop
// runs, and a port that appears only later.

#include "emulatorprocess.h"
#include "plovekfixture.h"

#include "qtserialport.h"
#include "stationport.h"

#include <QLabel>

using namespace zorv;
using namespace zorv::stations::plovek;

namespace {

QByteArray iniOnPort(int port)
{
    PlovekIni i;
    i.Check1 = 0;
    i.Combo6 = port;
    return i.testo();
}

} // namespace

class PlovekPortTest : public PlovekFixture {
protected:
    bool onPort(int n) { return window->loop()->portaInUso() == n && window->port().isOpen(); }

    void expectTyped(const QString &text)
    {
        ASSERT_TRUE(recorder.waitForPresses(int(text.size()), 10000)) << recorder.typed().toStdString();
        recorder.settle();
        EXPECT_EQ(recorder.typed(), text);
    }

    // The real serial port, on the emulators' terminals.
    Maker<SerialPort> realPorts = Maker<SerialPort>::of<QtSerialPort>();
    ScopedService<Maker<SerialPort>> realPortsInstalled{&realPorts};
};

TEST_F(PlovekPortTest, PortChosenWhileTheLoopRunsTakesEffectAndIsSaved)
{
    emulator::EmulatorProcess com2, com3;
    QString error;
    ASSERT_TRUE(com2.start(home.path(), 2, {}, &error)) << error.toStdString();
    ASSERT_TRUE(com3.start(home.path(), 3, {}, &error)) << error.toStdString();
    writeIni(iniOnPort(2));
    start();
    ASSERT_TRUE(test::waitUntil([&] { return onPort(2); }));
    ASSERT_TRUE(com2.present("TWO"));
    expectTyped("TWO");
    recorder.clear();

    window->Combo6->setCurrentIndex(3);
    EXPECT_EQ(readIni(), QByteArray("0\r\n3,0\r\n0,0\r\n0,0\r\n0,0\r\n"));
    ASSERT_TRUE(test::waitUntil([&] { return onPort(3); }));
    // COM2 is closed now: what its reader sends goes nowhere.
    ASSERT_TRUE(com2.present("OLD"));
    ASSERT_TRUE(com3.present("NEW"));
    expectTyped("NEW");
    EXPECT_EQ(window->Label1->text(), "NEW");
}

TEST_F(PlovekPortTest, PortThatIsNotThereIsTriedUntilItAppears)
{
    writeIni(iniOnPort(4));
    start();
    EXPECT_FALSE(window->port().isOpen());
    emulator::EmulatorProcess com4;
    QString error;
    ASSERT_TRUE(com4.start(home.path(), 4, {}, &error)) << error.toStdString();
    ASSERT_TRUE(test::waitUntil([&] { return onPort(4); }, 5000));
    ASSERT_TRUE(com4.present("LATE"));
    expectTyped("LATE");
}
