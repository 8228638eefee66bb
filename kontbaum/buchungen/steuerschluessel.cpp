// Tax keys: splitting amounts into net and tax, the account/key rule, the
// key lists and the case's VAT liability.
#include "kontbaum/buchungen/buchungen.h"

#include "host/app/global.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"

namespace {

QString sql(unsigned long v) { return rsDataSource::toSqlStr(v); }

QString steuerartVon(DBConnection* db, unsigned long schluessel) {
    const QString art =
        GetDatenTyp(db, QStringLiteral("SELECT Steuerart FROM eurSteuerschluessel WHERE Steuerschluessel=") + sql(schluessel))
            .toString()
            .trimmed();
    return art.left(1).toUpper();
}

bool istAnlage(unsigned long k) { return (k >= 100 && k <= 107) || (k >= 109 && k <= 111); }
bool istEinnahme(unsigned long k) { return k >= 4000 && k <= 4999; }
bool istAusgabe(unsigned long k) { return k >= 5000 && k <= 6999; }
}  // namespace

KontoGlobal::ssDaten KontoGlobal::calcSteuerschluessel(DBConnection* db, unsigned long schluessel, EuroType betrag,
                                                       bool netto, int stellen) {
    ssDaten d;
    db = rsFallDB(db);
    if (schluessel != 0 && db) {
        const QVector<DatenTyp> z = QueryPrepared(
            db, QStringLiteral("SELECT Steuersatz, Steuerkonto, Steuerkonto2, im_Hundert FROM eurSteuerschluessel WHERE Steuerschluessel=?"),
            {DatenTyp(schluessel)});
        if (z.size() == 4) {
            d.steuersatz = z[0].toDouble();
            d.steuerkonto = z[1].toULong();
            d.steuerkonto2 = z[2].toULong();
            d.imHundert = z[3].toBool();
        }
    }
    return teileBetrag(d, betrag, netto, stellen);
}

// Amounts are whole cents, so `stellen` (2 at every caller) has nothing
// finer to round away.
KontoGlobal::ssDaten KontoGlobal::teileBetrag(const ssDaten& zeile, EuroType betrag, bool netto, int /*stellen*/) {
    ssDaten d;
    d.steuersatz = zeile.steuersatz;
    d.steuerkonto = zeile.steuerkonto;
    d.steuerkonto2 = zeile.steuerkonto2;
    d.imHundert = zeile.imHundert;
    if (!netto && !d.imHundert) {
        // The tax of a gross amount is what remains after the rounded net, so
        // that the two parts always add up to the amount booked: rounding
        // each on its own would make a booking a cent off whenever the net
        // ends on exactly half a cent.
        d.netto = betrag.nettoAusBrutto(d.steuersatz);
        d.steuer = betrag - d.netto;
    } else {
        d.netto = betrag;
        d.steuer = betrag.prozent(d.steuersatz);
    }
    return d;
}

EuroType KontoGlobal::calcBruttoNetto(bool liefereNetto, EuroType betrag, bool istNetto, double satz, bool ohneSteuer) {
    if (ohneSteuer || liefereNetto == istNetto) return betrag;
    return istNetto ? betrag.bruttoAusNetto(satz) : betrag.nettoAusBrutto(satz);
}

