#pragma once

#include "articolo.h"
#include "gridtable.h"
#include "movementlog.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>

#include <functional>

namespace zorv::movimenti {

// The article document's headers ("Elimina Tabella"), columns 0 to 7.
const std::array<QByteArray, GridTable::Columns> &documentHeaders();
// The stock view's headers (after the stock update).
const std::array<QByteArray, GridTable::Columns> &stockHeaders();

// What the operator typed for one booking (Windows-1252 bytes) and the two options.
struct BookingEntry {
    QByteArray code;       // the barcode box, as typed
    QByteArray quantity;   // the quantity box, as typed
    bool noStockWarning = false;   // "Non avvertire per "QTA negative""
    bool noMissingWarning = false; // "Non avvertire per "Codice Inesistente""
};

struct Booking {
    enum Outcome {
        Nothing,   // empty code: nothing happens
        Discarded, // a question answered No: the entry is dropped
        Booked,    // the grid shows the booking (and ART.MAG holds it, for a known code)
        Failed,    // ART.MAG could not be read or written: nothing booked, the error shown
    } outcome = Nothing;
    int row = 0;
    bool rowAdded = false;
};

// The program-wide state of movimenti and its commands, without the window: the data
// folder, the grid's contents, the row counter, the filter, the loads of mov.txt, the
// bookings against ART.MAG and the stock update.
class Movimenti : public QObject {
    Q_OBJECT
public:
    // `percorso`: the data folder, ending in '/'.
    explicit Movimenti(const QString &percorso, QObject *parent = nullptr);

    GridTable &grid() { return m_grid; }
    const GridTable &grid() const { return m_grid; }
    LogLoader &loader() { return m_loader; }
    const QString &percorso() const { return m_percorso; }
    QString movPath() const { return m_percorso + QStringLiteral("mov.txt"); }
    QString artMagPath() const { return findFile(m_percorso, QStringLiteral("ART.MAG")); }

    // The row counter beside "Righe:".
    const QString &righe() const { return m_righe; }
    void setRighe(const QString &value);
    const QByteArray &colonnaFiltro() const { return m_colonnaFiltro; }
    const QByteArray &valoreFiltro() const { return m_valoreFiltro; }

    // Tests replace the article file, e.g. by one whose writes fail.
    void setArticleFiles(ArticleFileFactory factory) { m_files = std::move(factory); }

    // Start-up: the movement table, the counter "0", the whole log; the counter then
    // shows the rows loaded.
    void formLoad();
    // Appends the log below the grid's rows.
    void caricamovimenti();
    // "Tutti i Movimenti": the grid emptied, the movement table, the whole log.
    void tuttiIMovimenti();
    // A sort button: the data rows by `col`, then row 1, column 0 current.
    void sortBy(int col, SortKind kind);
    // A double click on the grid: asks whether to filter by the current cell, and does.
    // True when the filter started.
    bool gridDblClick();
    void filtramovimenti();

    Booking registraarticolo(const BookingEntry &entry);

    enum class Reset { Nothing, Declined, Done };
    // "Elimina Tabella": after two questions, the grid becomes the empty article document.
    Reset eliminaTabella();
    // The stock update: the document's counted quantities into ART.MAG, after rotating
    // the backups. `createMissing`: "Crea record per "Articoli non presenti"".
    void aggiornagiacenze(bool createMissing);
    void mostragiacenze();

signals:
    void righeChanged(const QString &value);

private:
    void setMovementTable();
    void whenLoaded(std::function<void()> action);
    void loadFinished();
    std::unique_ptr<ArticleFile> openArticles(QString *error);
    void showError(const QString &text);
    bool backUpArticles();

    QString m_percorso;
    GridTable m_grid;
    LogLoader m_loader;
    QString m_righe;
    QByteArray m_colonnaFiltro;
    QByteArray m_valoreFiltro;
    ArticleFileFactory m_files;
    std::function<void()> m_afterLoad;
};

} // namespace zorv::movimenti
