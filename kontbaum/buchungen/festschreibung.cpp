// Locking of ledger bookings up to a date, the question texts of the dialogs
// and the steps of the locking wizard.
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace {
const QString kQuelle = QStringLiteral("kontbaum/festschreibung");

KontoGlobal::SichernHook& sichernHook() {
    static KontoGlobal::SichernHook h;
    return h;
}

int steuerjahr() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : 2016;
}
}  // namespace

void KontoGlobal::setSichernHook(SichernHook h) { sichernHook() = std::move(h); }

zDate KontoGlobal::getFestgeschriebenBis() {
    DBConnection* db = rsFallDB();
    if (!db) return zDate::badDate();
    return GetDatenTyp(db, QStringLiteral("SELECT MAX(bisZum) FROM eurFestschreibungen")).toDate();
}

bool KontoGlobal::setFestgeschriebenBis(const zDate& bisZum) {
    DBConnection* db = rsFallDB();
    if (!db) return false;
    const zDate bisher = getFestgeschriebenBis();
    if (bisZum.isValid() && bisher == bisZum) return true;
    if (bisher.isValid() && !(bisher < bisZum)) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("bisBisher == BadDate || bisBisher < bisZum"));
        rs_logError(kQuelle, __LINE__, QStringLiteral("gewuenschtes Festschreibungsdatum vor aktuellen Festschreibungsdatum"));
    }
    const bool ok = ExecSQL(db, QStringLiteral("INSERT INTO eurFestschreibungen (bisZum, erzeugtAm) VALUES (") +
                                    rsDataSource::toSqlStr(bisZum) + QStringLiteral(", ") +
                                    rsDataSource::toSqlStr(zDate::today()) + QStringLiteral(");"));
    if (ok && sichernHook()) return sichernHook()();
    return ok;
}

bool KontoGlobal::isFestgeschrieben(unsigned long n) {
    const zDate bis = getFestgeschriebenBis();
    if (!bis.isValid()) return false;
    const zDate d = GetDatenTyp(rsFallDB(), QStringLiteral("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=") +
                                              rsDataSource::toSqlStr(n))
                        .toDate();
    return d.isValid() && !(bis < d);
}

bool KontoGlobal::isInFestschreibungsZeitraum(const zDate& datum) {
    const zDate bis = getFestgeschriebenBis();
    return bis.isValid() && datum.isValid() && !(bis < datum);
}

int KontoGlobal::GetAnzBuchungenFestgeschrieben() {
    const zDate bis = getFestgeschriebenBis();
    if (!bis.isValid()) return 0;
    return GetDatenTyp(rsFallDB(), QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Belegdatum<=") + rsDataSource::toSqlStr(bis))
        .toInt();
}

QString KontoGlobal::getFestschreibungMsgTextUStVaHinweis(int format) const {
    switch (format) {
    case 0:
        return QStringLiteral("<p><b>Hinweis:</b> Bitte beachten Sie, dass Sie gegebenenfalls eine korrigierte "
                              "Umsatzsteuer-Voranmeldung abgeben müssen.</p>");
    case 1:
        return QStringLiteral("<p>Bitte beachten Sie, dass Sie gegebenenfalls eine korrigierte Umsatzsteuer-Voranmeldung "
                              "abgeben müssen.</p>");
    default:
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("Falsche hinweisformatID: %1").arg(format));
        return QString();
    }
}