QString KontoGlobal::pruefeSteuerschluesselAktiv(DBConnection* db, unsigned long schluessel) {
    if (schluessel == 0 || schluessel == 999999) return QString();
    db = rsFallDB(db);
    if (!db) return QString();
    const QVector<DatenTyp> z = QueryPrepared(
        db, QStringLiteral("SELECT Aktiv, Kurzbezeichnung, Bezeichnung, Steuerart, Steuerkonto, Steuerkonto2, Laenderkuerzel FROM "
                           "eurSteuerschluessel WHERE Steuerschluessel=?"),
        {DatenTyp(schluessel)});
    if (z.size() != 7) return QStringLiteral("Den Steuerschlüssel %1 gibt es nicht.").arg(schluessel);
    if (z[0].toLongLong() != 0) return QString();
    auto name = [](const DatenTyp& kurz, const DatenTyp& lang) {
        return kurz.toString().trimmed().isEmpty() ? lang.toString().trimmed() : kurz.toString().trimmed();
    };
    // The alternatives are the active keys of the same kind: the same side
    // (output or input tax), with a tax account or without, with the second
    // account of the recipient's tax or without, German or foreign.
    const QString art = z[3].toString().trimmed().left(1).toUpper();
    const auto ja = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList andere;
    rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel, Kurzbezeichnung, Bezeichnung FROM eurSteuerschluessel WHERE Aktiv<>0 "
                                       "AND Steuerschluessel NOT IN (0, 999999) AND UPPER(SUBSTR(TRIM(IFNULL(Steuerart,'')),1,1))=") +
                            rsDataSource::toSqlStr(art) + QStringLiteral(" AND (IFNULL(Steuerkonto,0)<>0)=") + ja(z[4].toULong() != 0) +
                            QStringLiteral(" AND (IFNULL(Steuerkonto2,0)<>0)=") + ja(z[5].toULong() != 0) +
                            QStringLiteral(" AND (TRIM(IFNULL(Laenderkuerzel,''))<>'')=") + ja(!z[6].toString().trimmed().isEmpty()) +
                            QStringLiteral(" ORDER BY Sortierung, Steuerschluessel"));
    for (; !rs.isEOF(); rs.fetch())
        andere << QStringLiteral("%1 (%2)").arg(rs.field(QStringLiteral("Steuerschluessel")).toULong())
                      .arg(name(rs.field(QStringLiteral("Kurzbezeichnung")), rs.field(QStringLiteral("Bezeichnung"))));
    const KontoGlobal* kg = GetKontoGlobal(-1, false);
    const QString fuer = art == QLatin1String("U")   ? QStringLiteral("für Umsatzsteuer")
                         : art == QLatin1String("V") ? QStringLiteral("für Vorsteuer")
                                                     : QStringLiteral("dieser Art");
    return QStringLiteral("Der Steuerschlüssel %1 (%2) ist im Steuerjahr %3 nicht aktiv. ")
               .arg(schluessel)
               .arg(name(z[1], z[2]))
               .arg(kg ? kg->getSteuerjahr() : kProgrammjahr) +
           (andere.isEmpty() ? QStringLiteral("Es ist kein anderer Schlüssel dieser Art aktiv. ")
                             : QStringLiteral("Aktive Schlüssel %1: %2. ").arg(fuer, andere.join(QStringLiteral(", ")))) +
           QStringLiteral("Gilt der Schlüssel %1 doch für diesen Beleg, aktivieren Sie ihn zuerst in den Steuerschlüsseln des Falls.")
               .arg(schluessel);
}

double KontoGlobal::getSteuersatz(unsigned long schluessel) {
    DBConnection* db = rsFallDB();
    if (!db) return 0.0;
    return GetDatenTyp(db, QStringLiteral("SELECT Steuersatz FROM eurSteuerschluessel WHERE Steuerschluessel=") + sql(schluessel))
        .toDouble();
}

QString KontoGlobal::getSteuerschluesselBezeichnung(unsigned long schluessel, bool kurz) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    return GetDatenTyp(db, (kurz ? QStringLiteral("SELECT Kurzbezeichnung") : QStringLiteral("SELECT Bezeichnung")) +
                               QStringLiteral(" FROM eurSteuerschluessel WHERE Steuerschluessel=") + sql(schluessel))
        .toString();
}

