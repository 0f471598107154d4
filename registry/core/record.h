#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

// One customer of CLIENTI.DAT: 246 Windows-1252 bytes at fixed positions. The record
// number is the customer number; a deleted customer is 246 '*'.
namespace zorv::registry {

constexpr int kRecordSize = 246;
constexpr int kMaxCustomers = 9999; // the four-digit form cannot show more

struct FieldSpec {
    int offset; // 0-based
    int width;
};

namespace fields {
constexpr FieldSpec Nome{0, 40};
constexpr FieldSpec Indirizzo{40, 45};
constexpr FieldSpec Riservato{85, 15};
constexpr FieldSpec Accessi{100, 15};
constexpr FieldSpec Telefono{115, 15};
constexpr FieldSpec NumeroCarta{130, 15};
constexpr FieldSpec CAP{145, 15};
constexpr FieldSpec AccessiEffettuati{160, 30};
constexpr FieldSpec Prov{190, 2};
constexpr FieldSpec Ordini{192, 12};
constexpr FieldSpec Separatore{204, 2};
constexpr FieldSpec Fatturato{206, 12};
constexpr FieldSpec Relay{218, 4};
constexpr FieldSpec Citta{222, 24};
} // namespace fields

// What the entry form hands over, as typed (Windows-1252 bytes).
struct CustomerInput {
    QByteArray nome;
    QByteArray indirizzo;
    QByteArray riservato = QByteArray(15, '\0');
    QByteArray accessi;
    QByteArray telefono;
    QByteArray numeroCarta;
    QByteArray cap;
    QByteArray accessiEffettuati;
    QByteArray prov;
    std::array<QByteArray, 6> ordini;
    std::array<QByteArray, 6> fatturato;
    QByteArray relay;
    QByteArray citta;
};

class Record {
public:
    Record() : m_bytes(kRecordSize, ' ') {}
    // Takes 246 bytes; shorter data is padded with spaces, longer cut.
    explicit Record(QByteArrayView bytes);

    static Record deleted();
    // Builds a record by the writing rules: each field trimmed, upper-cased, padded or
    // cut; every space removed from the card number; Prov with Ordini and Separatore
    // with Fatturato upper-cased as 14 characters each; Riservato written as given.
    static Record compose(const CustomerInput &input);

    bool isDeleted() const;
    const QByteArray &bytes() const { return m_bytes; }

    // The field's bytes as stored, untrimmed.
    QByteArray raw(FieldSpec spec) const { return m_bytes.mid(spec.offset, spec.width); }
    // The field's bytes trimmed of spaces on both sides.
    QByteArray trimmed(FieldSpec spec) const;
    void setRaw(FieldSpec spec, QByteArrayView value); // padded with spaces or cut

    // Every reader takes the relay as 3 characters from position 219, trimmed, and the
    // city as the last 24 characters.
    QByteArray relay() const;
    QByteArray citta() const { return m_bytes.right(fields::Citta.width); }
    // The 2-character parts of Ordini / Fatturato (index 0-5), untrimmed.
    QByteArray ordine(int i) const { return m_bytes.mid(fields::Ordini.offset + 2 * i, 2); }
    QByteArray fatturato(int i) const { return m_bytes.mid(fields::Fatturato.offset + 2 * i, 2); }

    bool operator==(const Record &other) const { return m_bytes == other.m_bytes; }

private:
    QByteArray m_bytes;
};

// The entry form's rule for the credit text as typed: a count (anything not starting
// with "D" or "d") passes; a pass must be the letter and exactly a valid dd-mm-yyyy date.
// The stations read a stored pass more leniently (1 or 2 digits, "-", "/" or ".", blanks
// around): every pass the form takes reads there as the same date, and a pass on file in
// another form (written by hand, say) still reads.
bool creditAccepted(const QString &typed);

// A customer number in its four-digit form: 7 -> "0007".
QString numCliente(int number);

} // namespace zorv::registry