QString KontoGlobal::getFestgeschriebenFragetext(int kontext, int typ, const QString& a, const QString&) {
    QString text = QStringLiteral("<p>Alle Buchungen bis zum %1 sind bereits festgeschrieben.</p><p>%2</p>");
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (kg && kg->getUstPflicht()) text += kg->getFestschreibungMsgTextUStVaHinweis(0);
    text += QStringLiteral("<p>%3</p>");

    static const char* const typen[] = {
        "Die bestehende Buchung wird storniert und die Änderung protokolliert.",
        "Die neue Buchung wird deshalb ebenfalls festgeschrieben.",
        "Eine bestehende Buchung wird storniert und eine neue ergänzt.",
        "Die bestehende Abgangsbuchung wird storniert und eine neue ergänzt.",
        "Die bestehende Verkaufsbuchung wird storniert und eine neue ergänzt.",
        "Die bestehende Abgangsbuchung und die bestehende Verkaufsbuchung werden storniert und neue ergänzt.",
        "Die neuen Buchungen werden deshalb ebenfalls festgeschrieben."};
    const QString typText = typ >= 0 && typ <= 6 ? QString::fromUtf8(typen[typ]) : QString();

    auto wg = [&a](const char* vor, const char* nach) { return QString::fromUtf8(vor) + a + QString::fromUtf8(nach); };
    QString k;
    switch (kontext) {
    case 0: k = QStringLiteral("Möchten Sie die Buchung ändern?"); break;
    case 1: k = QStringLiteral("Möchten Sie buchen?"); break;
    case 2: k = QStringLiteral("Möchten Sie die Übernahme durchführen?"); break;
    case 3: k = wg("Möchten Sie die Buchung für die Anschaffung des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 4: k = wg("Möchten Sie die Buchung für den Herabsetzungsbetrag des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 5: k = wg("Möchten Sie die Buchung für den Anlageabgang des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 6: k = wg("Möchten Sie die Buchung für den Verkauf des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 7: k = wg("Möchten Sie die Buchung für die Abschreibung des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 8: k = wg("Möchten Sie die Buchung für die Sonderabschreibung des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 9: k = wg("Möchten Sie die Buchung für die außergewöhnliche Abschreibung des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 10: k = wg("Möchten Sie die Buchung für die Neuanschaffung des Wirtschaftsgutes am ", " erzeugen?"); break;
    case 11:
    case 13: k = wg("Möchten Sie die Buchung für den Zugang zum Wirtschaftsgut am ", " erzeugen?"); break;
    case 12: k = wg("Möchten Sie die Buchungen für den Abgang und den Verkauf des Wirtschaftsguts am ", " erzeugen?"); break;
    case 19: k = wg("Möchten Sie die Anschaffung des neuen Wirtschaftsguts zum ", " erzeugen?"); break;
    case 20: k = wg("Möchten Sie die den Zugang zum Wirtschaftsgut zum ", " erzeugen?"); break;
    case 21: k = QStringLiteral("Möchten Sie die den Abgang und Verkauf des Wirtschaftsguts erzeugen?"); break;
    default: break;
    }
    if (k.isEmpty()) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("!kontexttext.isEmpty()"));
        rs_logError(kQuelle, __LINE__, QStringLiteral("kontexttext darf hier nicht leer sein."));
    }
    return text.arg(getFestgeschriebenBis().getText(), typText, k);
}

bool KontoGlobal::festgeschriebenFrage(const QString& titel, int kontext, int typ, const QString& a, const QString& b) {
    return GetUi().frage(getFestgeschriebenFragetext(kontext, typ, a, b), titel);
}

QString KontoGlobal::buchungToHtml(const QString& table, unsigned long n, const QString& klasse, const QString&) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    const QString t = table.isEmpty() ? QStringLiteral("eurVerbucht") : table;
    if (t != QLatin1String("eurVerbucht") && t != QLatin1String("eurStapel") && t != QLatin1String("eurBeispiel")) return QString();
    rsDataSource rs(db, QStringLiteral("SELECT Buchungstext, Belegdatum, Betrag FROM ") + t +
                            QStringLiteral(" WHERE Buchungsnummer=") + rsDataSource::toSqlStr(n));
    if (rs.isEOF()) return QString();
    const SimpleBuchung s = getBuchung(n, t);
    const unsigned long soll = s.haben ? s.gegenkonto : s.konto;
    const unsigned long haben = s.haben ? s.konto : s.gegenkonto;
    const QString td = klasse.isEmpty() ? QStringLiteral("<td>") : QStringLiteral("<td class=\"") + klasse.toHtmlEscaped() + QStringLiteral("\">");
    return QStringLiteral("<tr>") + td + QString::number(n) + QStringLiteral("</td>") + td +
           rs.field(QStringLiteral("Buchungstext")).toString().toHtmlEscaped() + QStringLiteral("</td>") + td +
           rs.field(QStringLiteral("Belegdatum")).toDate().getText() + QStringLiteral("</td>") + td +
           QStringLiteral("%1 an %2").arg(soll).arg(haben) + QStringLiteral("</td>") + td +
           rs.field(QStringLiteral("Betrag")).toEuro().getText() + QStringLiteral(" &euro;</td></tr>\n");
}

void KontoGlobal::festschreibungsZeitraum(zDate& von, zDate& bis) {
    const int jahr = steuerjahr();
    const zDate jahresende(jahr, 12, 31);
    const zDate bisher = getFestgeschriebenBis();
    if (!bisher.isValid())
        von = zDate(jahr, 1, 1);
    else if (bisher == jahresende)
        von = jahresende;
    else
        von = bisher.addDays(1);
    bis = jahresende;
}

QString KontoGlobal::festschreibungsUebersicht(const zDate& von, const zDate& bis) {
    DBConnection* db = rsFallDB();
    QString zeilen;
    if (db) {
        rsDataSource rs(db, QStringLiteral("SELECT Buchungsnummer FROM eurVerbucht WHERE Belegdatum<=") + rsDataSource::toSqlStr(bis) +
                                QStringLiteral(" AND Belegdatum>=") + rsDataSource::toSqlStr(von) +
                                QStringLiteral(" ORDER BY Belegdatum, Buchungsnummer"));
        for (; !rs.isEOF(); rs.fetch())
            zeilen += buchungToHtml(QStringLiteral("eurVerbucht"), rs.field(QStringLiteral("Buchungsnummer")).toULong());
    }
    if (zeilen.isEmpty())
        return QStringLiteral("<p><center><i>Keine Buchungen im gew&auml;hlten Festschreibungszeitraum vorhanden.</i></center></p>");
    return QStringLiteral("<table><tr><th>Nr.</th><th>Bezeichnung</th><th>Datum</th><th>Konto</th><th>Betrag</th></tr>\n") +
           zeilen + QStringLiteral("</table>");
}

bool KontoGlobal::festschreibungAbschliessen(const zDate& bisZum) {
    if (!bisZum.isValid()) return false;
    zDate von, bis;
    festschreibungsZeitraum(von, bis);
    // The wizard only offers dates from the earliest open day to the end of
    // the year; anything else would move the lock backwards or out of the year.
    if (bisZum < von || bis < bisZum) return false;
    return setFestgeschriebenBis(bisZum);
}
