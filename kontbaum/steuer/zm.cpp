// The recapitulative statement (ZM): amounts per foreign VAT number and kind
// of transaction, as CSV and as the XML data file of the online form.
//
// The kind of a line follows its account and key (steuer/ustid.h): other
// services ("S"), triangular transactions ("D"), supplies ("L").
#include "kontbaum/steuer/steuer.h"

#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/indizes.h"
#include "kontbaum/steuer/ustid.h"

namespace {
// The root element's namespace names the schema of the online form service
// that receives the file. The service publishes it; this program does not
// guess it, so the default is a neutral name of its own, and an
// installation sets the service's URI in the option ZM/Namespace (or
// through KontoGlobal::setZmNamespace).
const char* const kStandardNamespace = "urn:dalvo16:zm-online-formular";

QString& zmNs() {
    static QString ns;
    return ns;
}

QString zeitraumBedingung(int z) {
    if (z < 0) return QString();
    int von = 0, bis = 0;
    if (z <= 3) {
        von = 3 * z + 1;
        bis = 3 * z + 3;
    } else if (z <= 15) {
        return QStringLiteral("(MONTH(Belegdatum) = %1) AND ").arg(z - 3);
    } else if (z >= 26 && z <= 29) {
        von = 3 * (z - 26) + 1;
        bis = von + 1;
    }
    return QStringLiteral("(MONTH(Belegdatum) BETWEEN %1 AND %2) AND ").arg(von).arg(bis);
}

// The line's code on the advance return: the account's own, else its key's.
QString kennzifferSql() {
    return QStringLiteral("(CASE WHEN IFNULL(kp.UStVA,0)<>0 THEN kp.UStVA ELSE IFNULL((SELECT MAX(s.VAKZUmsatz) FROM "
                          "eurSteuerschluessel s WHERE s.Steuerschluessel=z.Steuerschluessel),0) END)");
}

// The kind of the statement (0 L, 1 S, 2 D) of a reportable line.
QString zmArtSql() {
    return QStringLiteral("(CASE ") + kennzifferSql() + QStringLiteral(" WHEN ") + rsDataSource::toSqlStr(UStId::kKennzifferLeistung) +
           QStringLiteral(" THEN 1 WHEN ") + rsDataSource::toSqlStr(UStId::kKennzifferDreieck) + QStringLiteral(" THEN 2 ELSE 0 END)");
}

// The lines UStId::artDerZeile reports, as a condition on z (line) and kp
// (its account): revenue category, an output key without German tax, and
// one of the three codes.
QString zmZeilenBedingung() {
    return QStringLiteral("(kp.Kategorie BETWEEN 4000 AND 4999) AND (kp.Kategorie<>4203) AND EXISTS (SELECT 1 FROM eurSteuerschluessel s "
                          "WHERE s.Steuerschluessel=z.Steuerschluessel AND s.Steuerart=") +
           rsDataSource::toSqlStr(QStringLiteral("U")) + QStringLiteral(" AND s.Steuersatz=0) AND ") + kennzifferSql() +
           QStringLiteral(" IN (") + rsDataSource::toSqlStr(UStId::kKennzifferLieferung) + QStringLiteral(", ") +
           rsDataSource::toSqlStr(UStId::kKennzifferDreieck) + QStringLiteral(", ") + rsDataSource::toSqlStr(UStId::kKennzifferLeistung) +
           QStringLiteral(")");
}

QString buchstabe(int art) {
    switch (art) {
    case 0: return QStringLiteral("L");
    case 1: return QStringLiteral("S");
    case 2: return QStringLiteral("D");
    default: return QString::number(art);
    }
}

// Whole euros toward zero, as a plain integer.
QString ganzeEuro(const EuroType& b) { return QString::number(b.cent() / 100); }

QString var(const QString& pfad, const char* name) {
    DatenTyp v;
    DatenBase::GetDBVar(pfad + QLatin1Char('\\') + QLatin1String(name), &v);
    return v.toString().trimmed();
}

// "Hauptstraße 12a" -> street "Hauptstraße", number "12a" (split at the last blank).
void strasseTeilen(const QString& s, QString* strasse, QString* nr) {
    const int pos = s.trimmed().lastIndexOf(QLatin1Char(' '));
    if (pos < 0) {
        *strasse = s.trimmed();
        nr->clear();
    } else {
        *strasse = s.trimmed().left(pos).trimmed();
        *nr = s.trimmed().mid(pos + 1);
    }
}
}  // namespace

