// Cash closings: the closed-period rule every posting path asks, the steps
// of the closing wizard and the withdrawal of an exported register.
#include "kontbaum/kasse/kasse.h"

#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"

#include <QSet>

namespace {

constexpr unsigned long kKategorieKasse = 201;

zDate abgeschlossenBis(DBConnection* con, unsigned long konto) {
    if (!con || konto == 0) return zDate();
    // Prepared once per connection: the posting entry asks this for every
    // account of every booking, also in an import of many thousand rows.
    const QVector<DatenTyp> z =
        QueryPrepared(con, QStringLiteral("SELECT MAX(Datum) FROM eurKassenabschluss WHERE Konto=?"), {DatenTyp(konto)});
    return z.isEmpty() ? zDate() : z.first().toDate();
}

QString geld(const EuroType& b) { return b.getText(); }
}  // namespace

zDate KontoGlobal::getKasseAbgeschlossenBis(unsigned long konto) { return abgeschlossenBis(rsFallDB(), konto); }

bool KontoGlobal::isKasseAbgeschlossen(unsigned long konto, const zDate& datum) {
    if (!datum.isValid()) return false;
    const zDate bis = getKasseAbgeschlossenBis(konto);
    return bis.isValid() && !(bis < datum);
}

QString KontoGlobal::pruefeKasseAbgeschlossen(const QList<unsigned long>& konten, const zDate& datum, bool splitt,
                                              DBConnection* con) {
    con = rsFallDB(con);
    if (!con || !datum.isValid()) return QString();
    QSet<unsigned long> gesehen;
    for (unsigned long konto : konten) {
        if (konto == 0 || gesehen.contains(konto)) continue;
        gesehen.insert(konto);
        // Only cash accounts ever get a closing row, so the row itself says
        // that the account is a register; no look-up of the category.
        const zDate bis = abgeschlossenBis(con, konto);
        if (!bis.isValid() || bis < datum) continue;
        if (splitt)
            return QStringLiteral("Es gibt Splittbuchungen auf eine Kasse, die bereits abgeschlossen ist.\nBitte prüfen Sie die "
                                  "Splittbuchungen.");
        return QStringLiteral("Die Kasse %1 ist bis zum %2 abgeschlossen.\nEs kann keine Buchung hinzugefügt, gelöscht oder "
                              "geändert werden deren Datum vor diesem Zeitpunkt liegt.")
            .arg(konto)
            .arg(bis.qdate().toString(QStringLiteral("dd.MM.yyyy")));
    }
    return QString();
}

QString KontoGlobal::pruefeKasseAbgeschlossen(unsigned long n, DBConnection* con) {
    con = rsFallDB(con);
    if (!con) return QString();
    const zDate datum = GetDatenTyp(con, QStringLiteral("SELECT Belegdatum FROM eurVerbucht WHERE Buchungsnummer=") +
                                             rsDataSource::toSqlStr(n))
                            .toDate();
    QList<unsigned long> konten;
    bool splitt = false;
    rsDataSource rs(con, QStringLiteral("SELECT Konto, Splitt FROM eurVerbuchtBuchungszeilen WHERE Buchungsnummer=") +
                             rsDataSource::toSqlStr(n));
    for (; !rs.isEOF(); rs.fetch()) {
        konten << rs.field(QStringLiteral("Konto")).toULong();
        splitt = splitt || rs.field(QStringLiteral("Splitt")).toLongLong() != 0;
    }
    return pruefeKasseAbgeschlossen(konten, datum, splitt, con);
}

QString KontoGlobal::getKassenID(unsigned long konto) const {
    if (konto == 0) konto = (unsigned long)qMax(0, m_Kassenkonto);
    if (konto == 0 || !m_con) return QString();
    return GetDatenTyp(m_con, QStringLiteral("SELECT KassenID FROM eurExportierteKassen WHERE Konto=") + rsDataSource::toSqlStr(konto))
        .toString();
}

bool KontoGlobal::isExportierteKasse(unsigned long konto, DBConnection* con) {
    con = rsFallDB(con);
    return con && !GetDatenTyp(con, QStringLiteral("SELECT Konto FROM eurExportierteKassen WHERE Konto=") + rsDataSource::toSqlStr(konto))
                       .isNull();
}