int KontoGlobal::isSteuerschluesselFuerKategorieOK(unsigned long kategorie, unsigned long schluessel, DBConnection* db) {
    if (kategorie == 0 || schluessel == 0) return 0;
    db = rsFallDB(db);
    if (!db) return 0;
    const QString art = steuerartVon(db, schluessel);
    const bool u = art == QLatin1String("U"), v = art == QLatin1String("V");
    if ((v && kategorie == 1204) || (u && kategorie == 2400) || (v && kategorie == 4203) || (u && kategorie == 5401)) return 0;
    if (u && istAnlage(kategorie)) return 4;
    if (v && istAnlage(kategorie)) return 0;
    if (v && istEinnahme(kategorie)) return 1;
    if (u && istAusgabe(kategorie)) return 2;
    if (!u && !v) return 0;
    return (istEinnahme(kategorie) || istAusgabe(kategorie)) ? 0 : 3;
}

int KontoGlobal::isSteuerschluesselOK(unsigned long konto, unsigned long schluessel, DBConnection* db) {
    if (konto == 0 || schluessel == 0) return 0;
    db = rsFallDB(db);
    if (!db) return 0;
    const unsigned long kat =
        GetDatenTyp(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=") + sql(konto)).toULong();
    return isSteuerschluesselFuerKategorieOK(kat, schluessel, db);
}

QString KontoGlobal::steuerschluesselRegelText(int antwort) {
    switch (antwort) {
    case 1: return QStringLiteral("Sie dürfen einem Einnahmekonto keinen Vorsteuerschlüssel zuordnen.");
    case 2: return QStringLiteral("Sie dürfen einem Ausgabekonto keinen Umsatzsteuerschlüssel zuordnen.");
    case 3: return QStringLiteral("Sie dürfen nur Einnahme- oder Ausgabekonten einen Steuerschlüssel zuordnen.");
    case 4: return QStringLiteral("Sie dürfen einem Anlagenkonto keinen Umsatzsteuerschlüssel zuordnen.");
    default: return QString();
    }
}

QString KontoGlobal::skontoKontenBedingung(DBConnection* db) {
    db = rsFallDB(db);
    const QString skr03 = QStringLiteral("(Nummer>8729) AND (Nummer<8740)");
    if (!db) return skr03;
    // SKR03 keeps granted discounts in 8730 to 8739; another framework has
    // them under its own numbers, which the template names beside SKR03's.
    const QString spalte = rahmenSpalte(getFalleigenschaft(QStringLiteral("Kontenplan"), db).trimmed().toUpper());
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (spalte.isEmpty() || spalte == QLatin1String("SKR03") || !ref) return skr03;
    QStringList nummern;
    rsDataSource rs(ref, QStringLiteral("SELECT DISTINCT ") + spalte + QStringLiteral(" FROM Kontenrahmen WHERE SKR03 BETWEEN 8730 AND 8739 AND ") +
                             spalte + QStringLiteral("<>0"));
    for (; !rs.isEOF(); rs.fetch()) nummern << QString::number(rs.getFields()->getField(0).toULong());
    if (nummern.isEmpty()) return QStringLiteral("(1=0)");
    return QStringLiteral("(Nummer IN (") + nummern.join(QLatin1Char(',')) + QStringLiteral("))");
}

unsigned long KontoGlobal::getSkontiKontoForSteuerschluessel(DBConnection* db, unsigned long schluessel) {
    db = rsFallDB(db);
    if (!db) return 0;
    // An account with the key fixed (8736 for 19 %) comes before one that
    // only defaults to it (8730), so the answer does not depend on row order.
    return GetDatenTyp(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE (Aktiv <> 0) AND ") + skontoKontenBedingung(db) +
                               QStringLiteral(" AND Steuerschluessel=") + sql(schluessel) +
                               QStringLiteral(" ORDER BY Steuerautomatik=1 DESC, Nummer LIMIT 1"))
        .toULong();
}

QList<KontoGlobal::SchluesselEintrag> KontoGlobal::fillSteuerschluessel(DBConnection* db, int buchungsart, bool) {
    QList<SchluesselEintrag> out;
    db = rsFallDB(db);
    if (!db) return out;
    QString bedingung = QStringLiteral(" Aktiv<>0 ");
    QString textNull = QStringLiteral("Keine Umsatz- / Vorsteuer");
    // The side condition is bracketed: without the brackets "Aktiv<>0 AND
    // Steuerart='U' OR Steuerart='B'" would offer inactive keys of kind B.
    if (buchungsart == 1 || buchungsart == 4) {
        bedingung += QStringLiteral(" AND (Steuerart='U' OR Steuerart='B') ");
        textNull = QStringLiteral("Keine Umsatzsteuer");
    } else if (buchungsart == 2 || buchungsart == 5) {
        bedingung += QStringLiteral(" AND (Steuerart='V' OR Steuerart='B') ");
        textNull = QStringLiteral("Keine Vorsteuer");
    }
    rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel, Bezeichnung FROM eurSteuerschluessel WHERE ") + bedingung +
                            QStringLiteral(" ORDER BY Sortierung"));
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long s = rs.field(QStringLiteral("Steuerschluessel")).toULong();
        out.append({s, s == 0 ? textNull : rs.field(QStringLiteral("Bezeichnung")).toString()});
    }
    return out;
}

