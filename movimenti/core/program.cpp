#include "program.h"

#include "clock.h"
#include "messages.h"
#include "numbers.h"
#include "text.h"

#include <QFile>
#include <QFileInfo>

namespace zorv::movimenti {
namespace {

const QString kInventario = QStringLiteral("INVENTARIO");
const QString kTarniq = QStringLiteral("TARNIQ");
const QString kMovimenti = QStringLiteral("MOVIMENTI");

bool askedNo(const QString &text, int style, const QString &title)
{
    return messages().msgBox(text, style, title) == answer::No;
}

// A sum written as the grid's cells show it: one leading blank unless negative.
QByteArray signedText(double value)
{
    const QByteArray digits = numbers::shortText(value);
    return value < 0 ? digits : QByteArray(" ") + digits;
}

QString dateMonthFirst(const QDate &date)
{
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

} // namespace

const std::array<QByteArray, GridTable::Columns> &documentHeaders()
{
    static const std::array<QByteArray, GridTable::Columns> headers = {
        "ID Art.", "Barcode", "Descrizione", "Quantit\xE0", "Qta Res.", "Prezzo1", "Prezzo2", "Prezzo3",
    };
    return headers;
}

const std::array<QByteArray, GridTable::Columns> &stockHeaders()
{
    static const std::array<QByteArray, GridTable::Columns> headers = {
        "Num.", "Barcode", "Descrizione", "Quantit\xE0", "     Giacenza", "", "", "",
    };
    return headers;
}

Movimenti::Movimenti(const QString &percorso, QObject *parent)
    : QObject(parent), m_percorso(percorso), m_loader(m_grid), m_files(realArticleFiles())
{
    connect(&m_loader, &LogLoader::finished, this, &Movimenti::loadFinished);
}

void Movimenti::setRighe(const QString &value)
{
    if (value == m_righe)
        return;
    m_righe = value;
    emit righeChanged(value);
}

void Movimenti::setMovementTable()
{
    m_grid.clear();
    setMovementHeaders(m_grid);
}

void Movimenti::whenLoaded(std::function<void()> action)
{
    m_afterLoad = std::move(action);
}

void Movimenti::loadFinished()
{
    // A load that replaced an earlier one before it ended finishes the earlier one's
    // work too (the counter after start-up).
    if (auto action = std::exchange(m_afterLoad, {}))
        action();
}

void Movimenti::formLoad()
{
    setMovementTable();
    m_grid.setCurrentCell(0, 0);
    setRighe(QStringLiteral("0"));
    whenLoaded([this] { setRighe(QString::number(m_grid.rowCount() - 1)); });
    caricamovimenti();
}

void Movimenti::caricamovimenti()
{
    m_loader.load(movPath());
}

void Movimenti::tuttiIMovimenti()
{
    m_loader.cancel();
    setMovementTable();
    caricamovimenti();
}

void Movimenti::sortBy(int col, SortKind kind)
{
    m_grid.sort(col, kind);
    if (m_grid.rowCount() > 1) {
        m_grid.setCurrentCell(1, 0);
        m_grid.scrollToTop(1);
    }
}

bool Movimenti::gridDblClick()
{
    m_valoreFiltro.clear();
    m_colonnaFiltro.clear();
    if (m_grid.rowCount() == 1 || m_grid.currentCol() == 0)
        return false;
    m_valoreFiltro = m_grid.textCopy(m_grid.currentRow(), m_grid.currentCol());
    m_colonnaFiltro = movementHeader(m_grid.currentCol());
    messages().beep();
    const QString question = QStringLiteral("Filtrare i movimenti per ") + text::fromCp1252(m_colonnaFiltro)
                             + u' ' + text::fromCp1252(m_valoreFiltro) + QStringLiteral(" ?");
    if (askedNo(question, style::YesNo, kMovimenti))
        return false;
    filtramovimenti();
    return true;
}

void Movimenti::filtramovimenti()
{
    m_loader.filter(movPath(), m_colonnaFiltro, m_valoreFiltro);
}

void Movimenti::showError(const QString &text)
{
    messages().msgBox(text, style::Critical, QStringLiteral("ERRORE"));
}

std::unique_ptr<ArticleFile> Movimenti::openArticles(QString *error)
{
    auto file = m_files(artMagPath());
    *error = file->open();
    return file;
}

Booking Movimenti::registraarticolo(const BookingEntry &entry)
{
    Booking result;
    const QByteArray code = text::trimSpaces(entry.code);
    if (code.isEmpty())
        return result;
    const double quantity = numbers::leadingNumber(entry.quantity);

    QString error;
    auto file = openArticles(&error);
    qint64 number = 0;
    RecordArticolo article;
    if (error.isEmpty()) {
        const qint64 count = file->count();
        for (qint64 n = 1; n <= count; ++n) {
            const auto record = file->read(n);
            if (!record) {
                error = QStringLiteral("Record %1 illeggibile").arg(n);
                break;
            }
            if (record->trimmed(RecordArticolo::Barcode) == code) {
                number = n;
                article = *record;
                break;
            }
        }
    } else if (!QFileInfo::exists(file->path())) {
        // No ART.MAG and none can be made: no article is in it.
        error.clear();
    }
    file->close();
    if (!error.isEmpty()) {
        showError(QStringLiteral("ART.MAG non leggibile, nulla registrato:\r\n") + error);
        result.outcome = Booking::Failed;
        return result;
    }

    GridTable &grid = m_grid;
    int row = 0;
    if (number > 0) {
        const double stock = article.number(RecordArticolo::Giacenza);
        if (!entry.noStockWarning && quantity > stock) {
            messages().beep();
            if (askedNo(QStringLiteral("Quantita maggiore di quella presente\r\nin magazzino ! Vuoi forzare ?"),
                        style::YesNoCriticalNoDefault, kInventario)) {
                result.outcome = Booking::Discarded;
                return result;
            }
        }
        const QByteArray barcode = article.trimmed(RecordArticolo::Barcode);
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (grid.text(r, 1) == QByteArrayView(barcode)) {
                row = r;
                break;
            }
        }
        // The record first: the grid shows only what ART.MAG holds. The quantity goes
        // onto the stock as the file holds it at the write: another movimenti may have
        // booked this article since it was found.
        RecordArticolo booked;
        const QString writeError = file->rewrite(number, [&](RecordArticolo &current) -> QString {
            if (current.trimmed(RecordArticolo::Barcode) != code)
                return QStringLiteral("l'articolo non e' piu' al record %1").arg(number);
            current.setNumber(RecordArticolo::Giacenza, current.number(RecordArticolo::Giacenza) + quantity);
            current.setNumber(RecordArticolo::Progressivo, current.number(RecordArticolo::Progressivo) + quantity);
            booked = current;
            return {};
        });
        if (!writeError.isEmpty()) {
            showError(QStringLiteral("ART.MAG non aggiornato, articolo non registrato:\r\n") + writeError);
            result.outcome = Booking::Failed;
            return result;
        }
        const QByteArray newStock = booked.trimmed(RecordArticolo::Giacenza);
        const bool negative = booked.number(RecordArticolo::Giacenza) < 0;
        if (row > 0) {
            std::array<QByteArray, GridTable::Columns> cells;
            for (int c = 0; c < GridTable::Columns; ++c)
                cells[c] = grid.textCopy(row, c);
            cells[3] = signedText(numbers::leadingNumber(cells[3]) + quantity);
            cells[4] = newStock;
            grid.setTexts(row, cells);
            if (negative)
                grid.setColours(row, 4, colour::Red, colour::White);
            else
                grid.setColours(row, 4, colour::Navy, colour::LightCyan);
        } else {
            row = grid.addRow();
            result.rowAdded = true;
            grid.setTexts(row, {
                                   text::zeroPadded(number, 6).toLatin1(),
                                   barcode,
                                   booked.trimmed(RecordArticolo::Descrizione),
                                   text::trimSpaces(entry.quantity),
                                   newStock,
                                   numbers::shortText(booked.number(RecordArticolo::Prezzo1)),
                                   numbers::shortText(booked.number(RecordArticolo::Prezzo2)),
                                   numbers::shortText(booked.number(RecordArticolo::Prezzo3)),
                               });
            if (negative)
                grid.setColours(row, 4, colour::Red, colour::White);
            grid.setColours(row, 5, colour::Navy, colour::LightCyan);
        }
    } else {
        if (!entry.noMissingWarning) {
            messages().beep();
            if (askedNo(QStringLiteral("Articolo non Presente vuoi forzare ?"), style::YesNoCriticalNoDefault,
                        kInventario)) {
                result.outcome = Booking::Discarded;
                return result;
            }
        }
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (grid.text(r, 1) == QByteArrayView(entry.code)) {
                row = r;
                break;
            }
        }
        if (row > 0) {
            grid.setText(row, 3, signedText(numbers::leadingNumber(grid.text(row, 3)) + quantity));
        } else {
            row = grid.addRow();
            result.rowAdded = true;
            grid.setTexts(row, {"#####", code, "Articolo non Presente", text::trimSpaces(entry.quantity), "0", "0",
                                "0", "0"});
            grid.setColours(row, 2, colour::Red, colour::White);
            grid.setColours(row, 3, colour::Navy, colour::LightCyan);
        }
    }