QString KontoGlobal::zmNamespace() {
    if (!zmNs().isEmpty()) return zmNs();
    const QString opt = rsOptionsGlobal::instance().getString(QStringLiteral("ZM"), QStringLiteral("Namespace"));
    return opt.isEmpty() ? QString::fromLatin1(kStandardNamespace) : opt;
}

void KontoGlobal::setZmNamespace(const QString& uri) { zmNs() = uri; }

QMap<QString, KontoGlobal::UstIdZm> KontoGlobal::getUStIdMap(const int& zeitraum) {
    QMap<QString, UstIdZm> out;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!db || !kg) return out;
    // Only bookings with a VAT id take part: the outer loop walks
    // idx_eurVerbucht_UStID from the first non-empty id ("UStID > ''" holds
    // for every id LEN(UStID)<>0 admits), in the order of the grouping, and
    // their lines are summed in cents (debit negative). Of their lines only
    // the business's own reportable revenue counts (steuer/ustid.h): a
    // purchase from a supplier who gave his VAT number, or a domestic sale
    // that happens to carry one, is not the statement's business.
    const QString sql =
        QStringLiteral("SELECT b.UStID, MAX") + zmArtSql() +
        QStringLiteral(", SUM(CASE WHEN z.Haben THEN ROUND(z.Betrag*100) ELSE -ROUND(z.Betrag*100) END) "
                       "FROM eurVerbucht b CROSS JOIN eurVerbuchtBuchungszeilen z CROSS JOIN eurKontenplan kp WHERE b.UStID > '' AND "
                       "(b.Buchungsnummer=z.Buchungsnummer) AND (z.Konto=kp.Nummer) AND (b.Storno=0) AND (b.Storniert=0) AND "
                       "(z.Steuerschluessel<>0) AND (LEN(b.UStID)<>0) AND (MID(b.UStID,1,2) <> 'DE')") +
        QStringLiteral(" AND ( ") + zeitraumBedingung(zeitraum) +
        QStringLiteral(" (z.Steuerschluessel <> 999999) AND (YEAR(Belegdatum) = %1))").arg(rsDataSource::toSqlStr(kg->getSteuerjahr())) +
        QStringLiteral(" AND ") + zmZeilenBedingung() + QStringLiteral(" GROUP BY b.UStID, b.ZMArt");
    QMap<QString, qint64> cent;
    rsDataSource rs(db, sql);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString ustid = f.getField(0).toString().trimmed();
        if (ustid.isEmpty()) continue;
        // The kind follows the revenue lines (0 L, 1 S, 2 D), not the
        // header: the checks make both agree for every booking, and a header
        // of older data with another kind is read as its lines say. The
        // grouping stays on the header's kind, the order of the index.
        const int art = f.getField(1).toInt();
        const QString key = ustid + QLatin1Char('#') + QString::number(art);
        const qint64 betrag = Berichte::cent(f.getField(2).toDouble());
        if (out.contains(key)) {
            cent[key] += betrag;
            continue;
        }
        UstIdZm z;
        z.Laenderkennzeichen = ustid.left(2);
        z.UStIdNr = ustid.mid(2);
        z.ZMArt = art;
        if (z.Laenderkennzeichen.isEmpty() || z.UStIdNr.isEmpty()) continue;
        out.insert(key, z);
        cent[key] = betrag;
    }
    for (auto it = out.begin(); it != out.end(); ++it) it->Betrag = EuroType::ausCent(cent.value(it.key()));
    return out;
}

const char* const KontoGlobal::kZmJahresmeldung = "ZMJahresmeldung";