long KontoGlobal::steuerschluesselKurzwahl(QChar taste, int buchungsart) {
    const bool einnahme = buchungsart == 1 || buchungsart == 4;
    switch (taste.unicode()) {
    case '1':
    case '9':
        return einnahme ? 5 : 7;
    case '7':
        return einnahme ? 2 : 8;
    case '6':
        return einnahme ? 3 : 9;
    case '0':
    case 0x08:  // Backspace
    case 0x7F:  // Delete
        return 0;
    default:
        return -1;
    }
}

QStringList KontoGlobal::getAktiveSteuerschluessel() const {
    QStringList out;
    if (!m_con) return out;
    rsDataSource rs(m_con, QStringLiteral("SELECT Steuerschluessel FROM eurSteuerschluessel WHERE Aktiv<>0"));
    for (; !rs.isEOF(); rs.fetch()) out << QString::number(rs.field(QStringLiteral("Steuerschluessel")).toULong());
    return out;
}

void KontoGlobal::fillSetSteuerschluesselInVerwendung(QSet<unsigned long>& menge) {
    DBConnection* db = rsFallDB();
    if (!db) return;
    const QStringList tabellen = {QStringLiteral("eurVerbuchtBuchungszeilen"),
                                  QStringLiteral("eurStapelBuchungszeilen"),
                                  QStringLiteral("eurBeispielBuchungszeilen"),
                                  QStringLiteral("reArtikel"),
                                  QStringLiteral("reWarengruppen"),
                                  QStringLiteral("reAngebotePositionen"),
                                  QStringLiteral("reAuftragsbestaetigungenPositionen"),
                                  QStringLiteral("reLieferscheinePositionen"),
                                  QStringLiteral("reRechnungenPositionen")};
    QStringList teile;
    for (const QString& t : tabellen)
        if (rsColumnExists(db, t, QStringLiteral("Steuerschluessel")))
            teile << QStringLiteral("SELECT Steuerschluessel FROM ") + t + QStringLiteral(" WHERE Steuerschluessel<>999999");
    teile << QStringLiteral("SELECT Steuerschluessel FROM eurKontenplan WHERE  Steuerautomatik <> 0 AND Steuerschluessel>0 AND Aktiv<>0");
    rsDataSource rs(db, teile.join(QStringLiteral(" UNION ")));
    for (; !rs.isEOF(); rs.fetch()) menge.insert(rs.field(QStringLiteral("Steuerschluessel")).toULong());
}

bool KontoGlobal::abgleichKontoplanSteuerschluesselAktiv() {
    DBConnection* db = rsFallDB();
    return db && ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=1 WHERE Steuerschluessel IN (SELECT "
                                            "Steuerschluessel FROM eurKontenplan WHERE Steuerschluessel<>0 AND Aktiv<>0)"));
}

bool KontoGlobal::istUstPflichtig(DBConnection* con) {
    return getFalleigenschaft(QStringLiteral("UstPflicht"), rsFallDB(con)).trimmed() != QLatin1String("0");
}

