// The case's archive of incoming invoices: the file as received with its
// SHA-256, the figures read from it, the VAT breakdown, and the supplier,
// found again by VAT id, tax number or IBAN (in that order: the VAT id is
// unique, a tax number nearly so, an IBAN may be a factoring bank's).
#include "kontbaum/eingang/eingang.h"

#include "kontbaum/berichte/liste.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/values/datentyp.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRegularExpression>

namespace Eingang {

namespace {

QString kompakt(const QString& s) { return s.toUpper().remove(QRegularExpression(QStringLiteral("[^A-Z0-9]"))); }
QString ziffern(const QString& s) { return QString(s).remove(QRegularExpression(QStringLiteral("[^0-9]"))); }

QString sha256(const QByteArray& d) { return QString::fromLatin1(QCryptographicHash::hash(d, QCryptographicHash::Sha256).toHex()); }

// The supplier of `v` with the payee account `iban`: the known one, or a
// new row. 0 when it could not be written.
unsigned long lieferant(DBConnection* db, const Partei& v, const QString& iban) {
    const QString ust = kompakt(v.ustid), stnr = ziffern(v.steuernummer), konto = kompakt(iban);
    unsigned long id = 0;
    rsDataSource rs(db, QStringLiteral("SELECT ID, UStID, Steuernummer, IBAN FROM eingangLieferanten ORDER BY ID"));
    unsigned long perStnr = 0, perIban = 0;
    for (; !rs.isEOF() && id == 0; rs.fetch()) {
        const unsigned long i = rs.field(QStringLiteral("ID")).toULong();
        if (!ust.isEmpty() && kompakt(rs.field(QStringLiteral("UStID")).toString()) == ust) id = i;
        if (!stnr.isEmpty() && !perStnr && ziffern(rs.field(QStringLiteral("Steuernummer")).toString()) == stnr) perStnr = i;
        if (!konto.isEmpty() && !perIban && kompakt(rs.field(QStringLiteral("IBAN")).toString()) == konto) perIban = i;
    }
    if (!id) id = perStnr ? perStnr : perIban;
    if (id) {
        // What the supplier did not tell before is kept now; nothing known is overwritten.
        const bool ok = ExecPrepared(db, QStringLiteral("UPDATE eingangLieferanten SET UStID=CASE WHEN UStID='' THEN ? ELSE UStID END, "
                                                        "Steuernummer=CASE WHEN Steuernummer='' THEN ? ELSE Steuernummer END, "
                                                        "IBAN=CASE WHEN IBAN='' THEN ? ELSE IBAN END WHERE ID=?"),
                                     {DatenTyp(ust), DatenTyp(v.steuernummer.trimmed()), DatenTyp(konto), DatenTyp(id)});
        return ok ? id : 0;
    }
    if (!ExecPrepared(db, QStringLiteral("INSERT INTO eingangLieferanten (Name, UStID, Steuernummer, IBAN, Land, Ort) VALUES (?,?,?,?,?,?)"),
                      {DatenTyp(v.name), DatenTyp(ust), DatenTyp(v.steuernummer.trimmed()), DatenTyp(konto), DatenTyp(v.land), DatenTyp(v.ort)}))
        return 0;
    return (unsigned long)db->lastInsertId();
}

// An invoice is booked while its booking is live: when the booking is
// deleted or cancelled, the invoice is open again by itself. The ledger
// gives a deleted last number to the next booking, so the booking must
// also carry the invoice's number as its voucher (buche() writes it).
const QString kGebucht = QStringLiteral(
    "(CASE WHEN EXISTS (SELECT 1 FROM eurVerbucht v WHERE v.Buchungsnummer=r.Buchungsnummer AND r.Buchungsnummer<>0 AND v.Storno=0 "
    "AND v.Storniert=0 AND v.Belegnummer=r.Nummer) THEN r.Buchungsnummer ELSE 0 END)");
const QString kSpalten = QStringLiteral(
    "r.ID, r.LieferantID, r.Nummer, r.Typ, r.Gutschrift, r.Syntax, r.Rechnungsdatum, r.Faellig, r.Netto, r.Steuer, r.Brutto, r.Zahlbetrag, "
    "r.IBAN, r.Dateiname, r.SHA256, r.Konto, r.BeiZahlung, ") + kGebucht + QStringLiteral(" AS Buchungsnummer, r.Bezahlt, l.Name, l.UStID, l.Steuernummer ");

Gespeichert ausZeile(const rsDataSource& rs) {
    Gespeichert g;
    g.id = rs.field(QStringLiteral("ID")).toULong();
    g.lieferantID = rs.field(QStringLiteral("LieferantID")).toULong();
    g.nummer = rs.field(QStringLiteral("Nummer")).toString();
    g.typ = rs.field(QStringLiteral("Typ")).toString();
    g.gutschrift = rs.field(QStringLiteral("Gutschrift")).toBool();
    g.syntax = rs.field(QStringLiteral("Syntax")).toString();
    g.datum = rs.field(QStringLiteral("Rechnungsdatum")).toDate();
    g.faellig = rs.field(QStringLiteral("Faellig")).toDate();
    g.netto = rs.field(QStringLiteral("Netto")).toEuro();
    g.steuer = rs.field(QStringLiteral("Steuer")).toEuro();
    g.brutto = rs.field(QStringLiteral("Brutto")).toEuro();
    g.zahlbetrag = rs.field(QStringLiteral("Zahlbetrag")).toEuro();
    g.iban = rs.field(QStringLiteral("IBAN")).toString();
    g.dateiname = rs.field(QStringLiteral("Dateiname")).toString();
    g.sha256 = rs.field(QStringLiteral("SHA256")).toString();
    g.konto = rs.field(QStringLiteral("Konto")).toULong();
    g.beiZahlung = rs.field(QStringLiteral("BeiZahlung")).toBool();
    g.buchungsnummer = rs.field(QStringLiteral("Buchungsnummer")).toULong();
    g.bezahlt = g.buchungsnummer ? rs.field(QStringLiteral("Bezahlt")).toDate() : zDate();
    g.lieferant = rs.field(QStringLiteral("Name")).toString();
    g.ustid = rs.field(QStringLiteral("UStID")).toString();
    g.steuernummer = rs.field(QStringLiteral("Steuernummer")).toString();
    return g;
}

void leseSteuern(DBConnection* db, Gespeichert* g) {
    rsDataSource s(db, QStringLiteral("SELECT Kategorie, Satz, Basis, Steuer, Grund FROM eingangSteuern WHERE RechnungID=? ORDER BY ID"),
                   {DatenTyp(g->id)});
    for (; !s.isEOF(); s.fetch())
        g->steuern << Steuerzeile{s.field(QStringLiteral("Kategorie")).toString(), s.field(QStringLiteral("Satz")).toDouble(),
                                  s.field(QStringLiteral("Basis")).toEuro(), s.field(QStringLiteral("Steuer")).toEuro(),
                                  s.field(QStringLiteral("Grund")).toString(), QString()};
}

}  // namespace

bool importiere(DBConnection* db, const QList<Importdatei>& dateien, Importergebnis* e, QString* fehler) {
    db = rsFallDB(db);
    *e = Importergebnis();
    if (!db) {
        *fehler = QStringLiteral("Es ist kein Fall geöffnet.");
        return false;
    }
    // Every file is read and checked before anything is written.
    QList<Rechnung> rechnungen;
    for (const Importdatei& d : dateien) {
        Rechnung r;
        QString grund;
        if (!leseDatei(d.daten, &r, &grund)) {
            *fehler = QStringLiteral("Die Rechnung „%1“ wird nicht angenommen:\n%2\nEs wurde nichts eingelesen.").arg(d.name, grund);
            return false;
        }
        rechnungen << r;
    }
    DBTransaktion tx(db);
    if (!tx.ok()) {
        *fehler = QStringLiteral("Die Falldatei kann nicht geschrieben werden.");
        return false;
    }
    const QString jetzt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    for (int i = 0; i < dateien.size(); ++i) {
        const Rechnung& r = rechnungen[i];
        const unsigned long lid = lieferant(db, r.verkaeufer, r.iban);
        if (!lid) {
            *fehler = QStringLiteral("Der Lieferant der Rechnung „%1“ konnte nicht gespeichert werden.").arg(dateien[i].name);
            return false;
        }
        const QVector<DatenTyp> da = QueryPrepared(db, QStringLiteral("SELECT ID FROM eingangRechnungen WHERE LieferantID=? AND UPPER(TRIM(Nummer))=UPPER(TRIM(?))"),
                                                   {DatenTyp(lid), DatenTyp(r.nummer)});
        if (!da.isEmpty()) {
            e->doppelt << QStringLiteral("%1: Die Rechnung %2 von %3 ist bereits als Eingangsrechnung %4 gespeichert; sie wird nicht noch einmal eingelesen.")
                              .arg(dateien[i].name, r.nummer, r.verkaeufer.name)
                              .arg(da.first().toULong());
            continue;
        }
        const bool ok = ExecPrepared(
            db,
            QStringLiteral("INSERT INTO eingangRechnungen (LieferantID, Nummer, Typ, Gutschrift, Syntax, Profil, Rechnungsdatum, Faellig, Netto, Steuer, "
                           "Brutto, Zahlbetrag, IBAN, BIC, Zahlungsreferenz, Dateiname, Original, SHA256, Eingelesen) VALUES "
                           "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {DatenTyp(lid), DatenTyp(r.nummer), DatenTyp(r.typ), DatenTyp(r.gutschrift()), DatenTyp(syntaxName(r.syntax)), DatenTyp(r.profil),
             DatenTyp(r.datum), DatenTyp(r.faellig), DatenTyp(r.netto), DatenTyp(r.steuer), DatenTyp(r.brutto), DatenTyp(r.zahlbetrag),
             DatenTyp(kompakt(r.iban)), DatenTyp(r.bic), DatenTyp(r.zahlungsreferenz), DatenTyp(dateien[i].name), DatenTyp::fromBlob(dateien[i].daten),
             DatenTyp(sha256(dateien[i].daten)), DatenTyp(jetzt)});
        const unsigned long id = ok ? (unsigned long)db->lastInsertId() : 0;
        bool steuernOk = id != 0;
        for (const Steuerzeile& s : r.steuern)
            steuernOk = steuernOk && ExecPrepared(db, QStringLiteral("INSERT INTO eingangSteuern (RechnungID, Kategorie, Satz, Basis, Steuer, Grund) VALUES (?,?,?,?,?,?)"),
                                                  {DatenTyp(id), DatenTyp(s.kategorie), DatenTyp(s.satz), DatenTyp(s.basis), DatenTyp(s.steuer),
                                                   DatenTyp(s.grund.isEmpty() ? s.grundCode : s.grund)});
        if (!steuernOk) {
            *fehler = QStringLiteral("Die Rechnung „%1“ konnte nicht gespeichert werden (%2). Es wurde nichts eingelesen.")
                          .arg(dateien[i].name, db->getErr()->last());
            return false;
        }
        e->neu << id;
    }
    if (!tx.commit()) {
        *fehler = QStringLiteral("Die Rechnungen konnten nicht gespeichert werden. Es wurde nichts eingelesen.");
        return false;
    }
    return true;
}

QList<Gespeichert> liste(DBConnection* db, bool nurOffen) {
    db = rsFallDB(db);
    QList<Gespeichert> l;
    if (!db || !rsTableExists(db, QStringLiteral("eingangRechnungen"))) return l;
    rsDataSource rs(db, QStringLiteral("SELECT ") + kSpalten +
                            QStringLiteral("FROM eingangRechnungen r LEFT JOIN eingangLieferanten l ON l.ID=r.LieferantID ") +
                            (nurOffen ? QStringLiteral("WHERE ") + kGebucht + QStringLiteral("=0 ") : QString()) + QStringLiteral("ORDER BY r.Rechnungsdatum, r.ID"));
    for (; !rs.isEOF(); rs.fetch()) l << ausZeile(rs);
    for (Gespeichert& g : l) leseSteuern(db, &g);
    return l;
}

BerichtListe alsListe(const QList<Gespeichert>& l, bool nurOffen) {
    BerichtListe b;
    b.titel = nurOffen ? QStringLiteral("Offene Eingangsrechnungen") : QStringLiteral("Eingangsrechnungen");
    b.spalte(QStringLiteral("ID"), QStringLiteral("id"), BerichtSpalte::Zahl, 4);
    b.spalte(QStringLiteral("Datum"), QStringLiteral("datum"), BerichtSpalte::Datum, 10);
    b.spalte(QStringLiteral("Nummer"), QStringLiteral("nummer"), BerichtSpalte::Text, 14);
    b.spalte(QStringLiteral("Lieferant"), QStringLiteral("lieferant"), BerichtSpalte::Text, 26);
    b.spalte(QStringLiteral("Art"), QStringLiteral("art"), BerichtSpalte::Text, 10);
    b.spalte(QStringLiteral("Netto"), QStringLiteral("netto"), BerichtSpalte::Betrag, 11);
    b.spalte(QStringLiteral("USt"), QStringLiteral("steuer"), BerichtSpalte::Betrag, 10);
    b.spalte(QStringLiteral("Zahlbetrag"), QStringLiteral("zahlbetrag"), BerichtSpalte::Betrag, 11);
    b.spalte(QStringLiteral("Fällig"), QStringLiteral("faellig"), BerichtSpalte::Datum, 10);
    b.spalte(QStringLiteral("Stand"), QStringLiteral("stand"), BerichtSpalte::Text, 22);
    for (const Gespeichert& g : l) {
        const QString stand = g.buchungsnummer ? QStringLiteral("gebucht (Buchung %1)").arg(g.buchungsnummer)
                              : g.beiZahlung   ? QStringLiteral("bei Zahlung auf %1").arg(g.konto)
                                               : QStringLiteral("offen");
        auto datum = [](const zDate& d) { return d.isValid() ? QVariant(d.qdate()) : QVariant(); };
        b.zeile({QVariant(qlonglong(g.id)), datum(g.datum), g.nummer, g.lieferant,
                 g.gutschrift ? QStringLiteral("Gutschrift") : QStringLiteral("Rechnung"), g.netto.alsDouble(), g.steuer.alsDouble(),
                 g.zahlbetrag.alsDouble(), datum(g.faellig), stand});
    }
    return b;
}

bool lese(DBConnection* db, unsigned long id, Gespeichert* g, QString* fehler) {
    db = rsFallDB(db);
    if (db && rsTableExists(db, QStringLiteral("eingangRechnungen"))) {
        rsDataSource rs(db, QStringLiteral("SELECT ") + kSpalten +
                                QStringLiteral("FROM eingangRechnungen r LEFT JOIN eingangLieferanten l ON l.ID=r.LieferantID WHERE r.ID=?"),
                        {DatenTyp(id)});
        if (!rs.isEOF()) {
            *g = ausZeile(rs);
            leseSteuern(db, g);
            return true;
        }
    }
    *fehler = QStringLiteral("Die Eingangsrechnung %1 gibt es nicht (die Liste zeigt „dalvo eingang FALL liste“).").arg(id);
    return false;
}

bool original(DBConnection* db, unsigned long id, QByteArray* daten, QString* fehler) {
    Gespeichert g;
    if (!lese(db, id, &g, fehler)) return false;
    const QVector<DatenTyp> z = QueryPrepared(rsFallDB(db), QStringLiteral("SELECT Original FROM eingangRechnungen WHERE ID=?"), {DatenTyp(id)});
    *daten = z.isEmpty() ? QByteArray() : z.first().toBlob();
    if (sha256(*daten) != g.sha256) {
        *fehler = QStringLiteral("Das Original der Eingangsrechnung %1 stimmt nicht mehr mit seiner Prüfsumme (SHA-256 %2) überein; "
                                 "es wurde nach dem Einlesen verändert. Bitte stellen Sie die Falldatei aus einer Sicherung wieder her.")
                      .arg(id)
                      .arg(g.sha256);
        return false;
    }
    return true;
}

namespace {
QString partei(const QString& rolle, const Partei& p) {
    QString t = rolle + QStringLiteral(": ") + p.name + QLatin1Char('\n');
    const QString adresse = QStringList{p.strasse, (p.plz + QLatin1Char(' ') + p.ort).trimmed(), p.land}.filter(QRegularExpression(QStringLiteral("\\S"))).join(QStringLiteral(", "));
    if (!adresse.isEmpty()) t += QStringLiteral("  ") + adresse + QLatin1Char('\n');
    if (!p.ustid.isEmpty()) t += QStringLiteral("  USt-IdNr. ") + p.ustid + QLatin1Char('\n');
    if (!p.steuernummer.isEmpty()) t += QStringLiteral("  Steuernummer ") + p.steuernummer + QLatin1Char('\n');
    const QString kontakt = QStringList{p.kontakt, p.telefon, p.email}.filter(QRegularExpression(QStringLiteral("\\S"))).join(QStringLiteral(", "));
    if (!kontakt.isEmpty()) t += QStringLiteral("  Kontakt: ") + kontakt + QLatin1Char('\n');
    return t;
}
QString satzText(const QString& k, double s) { return QStringLiteral("%1 %2 %").arg(k, QString::number(s)); }
QString zuschlagText(const Zuschlag& z) {
    return QStringLiteral("%1 %2 €%3").arg(z.zuschlag ? QStringLiteral("Zuschlag") : QStringLiteral("Abschlag"), z.betrag.getText(),
                                          z.grund.isEmpty() ? QString() : QStringLiteral(" (") + z.grund + QLatin1Char(')'));
}
}  // namespace

bool darstellung(DBConnection* db, unsigned long id, QString* text, QString* fehler) {
    QByteArray daten;
    if (!original(db, id, &daten, fehler)) return false;
    Gespeichert g;
    lese(db, id, &g, fehler);
    QByteArray xml;
    bool pdf = false;
    Rechnung r;
    if (!xmlAusDatei(daten, &xml, &pdf, fehler) || !leseXml(xml, &r, fehler)) return false;
    QString t;
    t += QStringLiteral("%1 %2 vom %3 (Eingangsrechnung %4)\n")
             .arg(r.gutschrift() ? QStringLiteral("Gutschrift") : QStringLiteral("Rechnung"), r.nummer, r.datum.getText())
             .arg(id);
    t += QStringLiteral("Format: %1%2, Typ %3%4\n")
             .arg(syntaxName(r.syntax), pdf ? QStringLiteral(" in PDF") : QString(), r.typ,
                  r.profil.isEmpty() ? QString() : QStringLiteral(", Profil ") + r.profil);
    t += QStringLiteral("Datei: %1, SHA-256 %2\n\n").arg(g.dateiname, g.sha256);
    t += partei(QStringLiteral("Verkäufer"), r.verkaeufer) + partei(QStringLiteral("Käufer"), r.kaeufer);
    if (!r.kaeuferreferenz.isEmpty()) t += QStringLiteral("Käuferreferenz: ") + r.kaeuferreferenz + QLatin1Char('\n');
    if (!r.bezug.isEmpty()) t += QStringLiteral("Bezieht sich auf Rechnung ") + r.bezug + QLatin1Char('\n');
    if (r.lieferdatum.isValid()) t += QStringLiteral("Lieferdatum: ") + r.lieferdatum.getText() + QLatin1Char('\n');
    if (!r.notiz.isEmpty()) t += QStringLiteral("Bemerkung: ") + r.notiz + QLatin1Char('\n');
    t += QStringLiteral("\nPositionen:\n");
    for (const Position& p : r.positionen) {
        t += QStringLiteral("  %1  %2\n      %3 %4 × %5 €  %6  = %7 €\n")
                 .arg(p.id, p.name, p.menge, p.einheit, p.preis, satzText(p.kategorie, p.satz), p.netto.getText());
        for (const Zuschlag& z : p.zuschlaege) t += QStringLiteral("      ") + zuschlagText(z) + QLatin1Char('\n');
    }
    if (!r.zuschlaege.isEmpty()) {
        t += QStringLiteral("Zu- und Abschläge auf die Rechnung:\n");
        for (const Zuschlag& z : r.zuschlaege) t += QStringLiteral("  ") + zuschlagText(z) + QStringLiteral(", ") + satzText(z.kategorie, z.satz) + QLatin1Char('\n');
    }
    t += QStringLiteral("Umsatzsteuer:\n");
    for (const Steuerzeile& s : r.steuern)
        t += QStringLiteral("  %1: Basis %2 €, Steuer %3 €%4\n")
                 .arg(satzText(s.kategorie, s.satz), s.basis.getText(), s.steuer.getText(),
                      s.grund.isEmpty() && s.grundCode.isEmpty() ? QString() : QStringLiteral(" (") + (s.grund.isEmpty() ? s.grundCode : s.grund) + QLatin1Char(')'));
    t += QStringLiteral("\nSumme Positionen %1 €\n").arg(r.summePositionen.getText());
    if (!r.summeAbschlaege.isNull()) t += QStringLiteral("Abschläge        %1 €\n").arg(r.summeAbschlaege.getText());
    if (!r.summeZuschlaege.isNull()) t += QStringLiteral("Zuschläge        %1 €\n").arg(r.summeZuschlaege.getText());
    t += QStringLiteral("Netto            %1 €\nUmsatzsteuer     %2 €\nBrutto           %3 €\n").arg(r.netto.getText(), r.steuer.getText(), r.brutto.getText());
    if (!r.vorausbezahlt.isNull()) t += QStringLiteral("Vorausbezahlt    %1 €\n").arg(r.vorausbezahlt.getText());
    t += QStringLiteral("Zahlbetrag       %1 €\n").arg(r.zahlbetrag.getText());
    t += QStringLiteral("\nZahlung: %1%2%3\n")
             .arg(r.iban.isEmpty() ? QStringLiteral("keine Bankverbindung angegeben") : QStringLiteral("IBAN ") + r.iban,
                  r.faellig.isValid() ? QStringLiteral(", fällig am ") + r.faellig.getText() : QString(),
                  r.zahlungsreferenz.isEmpty() ? QString() : QStringLiteral(", Verwendungszweck ") + r.zahlungsreferenz);
    if (!r.zahlungsbedingungen.isEmpty()) t += QStringLiteral("Zahlungsbedingungen: ") + r.zahlungsbedingungen + QLatin1Char('\n');
    t += g.buchungsnummer ? QStringLiteral("Gebucht: Buchung %1%2\n").arg(g.buchungsnummer).arg(g.bezahlt.isValid() ? QStringLiteral(", bezahlt am ") + g.bezahlt.getText() : QString())
         : g.beiZahlung   ? QStringLiteral("Offen: wird bei Zahlung auf Konto %1 gebucht\n").arg(g.konto)
                          : QStringLiteral("Offen: noch nicht gebucht\n");
    *text = t;
    return true;
}

}  // namespace Eingang