QString KontoGlobal::zmJahresmeldungAbgelehnt() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return QStringLiteral("Es ist kein Fall geöffnet.");
    const QString weiter = QStringLiteral(" Melden Sie vierteljährlich (--quartal) oder monatlich (--monat).");
    if (getFalleigenschaft(QLatin1String(kZmJahresmeldung), db).trimmed() != QLatin1String("1"))
        return QStringLiteral("Eine Zusammenfassende Meldung für das ganze Kalenderjahr ist nur erlaubt, wenn das Finanzamt von den "
                              "Umsatzsteuer-Voranmeldungen befreit hat, die Umsätze im Vorjahr und im laufenden Jahr 200.000 Euro und die "
                              "innergemeinschaftlichen Lieferungen und Leistungen 15.000 Euro nicht übersteigen und keine neuen Fahrzeuge "
                              "an Abnehmer mit USt-IdNr. geliefert wurden (§ 18a Abs. 9 UStG). Für diesen Fall ist das nicht erklärt "
                              "(einzutragen mit „dalvo einstellungen FALL --zm-jahresmeldung ja“).") +
               weiter;
    // The current year from the ledger: the reportable revenue whether or
    // not a VAT number was given, and all turnover (supplies, services and
    // the private use and disposals the law treats as such), net.
    const QString jahr = QStringLiteral("YEAR(Belegdatum) = ") + rsDataSource::toSqlStr(kg->getSteuerjahr());
    const QString zeilen = QStringLiteral(" FROM eurVerbuchtBuchungszeilen z CROSS JOIN eurKontenplan kp WHERE (z.Konto=kp.Nummer) AND "
                                          "(z.Steuerschluessel<>999999) AND ") +
                           Berichte::gebuchteZeilen(db, true, jahr);
    const QString haben = QStringLiteral("SELECT SUM(CASE WHEN z.Haben THEN ROUND(z.Betrag*100) ELSE -ROUND(z.Betrag*100) END)");
    const EuroType eu = EuroType::ausCent(Berichte::cent(
        GetDatenTyp(db, haben + zeilen + QStringLiteral(" AND (z.Steuerschluessel<>0) AND ") + zmZeilenBedingung()).toDouble()));
    if (eu > kZmJahresEuGrenze)
        return QStringLiteral("Die innergemeinschaftlichen Lieferungen und Leistungen des Jahres %1 betragen %2 Euro und übersteigen die "
                              "Grenze von 15.000 Euro für die jährliche Zusammenfassende Meldung (§ 18a Abs. 9 Nr. 2 UStG).")
                   .arg(kg->getSteuerjahr())
                   .arg(eu.getText()) +
               weiter;
    const EuroType umsatz = EuroType::ausCent(Berichte::cent(
        GetDatenTyp(db, haben + zeilen + QStringLiteral(" AND kp.Kategorie IN (4000, 4001, 4002, 4201, 4202, 4300)")).toDouble()));
    if (umsatz > kZmJahresUmsatzGrenze)
        return QStringLiteral("Die Umsätze des Jahres %1 betragen %2 Euro und übersteigen die Grenze von 200.000 Euro für die jährliche "
                              "Zusammenfassende Meldung (§ 18a Abs. 9 Nr. 1 UStG).")
                   .arg(kg->getSteuerjahr())
                   .arg(umsatz.getText()) +
               weiter;
    return QString();
}

QString KontoGlobal::getZusammenfassendeMeldungCsv(const QMap<QString, UstIdZm>& zeilen) {
    QString csv;
    for (const UstIdZm& z : zeilen) {
        if (z.Laenderkennzeichen.isEmpty() || z.UStIdNr.isEmpty()) continue;
        csv += csv.isEmpty() ? QStringLiteral("Laenderkennzeichen,USt-IdNr.,Betrag (EUR),Umsatzart\n") : QStringLiteral("\n");
        csv += z.Laenderkennzeichen + QLatin1Char(',') + z.UStIdNr + QLatin1Char(',') + ganzeEuro(z.Betrag) + QLatin1Char(',') +
               buchstabe(z.ZMArt);
    }
    return csv;
}

QString KontoGlobal::quoteZusammenfassendeMeldungXml(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('&'), QStringLiteral("&amp;"));
    t.replace(QLatin1Char('<'), QStringLiteral("&lt;"));
    t.replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    t.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    t.replace(QLatin1Char('\''), QStringLiteral("&apos;"));
    return t;
}