QString KontoGlobal::schluesselOhneUstPflicht(DBConnection* con, unsigned long schluessel, const ssDaten& zeile) {
    if (schluessel == 0 || schluessel == 999999 || zeile.steuerkonto2 != 0) return QString();
    const QString name = GetDatenTyp(rsFallDB(con), QStringLiteral("SELECT Kurzbezeichnung FROM eurSteuerschluessel WHERE Steuerschluessel=") +
                                                      sql(schluessel))
                             .toString();
    return QStringLiteral("Der Fall ist nicht umsatzsteuerpflichtig (Kleinunternehmer nach § 19 UStG): Der Steuerschlüssel %1%2 "
                          "gilt nur für umsatzsteuerpflichtige Unternehmer. Buchen Sie den Betrag brutto ohne Steuerschlüssel; "
                          "möglich sind nur Schlüssel, bei denen Sie als Leistungsempfänger die Steuer schulden (§ 13b UStG, "
                          "innergemeinschaftlicher Erwerb).")
        .arg(schluessel)
        .arg(name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name));
}

QList<unsigned long> KontoGlobal::buchungenMitUmsatzsteuer(DBConnection* con) {
    con = rsFallDB(con);
    QList<unsigned long> nummern;
    if (!con) return nummern;
    rsDataSource rs(con, QStringLiteral("SELECT DISTINCT b.Buchungsnummer FROM eurVerbucht b JOIN eurVerbuchtBuchungszeilen z ON "
                                        "z.Buchungsnummer=b.Buchungsnummer JOIN eurSteuerschluessel s ON s.Steuerschluessel=z.Steuerschluessel "
                                        "WHERE IFNULL(b.Storno,0)=0 AND IFNULL(b.Storniert,0)=0 AND z.Steuerschluessel NOT IN (0, 999999) "
                                        "AND IFNULL(s.Steuerkonto2,0)=0 ORDER BY b.Buchungsnummer"));
    for (; !rs.isEOF(); rs.fetch()) nummern << rs.field(QStringLiteral("Buchungsnummer")).toULong();
    return nummern;
}

bool KontoGlobal::activateUstPflicht() {
    DBConnection* db = m_con;
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    const QString spalte = rahmenSpalte(m_Kontenplan);
    if (!db || !ref || spalte.isEmpty()) return false;
    if (m_UstPflicht && ergaenzeKontenAusVorlage() < 0) return false;
    const QString d = rsDataSource::toSqlStr(zDate(m_Steuerjahr, 12, 31));
    QString q = QStringLiteral("SELECT ") + spalte + QStringLiteral(" AS kpNummer FROM Kontenrahmen WHERE ") + spalte +
                QStringLiteral("<>0    AND DeaktivBeiKeinerUSt<>0    AND gueltig_ab <= ") + d +
                QStringLiteral("   AND (gueltig_bis=") + rsDataSource::toSqlStr(zDate()) + QStringLiteral(" OR gueltig_bis>=") + d +
                QStringLiteral(") ");
    if (m_UstPflicht) q += QStringLiteral("   AND Aktiv<>0 ");
    QStringList nummern;
    {
        rsDataSource rs(ref, q);
        for (; !rs.isEOF(); rs.fetch()) nummern << QString::number(rs.field(QStringLiteral("kpNummer")).toULong());
    }
    // An account the ledger has lines on stays active: switched off, every
    // one of its bookings (cancelled ones too) would fail the self-check.
    if (!m_UstPflicht) {
        QStringList frei;
        for (const QString& n : nummern)
            if (!existsBuchung(n.toULong(), db, false)) frei << n;
        nummern = frei;
    }
    if (nummern.isEmpty()) return true;
    return ExecSQL(db, (m_UstPflicht ? QStringLiteral("UPDATE eurKontenplan SET Aktiv=1  WHERE Nummer IN (")
                                     : QStringLiteral("UPDATE eurKontenplan SET Aktiv=0  WHERE Nummer IN (")) +
                           nummern.join(QLatin1Char(',')) + QStringLiteral(")"));
}
