#include "demodata.h"

#include "articolo.h"
#include "items.h"

#include <QDate>
#include <QFileInfo>
#include <QTime>

namespace zorv::demodata {

QString writeMovements(const QDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("mov.txt"));
    if (QFileInfo::exists(path))
        return {};
    struct Line {
        const char *cliente, *nome, *carta, *porta, *esito;
    };
    static const Line lines[] = {
        {"0001", "ROSSI MARIO", "0001A2B3C4D5", "1", "Autorizzato"},
        {"0002", "BIANCHI ANNA", "0001A2B3C4D6", "2", "Autorizzato"},
        {"0003", "VERDI GIUSEPPE", "0001A2B3C4D7", "1", "Carta Scaduta"},
        {"######", "Sconosciuto", "FFFF00001234", "0", "Non autorizzato"},
        {"0004", "ESPOSITO LUCIA", "0001A2B3C4D8", "1", "Esaurito"},
        {"0005", "FERRARI LUCA", "0001A2B3C4D9", "2", "Autorizzato"},
        {"0001", "ROSSI MARIO", "0001A2B3C4D5", "1", "Autorizzato"},
        {"0006", "COLOMBO SARA", "0001A2B3C4DA", "1", "Autorizzato"},
    };
    const QString date = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    QTime time(8, 30, 0);
    items::Writer out;
    for (const Line &l : lines) {
        out.text(QByteArrayView(l.cliente)).text(QByteArrayView(l.nome)).text(QByteArrayView(l.carta));
        out.text(QByteArrayView(l.porta)).text(date).text(time.toString(QStringLiteral("HH:mm:ss")));
        out.text(QByteArrayView(l.esito)).endLine();
        time = time.addSecs(437);
    }
    return items::writeFileAtomically(path, out.data());
}

QString writeArticles(const QDir &folder)
{
    using movimenti::RecordArticolo;
    const QString path = movimenti::findFile(folder.path(), QStringLiteral("ART.MAG"));
    if (QFileInfo::exists(path))
        return {};
    struct Article {
        const char *barcode, *descrizione, *giacenza, *prezzo1, *prezzo2, *prezzo3;
    };
    static const Article articles[] = {
        {"8001234567890", "VITE 4X20 ZINCATA", "10", "0.15", "0.12", "0.10"},
        {"8001234567891", "BULLONE M6X40", "2", "0.40", "0.35", ""},
        {"8001234567892", "ROSETTA 6MM", "-10", "0.05", "", ""},
        {"8001234567893", "TASSELLO 8MM", "250", "3.50", "3", "2.80"},
    };
    QByteArray data;
    for (const Article &a : articles) {
        RecordArticolo r;
        r.setField(RecordArticolo::Barcode, a.barcode);
        r.setField(RecordArticolo::Descrizione, a.descrizione);
        r.setField(RecordArticolo::Giacenza, a.giacenza);
        r.setField(RecordArticolo::Prezzo1, a.prezzo1);
        r.setField(RecordArticolo::Prezzo2, a.prezzo2);
        r.setField(RecordArticolo::Prezzo3, a.prezzo3);
        r.setField(RecordArticolo::Progressivo, a.giacenza);
        data += r.bytes();
    }
    return items::writeFileAtomically(path, data);
}

} // namespace zorv::demodata
