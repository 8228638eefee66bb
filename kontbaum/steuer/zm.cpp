// The recapitulative statement (ZM): amounts per foreign VAT number and kind
// of transaction, as CSV and as the XML data file of the online form.
//
// The kind of a booking (ZMArt on its header): 1 other services ("S"),
// 2 triangular transactions ("D"), any other (3) supplies ("L").
#include "kontbaum/steuer/steuer.h"

#include "host/app/options.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/datenbase.h"
#include "kontbaum/berichte/indizes.h"

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

QString buchstabe(int art) {
    switch (art) {
    case 0: return QStringLiteral("L");
    case 1: return QStringLiteral("S");
    case 2: return QStringLiteral("D");
    default: return QString::number(art);
    }
}

// Whole euros toward zero, as a plain integer.
QString ganzeEuro(const EuroType& b) { return QString::number(qlonglong(b.RundenAb(0).wert())); }

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
    DBConnection* db = kg ? kg->GetDBConnect_Ptr() : nullptr;
    if (!db) return out;
    // Only bookings with a VAT id take part: the outer loop walks
    // idx_eurVerbucht_UStID from the first non-empty id ("UStID > ''" holds
    // for every id LEN(UStID)<>0 admits), in the order of the grouping, and
    // their lines are summed in cents (debit negative).
    const QString sql =
        QStringLiteral("SELECT b.UStID, b.ZMArt, SUM(CASE WHEN z.Haben THEN ROUND(z.Betrag*100) ELSE -ROUND(z.Betrag*100) END) "
                       "FROM eurVerbucht b CROSS JOIN eurVerbuchtBuchungszeilen z CROSS JOIN eurKontenplan kp WHERE b.UStID > '' AND "
                       "(b.Buchungsnummer=z.Buchungsnummer) AND (z.Konto=kp.Nummer) AND (b.Storno=0) AND (b.Storniert=0) AND "
                       "(z.Steuerschluessel<>0) AND (LEN(b.UStID)<>0) AND (MID(b.UStID,1,2) <> 'DE')") +
        QStringLiteral(" AND ( ") + zeitraumBedingung(zeitraum) +
        QStringLiteral(" (z.Steuerschluessel <> 999999) AND (YEAR(Belegdatum) = %1))").arg(rsDataSource::toSqlStr(kg->getSteuerjahr())) +
        QStringLiteral(" GROUP BY b.UStID, b.ZMArt");
    QMap<QString, qint64> cent;
    rsDataSource rs(db, sql);
    for (; !rs.isEOF(); rs.fetch()) {
        const rsFields& f = *rs.getFields();
        const QString ustid = f.getField(0).toString().trimmed();
        if (ustid.isEmpty()) continue;
        const int zm = f.getField(1).toInt();
        // The statement knows three kinds; a booking's supply code (3) is kind 0.
        const int art = (zm == 1 || zm == 2) ? zm : 0;
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
    for (auto it = out.begin(); it != out.end(); ++it) it->Betrag = Berichte::euro(cent.value(it.key()));
    return out;
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