    grid.selectWholeRow(row);
    grid.scrollToTop(row);
    if (result.rowAdded)
        setRighe(QString::number(grid.rowCount() - 1));
    result.outcome = Booking::Booked;
    result.row = row;
    return result;
}

Movimenti::Reset Movimenti::eliminaTabella()
{
    if (numbers::leadingNumber(m_righe) == 0)
        return Reset::Nothing;
    messages().beep();
    if (askedNo(QStringLiteral("Annullare totalmente la tabella ?"), style::YesNoCriticalNoDefault, kInventario))
        return Reset::Declined;
    if (askedNo(QStringLiteral("I movimenti di entrata non verrano ripristinati!! Sei sicuro di volerlo eliminare ?"),
                style::YesNoCriticalNoDefault, kInventario))
        return Reset::Declined;
    QFile::remove(findFile(m_percorso, dateMonthFirst(clock().now().date()) + QStringLiteral(".min")));
    // A load still running would go on filling the emptied document.
    m_loader.cancel();
    m_afterLoad = {};
    m_grid.cutToHeader();
    setRighe(QStringLiteral("0"));
    m_grid.setCurrentCell(0, m_grid.currentCol());
    m_grid.setTexts(0, documentHeaders());
    return Reset::Done;
}

bool Movimenti::backUpArticles()
{
    const QString bak1 = findFile(m_percorso, QStringLiteral("art.bak1"));
    const QString bak = findFile(m_percorso, QStringLiteral("art.bak"));
    // The very file the update is going to write.
    const QString mag = artMagPath();
    QFile::remove(bak1);
    if (QFileInfo::exists(bak)) {
        // The previous backup goes only once it lives on as art.bak1.
        if (!QFile::copy(bak, bak1) || QFileInfo(bak1).size() != QFileInfo(bak).size()) {
            showError(QStringLiteral("Copia di sicurezza art.bak1 non riuscita: giacenze non aggiornate"));
            return false;
        }
    }
    QFile::remove(bak);
    if (!QFileInfo::exists(mag))
        return true; // nothing to lose: the update starts the file
    const bool copied = !QFileInfo::exists(bak) && QFile::copy(mag, bak)
                        && QFileInfo(bak).size() == QFileInfo(mag).size();
    if (!copied)
        showError(QStringLiteral("Copia di sicurezza art.bak non riuscita: giacenze non aggiornate"));
    return copied;
}