QString KontoGlobal::getZusammenfassendeMeldungXml(const QMap<QString, UstIdZm>& zeilen, const int& zeitraum) {
    bool irgendeine = false;
    for (const UstIdZm& z : zeilen) irgendeine = irgendeine || (!z.Laenderkennzeichen.isEmpty() && !z.UStIdNr.isEmpty());
    if (!irgendeine) return QString();
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    auto element = [](int einzug, const QString& id, const QString& wert, int max) {
        return QString(einzug, QLatin1Char(' ')) + QStringLiteral("<element id=\"") + id + QStringLiteral("\">") +
               quoteZusammenfassendeMeldungXml(max > 0 ? wert.left(max) : wert) + QStringLiteral("</element>\n");
    };
    QString x = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    x += QStringLiteral("<xml-data xmlns=\"") + quoteZusammenfassendeMeldungXml(zmNamespace()) + QStringLiteral("\">\n");
    x += QStringLiteral("    <form>catalog://Unternehmen/ust/ZM_Formular_online</form>\n    <instance>\n        <datarow>\n");
    x += QStringLiteral("            <element id=\"ID_USER\">.anonymous</element>\n            <element id=\"knri1\">DE</element>\n");
    const QString amt = QStringLiteral("Kont_[M]\\Ad0031_[0]");
    x += element(12, QStringLiteral("knri2"), var(amt, "ad31_UStIdnummer").remove(QLatin1Char(' ')).mid(2), 9);
    x += element(12, QStringLiteral("jahr"), QString::number(kg ? kg->getSteuerjahr() : 2016), 0);
    x += QStringLiteral("            <element id=\"berichtigung\">false</element>\n");
    x += QStringLiteral("            <element id=\"anzeige\">%1</element>\n").arg(QStringLiteral("false"));
    x += QStringLiteral("            <element id=\"widerruf\">%1</element>\n").arg(QStringLiteral("false"));
    const QString stamm = QStringLiteral("Kont_[M]\\Stamm001_[0]");
    QString strasse, nr;
    strasseTeilen(var(stamm, "st1_Strasse"), &strasse, &nr);
    x += element(12, QStringLiteral("Uname"), var(stamm, "st1_Firma"), 55);
    x += element(12, QStringLiteral("Ustrasse"), strasse, 55);
    x += element(12, QStringLiteral("Uhausnr"), nr, 5);
    x += element(12, QStringLiteral("Uplz"), var(stamm, "st1_PLZ"), 5);
    x += element(12, QStringLiteral("Uort"), var(stamm, "st1_Ort"), 30);
    x += element(12, QStringLiteral("Utelefon"), var(stamm, "st1_Telefon"), 20);
    x += element(12, QStringLiteral("Uemail"), var(stamm, "st1_Email"), 45);
    rsOptionsGlobal& o = rsOptionsGlobal::instance();
    const QString sek = QStringLiteral("Mitwirkung");
    const bool mit = o.getInt(sek, QStringLiteral("MITWIRK_AUSDRUCKEN"), 0) != 0;
    auto opt = [&](const char* k) { return mit ? o.getString(sek, QLatin1String(k)).trimmed() : QString(); };
    QStringList name;
    for (const char* k : {"MITWIRK_TITEL", "MITWIRK_VORNAME", "MITWIRK_NAME"})
        if (!opt(k).isEmpty()) name << opt(k);
    strasseTeilen(opt("MITWIRK_STRASSEHSNR"), &strasse, &nr);
    x += element(12, QStringLiteral("Hname"), name.join(QLatin1Char(' ')), 55);
    x += element(12, QStringLiteral("Hart"), opt("MITWIRK_BERUF"), 35);
    x += element(12, QStringLiteral("Hstrasse"), strasse, 55);
    x += element(12, QStringLiteral("Hhausnr"), nr, 5);
    x += element(12, QStringLiteral("Hplz"), opt("MITWIRK_POSTLEITZAHL"), 5);
    x += element(12, QStringLiteral("Hort"), opt("MITWIRK_ORT"), 30);
    x += element(12, QStringLiteral("Htelefon"), opt("MITWIRK_TELEFON"), 20);
    x += element(12, QStringLiteral("Hemail"), opt("MITWIRK_EMAIL"), 45);
    if (zeitraum < 0) {
        x += QStringLiteral("            <element id=\"quartal\">Kalenderjahr</element>\n            <element id=\"quart\">5</element>\n");
    } else if (zeitraum <= 3) {
        x += element(12, QStringLiteral("quartal"), QStringLiteral("%1. Quartal").arg(zeitraum + 1), 0);
        x += element(12, QStringLiteral("quart"), QString::number(zeitraum + 1), 0);
    } else {
        x += QStringLiteral("            <element id=\"quartal\">Monat</element>\n");
        x += element(12, QStringLiteral("quart"), QString::number(zeitraum - 3), 0);
    }
    x += element(12, QStringLiteral("zlnr"), o.getString(QStringLiteral("FileProperties"), QStringLiteral("AbgabeZMTeilnehmernummer")), 8);
    x += QStringLiteral("        </datarow>\n        <dataset id=\"tbl_ZM_tabelle\">\n");
    int n = 0;
    for (const UstIdZm& z : zeilen) {
        if (z.Laenderkennzeichen.isEmpty() || z.UStIdNr.isEmpty()) continue;
        x += QStringLiteral("            <datarow>\n");
        x += element(16, QStringLiteral("knre1"), z.Laenderkennzeichen, 2);
        x += element(16, QStringLiteral("knre2"), z.UStIdNr, 13);
        x += element(16, QStringLiteral("umsatz_art"), QString::number(z.ZMArt), 0);
        x += element(16, QStringLiteral("betrag"), ganzeEuro(z.Betrag), 12);
        x += element(16, QStringLiteral("zeile_m"), QString::number(++n), 0);
        x += QStringLiteral("            </datarow>\n");
    }
    x += QStringLiteral("        </dataset>\n    </instance>\n</xml-data>");
    return x;
}