namespace Kasse {

namespace {
// An inactive register takes no bookings: its closing would post the
// difference onto an account the chart no longer offers.
QString inaktiveKasse(unsigned long konto) {
    return QStringLiteral("Die Kasse %1 ist im Kontenplan nicht aktiv und wird nicht abgeschlossen. Aktivieren Sie das Konto zuerst, "
                          "oder wählen Sie eine aktive Kasse.")
        .arg(konto);
}
}  // namespace

QString abschlussBeginnen(unsigned long konto, KassenabschlussDaten* d) {
    *d = KassenabschlussDaten();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* con = rsFallDB();
    if (!kg || !con) return QStringLiteral("Es ist kein Fall geöffnet.");
    if (kg->getJahresabschluss() != 0)
        return QStringLiteral("Sie haben bereits einen Jahresabschluss durchgeführt und können daher keine Kasse mehr abschließen.");
    if (konto == 0) konto = (unsigned long)qMax(0, kg->getKassenkonto());
    if (konto == 0) return QStringLiteral("Es ist kein Kassenkonto eingestellt. Bitte stellen Sie zuerst das Kassenkonto ein.");
    if (!KontoGlobal::existsKonto(konto, false, nullptr))
        return QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(konto);
    if (KontoGlobal::getKategorie(konto) != kKategorieKasse)
        return QStringLiteral("Das Konto %1 ist kein Kassenkonto (Kategorie 201). Bitte wählen Sie eine Kasse.").arg(konto);
    if (!KontoGlobal::isKontoAktiv(konto)) return inaktiveKasse(konto);
    d->konto = konto;
    d->bezeichnung = QString::number(konto) + QLatin1Char(' ') + KontoGlobal::getKontobezeichnung(konto);
    if (QDate::currentDate().year() == kg->getSteuerjahr()) d->datum = zDate::today();
    // The last closing of this register: a closing of another register
    // says nothing about this one.
    rsDataSource rs(con, QStringLiteral("SELECT Datum, Saldo FROM eurKassenabschluss WHERE Konto=") + rsDataSource::toSqlStr(konto) +
                             QStringLiteral(" AND Datum IN (SELECT MAX(Datum) FROM eurKassenabschluss WHERE Konto=") +
                             rsDataSource::toSqlStr(konto) + QStringLiteral(")"));
    for (; !rs.isEOF(); rs.fetch()) {
        d->letzterAbschluss = rs.field(QStringLiteral("Datum")).toDate();
        d->letzterText += QStringLiteral("<p>Der letzte Kassenabschluss hat am ") +
                          d->letzterAbschluss.qdate().toString(QStringLiteral("dd.MM.yyyy")) +
                          QStringLiteral(" stattgefunden. Der Kassensaldo betrug zu diesem Zeitpunkt ") +
                          geld(rs.field(QStringLiteral("Saldo")).toEuro()) + QStringLiteral(" EUR.</p>");
    }
    if (d->letzterText.isEmpty()) d->letzterText = QStringLiteral("Bisher wurde noch kein Kassenabschluss durchgeführt.");
    return QString();
}

QString abschlussDatumPruefen(const KassenabschlussDaten& d) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!d.datum.isValid()) return QStringLiteral("Bitte geben Sie ein gültiges Abschlussdatum an.");
    if (kg && d.datum.year() != kg->getSteuerjahr())
        return QStringLiteral("Das Abschlussdatum %1 liegt nicht im Steuerjahr %2.").arg(d.datum.getText()).arg(kg->getSteuerjahr());
    // The cash is counted now; a closing ahead would lock days not yet lived.
    if (zDate::today() < d.datum)
        return QStringLiteral("Das Abschlussdatum %1 liegt in der Zukunft. Abgeschlossen werden kann nur bis heute.").arg(d.datum.getText());
    if (d.letzterAbschluss.isValid() && !(d.letzterAbschluss < d.datum))
        return QStringLiteral("Die Kasse %1 ist bereits bis zum %2 abgeschlossen. Das Abschlussdatum muss nach dem letzten "
                              "Kassenabschluss liegen.")
            .arg(d.konto)
            .arg(d.letzterAbschluss.getText());
    return QString();
}

void abschlussSaldoErmitteln(KassenabschlussDaten* d) {
    d->saldoBuchungen = EuroType();
    if (d->datum.isValid()) d->saldoBuchungen = KontoGlobal::getSummeKonto(d->konto, 0, zDate(), d->datum);
}

QString abschlussZusammenfassung(const KassenabschlussDaten& d) {
    QString t = QStringLiteral("<table>");
    t += QStringLiteral("<tr><td width=\"200\">Kasse:</td><td>") + d.bezeichnung + QStringLiteral("</td></tr>");
    t += QStringLiteral("<tr><td>Abschlussdatum:</td><td>") + d.datum.qdate().toString(QStringLiteral("dd.MM.yyyy")) +
         QStringLiteral("</td></tr>");
    t += QStringLiteral("<tr><td>Kontostand laut Buchungen:</td><td>") + geld(d.saldoBuchungen) + QStringLiteral(" EUR</td></tr>");
    t += QStringLiteral("<tr><td>Gezählter Betrag:</td><td>") + geld(d.gezaehlt) + QStringLiteral(" EUR</td></tr>");
    t += QStringLiteral("</table>");
    if (d.gezaehlt != d.saldoBuchungen)
        t += QStringLiteral("<p>") +
             QStringLiteral("$HINWEIS(Aufgrund der Differenz zwischen gezähltem und berechnetem Betrag wird eine Aussgleichsbuchung erzeugt.)") +
             QStringLiteral("</p>\n");
    t += QStringLiteral("<p>Wenn die Angaben stimmen, klicken Sie bitte jetzt zum Durchführen des Kassenabschlusses auf '$TR(Fertig)'.</p>\n");
    return t;
}

