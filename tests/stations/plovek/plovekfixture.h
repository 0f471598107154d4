#pragma once

#include "fakemessageboxes.h"
#include "fakeserialport.h"
#include "fakesound.h"
#include "faketrayicon.h"
#include "keyrecorder.h"
#include "plovekwindow.h"
#include "service.h"
#include "sound.h"
#include "stationwindow.h"
#include "testsupport.h"
#include "x11keystrokes.h"

#include <QComboBox>
#include <QPointer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// A wedge station on a fake reader line that types through the real X keystrokes into
// a recorder window of the test's own, with its configuration folder in a fresh place.
class PlovekFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        if (!recorder.isOpen() || !keys.isOpen())
            GTEST_SKIP() << "needs an X display: " << recorder.error().toStdString() << " "
                         << keys.lastError().toStdString();
    }

    void TearDown() override
    {
        window.reset();
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }

    QString iniPath() const { return home.path() + QStringLiteral("/zorv900/plovek.ini"); }
    void writeIni(const QByteArray &bytes) const
    {
        QDir().mkpath(home.path() + QStringLiteral("/zorv900"));
        home.write(QStringLiteral("zorv900/plovek.ini"), bytes);
    }
    QByteArray readIni() const { return home.read(QStringLiteral("zorv900/plovek.ini")); }

    // Opens the station and runs its start at once instead of after 30 s: the window
    // goes into the notification area and the loop opens the port.
    void start(bool runTimer = true)
    {
        window = std::make_unique<zorv::stations::plovek::PlovekWindow>();
        m_counting = false;
        m_handled = 0;
        window->Form_Load();
        window->show();
        if (runTimer) {
            window->Timer1->start(1);
            ASSERT_TRUE(zorv::test::waitUntil([&] { return window->loop()->attivo(); }));
            ASSERT_TRUE(zorv::test::waitUntil([&] { return window->isHidden(); }));
        }
        recorder.focus();
    }

    // A line from the reader, and the wait until the station has handled it.
    void present(const QByteArray &bytes, int lines = 1)
    {
        ASSERT_TRUE(line && line->isOpen());
        const int before = window->loop()->righeLette();
        handledBefore = handled();
        line->receive(bytes);
        ASSERT_TRUE(zorv::test::waitUntil([&] { return handled() >= handledBefore + lines; }, 15000))
            << "lines read " << window->loop()->righeLette() - before;
    }

    int handled()
    {
        if (!m_counting) {
            m_counting = true;
            QObject::connect(window->loop(), &zorv::stations::plovek::LeggiSeriale::rigaGestita, [this] { ++m_handled; });
        }
        return m_handled;
    }

    zorv::test::TempFolder home;
    zorv::test::SystemClockInstalled clock;
    zorv::Maker<zorv::SerialPort> lines{[this](QObject *parent) -> zorv::SerialPort * {
        auto *p = new zorv::FakeSerialPort(parent);
        line = p;
        return p;
    }};
    zorv::ScopedService<zorv::Maker<zorv::SerialPort>> linesInstalled{&lines};
    zorv::Maker<zorv::TrayIcon> icons{[this](QObject *parent) -> zorv::TrayIcon * {
        auto *t = new zorv::FakeTrayIcon(parent);
        tray = t;
        return t;
    }};
    zorv::ScopedService<zorv::Maker<zorv::TrayIcon>> iconsInstalled{&icons};
    zorv::FakeMessageBoxes boxes;
    zorv::ScopedService<zorv::MessageBoxes> boxesInstalled{&boxes};
    zorv::FakeSound sound;
    zorv::ScopedService<zorv::Sound> soundInstalled{&sound};
    KeyRecorder recorder;
    zorv::X11Keystrokes keys;
    zorv::ScopedService<zorv::Keystrokes> keysInstalled{&keys};
    QPointer<zorv::FakeSerialPort> line;
    QPointer<zorv::FakeTrayIcon> tray;
    std::optional<int> ended;
    zorv::stations::ProgramEnd end{[this](int code) { ended = code; }};
    zorv::ScopedService<zorv::stations::ProgramEnd> endInstalled{&end};
    std::unique_ptr<zorv::stations::plovek::PlovekWindow> window;
    int handledBefore = 0;

private:
    QByteArray m_oldConfig;
    bool m_counting = false;
    int m_handled = 0;
};
