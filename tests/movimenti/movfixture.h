#pragma once

#include "articolo.h"
#include "fakeclock.h"
#include "fakemessageboxes.h"
#include "program.h"
#include "service.h"
#include "testsupport.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

namespace zorv::movimenti::test {

// One mov.txt line as the access-control station writes it.
inline QByteArray movLine(const QByteArray &cliente, const QByteArray &nome, const QByteArray &carta,
                          const QByteArray &porta, const QByteArray &esito, const QByteArray &data = "09/12/2026",
                          const QByteArray &ora = "10:11:12")
{
    return '"' + cliente + "\",\"" + nome + "\",\"" + carta + "\",\"" + porta + "\",\"" + data + "\",\"" + ora
           + "\",\"" + esito + "\"\r\n";
}

// An ART.MAG record with every field filled, so a test sees that unused bytes stay.
inline RecordArticolo article(const QByteArray &barcode, const QByteArray &giacenza, const QByteArray &descr = "VITE",
                              const QByteArray &prezzo1 = "3.50", const QByteArray &progressivo = "100")
{
    QByteArray bytes;
    for (int i = 0; i < RecordArticolo::Size; ++i)
        bytes.append(char('a' + i % 26));
    RecordArticolo r(bytes);
    r.setField(RecordArticolo::DataArticolo, "01-02-2020");
    r.setField(RecordArticolo::Barcode, barcode);
    r.setField(RecordArticolo::Descrizione, descr);
    r.setField(RecordArticolo::Giacenza, giacenza);
    r.setField(RecordArticolo::Prezzo1, prezzo1);
    r.setField(RecordArticolo::Prezzo2, "");
    r.setField(RecordArticolo::Prezzo3, "12");
    r.setField(RecordArticolo::Progressivo, progressivo);
    return r;
}

// What the operator typed for one booking, with the two warning options.
inline BookingEntry entry(const QByteArray &code, const QByteArray &quantity, bool noStockWarning = false,
                          bool noMissingWarning = false)
{
    BookingEntry e;
    e.code = code;
    e.quantity = quantity;
    e.noStockWarning = noStockWarning;
    e.noMissingWarning = noMissingWarning;
    return e;
}

inline QByteArray artMag(const QList<RecordArticolo> &records)
{
    QByteArray out;
    for (const auto &r : records)
        out += r.bytes();
    return out;
}

// A data folder, fake boxes and a fixed clock for one test.
class MovFixture : public ::testing::Test {
protected:
    MovFixture() : m_boxes(&boxes), m_clock(&clock) {}

    QString percorso() const { return folder.path() + u'/'; }
    QByteArray record(const QString &file, int n) const
    {
        return folder.read(file).mid((n - 1) * RecordArticolo::Size, RecordArticolo::Size);
    }

    zorv::test::TempFolder folder;
    FakeMessageBoxes boxes;
    FakeClock clock;

private:
    ScopedService<MessageBoxes> m_boxes;
    ScopedService<Clock> m_clock;
};

} // namespace zorv::movimenti::test