unsigned long ausgleichsGegenkonto(const KassenabschlussDaten& d, unsigned long gewaehlt, QString* fehler) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    const bool fehlbetrag = d.saldoBuchungen > d.gezaehlt;
    const unsigned long von = fehlbetrag ? 5000 : 4000, bis = fehlbetrag ? 6999 : 4999;
    const QString art = fehlbetrag ? QStringLiteral("ein Aufwandskonto (Kategorie 5000 bis 6999) für den Fehlbetrag")
                                   : QStringLiteral("ein Ertragskonto (Kategorie 4000 bis 4999) für den Überschuss");
    if (gewaehlt != 0) {
        const unsigned long kat = KontoGlobal::getKategorie(gewaehlt);
        if (!KontoGlobal::existsKonto(gewaehlt, true, nullptr) || kat < von || kat > bis) {
            if (fehler)
                *fehler = QStringLiteral("Das Konto %1 kann nicht Gegenkonto der Ausgleichsbuchung sein. Bitte wählen Sie %2.")
                              .arg(gewaehlt)
                              .arg(art);
            return 0;
        }
        return gewaehlt;
    }
    const unsigned long spezial = kg ? kg->getSpezialKonto(fehlbetrag ? 2360 : 2760) : 0;
    if (spezial != 0 && KontoGlobal::existsKonto(spezial, true, nullptr)) return spezial;
    // The selector of the dialog, reduced to the case where it has nothing
    // to ask: one active account of the fallback category.
    const QString kandidaten = QStringLiteral("FROM eurKontenplan WHERE (Aktiv <> 0) AND (Kategorie=%1)").arg(fehlbetrag ? 5410 : 4204);
    if (GetDatenTyp(rsFallDB(), QStringLiteral("SELECT COUNT(*) ") + kandidaten).toLongLong() == 1)
        return GetDatenTyp(rsFallDB(), QStringLiteral("SELECT Nummer ") + kandidaten).toULong();
    if (fehler)
        *fehler = QStringLiteral("Es wurde kein Gegenkonto für die Ausgleichsbuchung ausgewählt. Bitte wählen Sie %1.").arg(art);
    return 0;
}

bool abschlussDurchfuehren(const KassenabschlussDaten& d, unsigned long gegenkonto, AbschlussErgebnis* ergebnis,
                           QString* fehler) {
    const QString misslungen = QStringLiteral("Fehler beim Kassenabschluss. Der Abschluss wurde nicht durchgeführt.");
    auto nein = [&](const QString& grund) {
        if (fehler) *fehler = grund.isEmpty() ? misslungen : misslungen + QLatin1Char(' ') + grund;
        return false;
    };
    *ergebnis = AbschlussErgebnis();
    DBConnection* con = rsFallDB();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!con || !kg) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    if (!KontoGlobal::isKontoAktiv(d.konto)) return nein(inaktiveKasse(d.konto));
    QString grund = abschlussDatumPruefen(d);
    if (!grund.isEmpty()) return nein(grund);
    if (d.gezaehlt < EuroType() || !d.gezaehlt.imRahmen())
        return nein(QStringLiteral("Der gezählte Betrag muss ein Geldbetrag von mindestens 0,00 sein."));
    const EuroType differenz = d.saldoBuchungen - d.gezaehlt;
    const bool fehlbetrag = differenz > EuroType();
    if (!differenz.isNull() && gegenkonto == 0) return nein(QStringLiteral("Es fehlt das Gegenkonto der Ausgleichsbuchung."));

    // Booking and closing row stand or fall together: a closing without its
    // balancing booking would fix a balance the ledger does not show. A
    // shortfall booked on the closing day can leave a later day below zero:
    // the run asks once the closing is complete.
    Buchungslauf lauf(con);
    DBTransaktion tx(lauf.ok() ? con : nullptr);
    if (!tx.ok()) return nein(con->getErr()->last());
    auto abbrechen = [&](const QString& g) {
        tx.rollback();
        return nein(g);
    };
    if (!differenz.isNull()) {
        const unsigned long nr = KontoGlobal::insertSimpleBuchung(
            KontoGlobal::HERK_KASSEAB, QStringLiteral("eurVerbucht"), fehlbetrag ? QStringLiteral("Fehlbetrag") : QStringLiteral("Überschuss"),
            differenz.abs(), false, d.datum, QString(), 3, fehlbetrag, d.konto, gegenkonto, 0, QString(), con);
        if (nr == 0) return abbrechen(QStringLiteral("Die Ausgleichsbuchung konnte nicht gespeichert werden."));
        KontoGlobal::verifyBuchung(nr, QStringLiteral("eurVerbucht"));
        ergebnis->ausgleichsbuchung = nr;
    }
    const EuroType saldo = KontoGlobal::getSummeKonto(d.konto, 0, zDate(), d.datum);
    if (saldo != d.gezaehlt)
        return abbrechen(QStringLiteral("Nach der Ausgleichsbuchung beträgt der Kassenstand %1 EUR statt der gezählten %2 EUR.")
                             .arg(geld(saldo), geld(d.gezaehlt)));
    const unsigned long id =
        KontoGlobal::getMaxKey(con, QStringLiteral("SELECT MAX(AbschlussID) FROM eurKassenabschluss WHERE Konto=") +
                                        rsDataSource::toSqlStr(d.konto)) + 1;
    if (!ExecPrepared(con,
                      QStringLiteral("INSERT INTO eurKassenAbschluss (AbschlussID, Konto, KassenID, Saldo, GezaehlterSaldo, Datum) "
                                     "VALUES (?, ?, ?, ?, ?, ?)"),
                      {DatenTyp(id), DatenTyp(d.konto), DatenTyp(kg->getKassenID(d.konto)), DatenTyp(saldo), DatenTyp(d.gezaehlt),
                       DatenTyp(d.datum)}))
        return abbrechen(con->getErr()->last());
    if (!tx.commit()) return nein(con->getErr()->last());
    if (!lauf.abschliessen(&grund)) return nein(grund);
    ergebnis->abschlussID = id;
    ergebnis->saldo = saldo;
    return true;
}