void Movimenti::aggiornagiacenze(bool createMissing)
{
    const int ask = style::YesNoCriticalNoDefault;
    if (!createMissing) {
        messages().beep();
        if (askedNo(QStringLiteral("Non verranno generati record per i prodotti non presenti in archivio !  sei sicuro ?"),
                    ask, kTarniq))
            return;
    }
    messages().beep();
    if (askedNo(QStringLiteral("Aggiornare le giacenze con le quantita rilevate ?"), ask, kTarniq))
        return;
    messages().beep();
    if (askedNo(QStringLiteral("La situazione attuale non potra essere ripristinata !  sei sicuro ?"), ask, kTarniq))
        return;

    // ART.MAG is written only over a copy just taken of it.
    if (!backUpArticles())
        return;

    QString error;
    auto file = openArticles(&error);
    // One pass over the document, locked as a booking is.
    const FileLock lock(file->path());
    if (error.isEmpty() && !lock)
        error = lock.error();
    if (!error.isEmpty()) {
        file->close();
        showError(QStringLiteral("ART.MAG non aggiornato:\r\n") + error);
        return;
    }
    QStringList failures;
    const QByteArray today = dateMonthFirst(clock().now().date()).toLatin1();
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        const QByteArray code = m_grid.textCopy(r, 1);
        const QByteArray counted = m_grid.textCopy(r, 3);
        const qint64 count = file->count();
        qint64 found = 0;
        std::optional<RecordArticolo> record;
        for (qint64 n = 1; n <= count; ++n) {
            record = file->read(n);
            if (record && record->trimmed(RecordArticolo::Barcode) == code) {
                found = n;
                break;
            }
        }
        QString writeError;
        if (found > 0) {
            record->setField(RecordArticolo::Giacenza, counted);
            writeError = file->write(found, *record);
        } else if (createMissing) {
            RecordArticolo created;
            created.setField(RecordArticolo::Barcode, code);
            created.setField(RecordArticolo::Descrizione, "Articolo non presente");
            created.setField(RecordArticolo::Giacenza, counted);
            created.setField(RecordArticolo::DataArticolo, today);
            created.setField(RecordArticolo::Campo15, "1");
            created.setField(RecordArticolo::Campo16, "0");
            writeError = file->write(count + 1, created);
        }
        if (!writeError.isEmpty())
            failures.append(text::fromCp1252(code) + QStringLiteral(": ") + writeError);
    }
    file->close();
    if (!failures.isEmpty())
        showError(QStringLiteral("Giacenze non aggiornate per:\r\n") + failures.join(QStringLiteral("\r\n")));

    QFile::remove(findFile(m_percorso, QStringLiteral("documento.bak")));
    const QString documento = findFile(m_percorso, QStringLiteral("documento.txt"));
    if (QFileInfo::exists(documento))
        QFile::copy(documento, m_percorso + QStringLiteral("documento.bak"));
    mostragiacenze();
}

void Movimenti::mostragiacenze()
{
    m_loader.cancel();
    m_grid.clear();
    m_grid.setTexts(0, stockHeaders());
    setRighe(QStringLiteral("0"));
    whenLoaded([this] { setRighe(QString::number(m_grid.rowCount())); });
    caricamovimenti();
}

} // namespace zorv::movimenti