QList<unsigned long> exportierteKassen(DBConnection* con) {
    QList<unsigned long> l;
    con = rsFallDB(con);
    if (!con) return l;
    rsDataSource rs(con, QStringLiteral("SELECT Konto FROM eurExportierteKassen ORDER BY Konto"));
    for (; !rs.isEOF(); rs.fetch()) l << rs.field(QStringLiteral("Konto")).toULong();
    return l;
}

QList<Kassenstand> kassenuebersicht() {
    QList<Kassenstand> l;
    DBConnection* con = rsFallDB();
    if (!con) return l;
    {
        rsDataSource rs(con, QStringLiteral("SELECT Nummer, Bezeichnung, Aktiv FROM eurKontenplan WHERE Kategorie=") +
                                 rsDataSource::toSqlStr(kKategorieKasse) + QStringLiteral(" ORDER BY Nummer"));
        for (; !rs.isEOF(); rs.fetch()) {
            Kassenstand k;
            k.konto = rs.field(QStringLiteral("Nummer")).toULong();
            k.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
            k.aktiv = rs.field(QStringLiteral("Aktiv")).toLongLong() != 0;
            l.append(k);
        }
    }
    for (Kassenstand& k : l) {
        k.bestand = KontoGlobal::getSummeKonto(k.konto, 0, zDate(), zDate());
        k.abgeschlossenBis = KontoGlobal::getKasseAbgeschlossenBis(k.konto);
        k.exportiert = KontoGlobal::isExportierteKasse(k.konto, con);
    }
    return l;
}

bool kasseFreigeben(unsigned long konto, QString* fehler) {
    auto nein = [fehler](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    const QList<unsigned long> kassen = exportierteKassen();
    if (kassen.isEmpty()) return nein(QStringLiteral("Zurzeit liegen keine exportierten Kassen vor."));
    if (!kassen.contains(konto)) {
        QStringList l;
        for (unsigned long k : kassen) l << QString::number(k);
        return nein(QStringLiteral("Die Kasse %1 wird nicht exportiert. Exportiert sind: %2.").arg(konto).arg(l.join(QStringLiteral(", "))));
    }
    if (!GetUi().frage(QStringLiteral("Sind Sie sicher, dass Sie die Kasse %1 nicht mehr exportieren möchten?").arg(konto),
                       QStringLiteral("Frage")))
        return nein(QStringLiteral("Die Kasse %1 wird weiterhin exportiert.").arg(konto));
    if (!ExecSQL(rsFallDB(), QStringLiteral("DELETE FROM eurExportierteKassen WHERE Konto=") + rsDataSource::toSqlStr(konto)))
        return nein(QStringLiteral("Die Freigabe der Kasse %1 konnte nicht gespeichert werden.").arg(konto));
    GetUi().Hinweis(QStringLiteral("Die Kasse %1 wird nun nicht mehr exportiert.\nFür die Kasse können keine Buchungen mehr importiert "
                                   "werden.")
                        .arg(konto),
                    QStringLiteral("Hinweis"));
    return true;
}

}  // namespace Kasse
