// Chart of accounts: generation from the reference database, take-over from
// another case, look-ups, booking-side selections, selection lists, search,
// activation rules and the chart-editor rules.
//
// Everything reasons about accounts through their category; the few
// accounts found by number go through the special-account map (kontglob.cpp).
#include "kontbaum/konten/konten.h"

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/fall/kontbaum.h"

#include <QFileInfo>
#include <QHash>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/kontenplan");

DBConnection* referenzDB() { return GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection); }

QString sql(unsigned long v) { return rsDataSource::toSqlStr(v); }

long zaehle(DBConnection* db, const QString& select) {
    const DatenTyp n = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM (") + select + QStringLiteral(")"));
    return n.isNull() ? -1 : long(n.toLongLong());
}

// A failed count counts as an empty table, so the table is (re)generated.
bool istLeer(DBConnection* db, const QString& tabelle) {
    const DatenTyp n = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM ") + tabelle);
    if (n.isNull()) db->getErr()->clear();
    return n.isNull() || n.toLongLong() == 0;
}

int jahrAus(const QString& jahr) {
    bool ok = false;
    const int j = jahr.trimmed().toInt(&ok);
    if (ok && j > 1900) return j;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    return kg ? kg->getSteuerjahr() : 2016;
}

const QStringList kKontoSpalten = {
    QStringLiteral("Nummer"),          QStringLiteral("Bezeichnung"),  QStringLiteral("Kurzbezeichnung"),
    QStringLiteral("Kategorie"),       QStringLiteral("Kostenstellenautomatik"), QStringLiteral("Kostenstelle"),
    QStringLiteral("Steuerautomatik"), QStringLiteral("Steuerschluessel"), QStringLiteral("Verdichtung"),
    QStringLiteral("EB_Erzeugung"),    QStringLiteral("KeineOPBuchungen"), QStringLiteral("UStVA"),
    QStringLiteral("USt"),             QStringLiteral("GewSt"),        QStringLiteral("EUR"),
    QStringLiteral("EUR_HABEN"),       QStringLiteral("Aktiv"),        QStringLiteral("EUR_AV")};

const QStringList kBeispielKopf = {
    QStringLiteral("Buchungsnummer"), QStringLiteral("Buchungstext"), QStringLiteral("Periode"),
    QStringLiteral("Stapel"),         QStringLiteral("Storno"),       QStringLiteral("Storniert"),
    QStringLiteral("Betrag"),         QStringLiteral("Netto"),        QStringLiteral("Belegdatum"),
    QStringLiteral("Buchungsdatum"),  QStringLiteral("Belegnummer"),  QStringLiteral("Buchungsart"),
    QStringLiteral("Zusatzinfo"),     QStringLiteral("Intervall"),    QStringLiteral("UStID"),
    QStringLiteral("ZMArt"),          QStringLiteral("Zahlungsdatum"), QStringLiteral("Herkunft"),
    QStringLiteral("Dreieck")};

const QStringList kBeispielZeilen = {
    QStringLiteral("Buchungsnummer"), QStringLiteral("SteuerID"),     QStringLiteral("Dialogzeile"),
    QStringLiteral("Betrag"),         QStringLiteral("Haben"),        QStringLiteral("Fremdbelegnummer"),
    QStringLiteral("Konto"),          QStringLiteral("Kostenstelle"), QStringLiteral("Steuerschluessel"),
    QStringLiteral("Gegenkonto"),     QStringLiteral("Buchungstext"), QStringLiteral("OPOSNummer"),
    QStringLiteral("Splitt"),         QStringLiteral("SplittBetrag"), QStringLiteral("SplittNetto"),
    QStringLiteral("AufteilungViaProzent"), QStringLiteral("AufteilungProzentsatz"), QStringLiteral("RestBeiProzent")};

// The reference table of the example bookings of a framework.
QString beispielTabelle(const QString& rahmen, int jahr, bool ustPflicht) {
    if (rahmen == QLatin1String("SKR03") || rahmen == QLatin1String("EKR03") || rahmen == QLatin1String("SKR04")) {
        if (!ustPflicht) return QStringLiteral("eurBeispielOhneUSt2005");
        return jahr > 2006 ? QStringLiteral("eurBeispielMitUSt2007") : QStringLiteral("eurBeispielMitUSt2005");
    }
    if (rahmen == QLatin1String("SKR80"))
        return ustPflicht ? QStringLiteral("eurBeispielSKR80MitUSt") : QStringLiteral("eurBeispielSKR80OhneUSt");
    if (rahmen == QLatin1String("SKR81"))
        return ustPflicht ? QStringLiteral("eurBeispielSKR81MitUSt") : QStringLiteral("eurBeispielSKR81OhneUSt");
    return QStringLiteral("eurBeispielMitUSt");
}
}  // namespace

QStringList KontoGlobal::kontenrahmenNamen() {
    return {QStringLiteral("SKR03"), QStringLiteral("SKR04"), QStringLiteral("EKR03"), QStringLiteral("SKR80"),
            QStringLiteral("SKR81")};
}

bool KontoGlobal::unterstuetzteSteuerjahre(int* von, int* bis) {
    DBConnection* ref = GetGlobal().GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    if (!ref) return false;
    // A chart without accounts or a year whose forms are not those of the
    // program would give a case that computes wrong returns.
    const int erstes = GetDatenTyp(ref, QStringLiteral("SELECT MIN(YEAR(gueltig_ab)) FROM Kontenrahmen WHERE gueltig_ab<>''")).toInt();
    if (erstes <= 0) return false;
    *von = erstes;
    *bis = kProgrammjahr;
    return *von <= *bis;
}

QString KontoGlobal::rahmenSpalte(const QString& kontenrahmen) {
    const QString n = kontenrahmen.trimmed().toUpper();
    if (n == QLatin1String("EKR03")) return QStringLiteral("SKR03");
    if (n.isEmpty()) return QString();
    for (QChar c : n)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_'))) return QString();
    return n;
}

// --- generation ----------------------------------------------------------------

int KontoGlobal::selectKontenplan(const QString& jahr, const QString& kontenrahmen, const QString& quelle, bool,
                                  int beispiele) {
    DBConnection* db = GetDBConnect_Ptr();
    DBConnection* ref = referenzDB();
    if (!db || !ref) return 1;
    const QString name = kontenrahmen.trimmed().toUpper();
    const QString spalte = rahmenSpalte(name);
    if (spalte.isEmpty() || !rsColumnExists(ref, QStringLiteral("Kontenrahmen"), spalte)) return 2;
    const int j = jahrAus(jahr);
    const bool ust = getUstPflicht();
    if (name != m_Kontenplan) setKontenplanName(name);

    bool beispieleUebernommen = false;
    if (!quelle.isEmpty()) {
        if (!copyTablesFromDBKontenplaene(jahr, name)) return 3;
        if (!uebernehmeKontenplan(quelle)) return 3;
        if (beispiele == 2) {
            if (!rsReplaceTablesFromExternalDatabase(db, quelle, {QStringLiteral("eurBeispiel"),
                                                                 QStringLiteral("eurBeispielBuchungszeilen")}))
                return 3;
            beispieleUebernommen = true;
        }
    } else {
        if (istLeer(db, QStringLiteral("eurSteuerschluessel")) && !copyTablesFromDBKontenplaene(jahr, name)) return 3;
        if (istLeer(db, QStringLiteral("eurKontenplan"))) {
            const QString select = vorlagenKontenSelect(name, j, ust);
            const long anzahl = zaehle(ref, select);
            Ui& ui = GetUi();
            ui.progress(QStringLiteral("Erstelle Kontenplan"), 0, anzahl);
            long fertig = 0;
            const long n = rsCopyRows(ref, select + QStringLiteral(" ORDER BY Nummer"), db,
                                      QStringLiteral("eurKontenplan"), kKontoSpalten, [&](QVector<DatenTyp>&) {
                                          if (++fertig % 50 == 0) ui.progress(QStringLiteral("Erstelle Kontenplan"), fertig, anzahl);
                                          return true;
                                      });
            ui.progress(QStringLiteral("Erstelle Kontenplan"), anzahl, anzahl);
            if (n < 0) {
                rs_logError(kQuelle, __LINE__, QStringLiteral("Kontenplan: ") + db->getErr()->last());
                return 3;
            }
        }
    }

    clearSpezialKonto();
    fillSpezialKontoMap(j);

    if (beispiele == 0 || beispieleUebernommen || !istLeer(db, QStringLiteral("eurBeispiel"))) return 0;
    const QString tabelle = beispielTabelle(name, j, ust);
    if (!rsTableExists(ref, tabelle)) return 0;
    // The shared example tables are written in SKR03 numbers; a chart with
    // other numbers gets them translated, or its templates would name
    // accounts it does not have.
    QHash<unsigned long, unsigned long> nummern;
    const bool uebersetzen = spalte != QLatin1String("SKR03") && (tabelle.startsWith(QLatin1String("eurBeispielMitUSt")) ||
                                                                 tabelle.startsWith(QLatin1String("eurBeispielOhneUSt")));
    if (uebersetzen) {
        rsDataSource rs(ref, QStringLiteral("SELECT SKR03, ") + spalte + QStringLiteral(" AS Ziel FROM Kontenrahmen k1 WHERE SKR03<>0 AND ") +
                                 spalte + QStringLiteral("<>0 AND ") + gueltigkeitsBedingung(j));
        for (; !rs.isEOF(); rs.fetch())
            nummern.insert(rs.field(QStringLiteral("SKR03")).toULong(), rs.field(QStringLiteral("Ziel")).toULong());
    }
    if (rsCopyRows(ref, QStringLiteral("SELECT ") + kBeispielKopf.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + tabelle +
                            QStringLiteral(" ORDER BY Buchungsnummer"),
                   db, QStringLiteral("eurBeispiel"), kBeispielKopf) < 0)
        return 3;
    const int konto = kBeispielZeilen.indexOf(QStringLiteral("Konto"));
    const int gegen = kBeispielZeilen.indexOf(QStringLiteral("Gegenkonto"));
    if (rsCopyRows(ref, QStringLiteral("SELECT ") + kBeispielZeilen.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + tabelle +
                            QStringLiteral("Buchungszeilen ORDER BY Buchungsnummer, SteuerID"),
                   db, QStringLiteral("eurBeispielBuchungszeilen"), kBeispielZeilen, [&](QVector<DatenTyp>& z) {
                       if (uebersetzen) {
                           for (int i : {konto, gegen}) {
                               const unsigned long n = z[i].toULong();
                               if (n != 0) z[i] = DatenTyp(nummern.value(n, n));
                           }
                       }
                       return true;
                   }) < 0)
        return 3;
    return 0;
}

bool KontoGlobal::copyTablesFromDBKontenplaene(const QString& jahr, const QString& kontenrahmen) {
    DBConnection* db = GetDBConnect_Ptr();
    DBConnection* ref = referenzDB();
    const QString rahmen = rahmenSpalte(kontenrahmen);
    if (!db || !ref || rahmen.isEmpty()) return false;
    const int j = jahrAus(jahr);
    const QString gilt = gueltigkeitsBedingung(j, QString());
    bool ok = true;
    auto ersetze = [&](const QString& tabelle, const QString& select, const QStringList& spalten,
                       const std::function<bool(QVector<DatenTyp>&)>& umformen = nullptr) {
        DBTransaktion tx(db);
        if (!tx.ok()) {
            ok = false;
            return;
        }
        const bool geleert = ExecSQL(db, QStringLiteral("DELETE FROM ") + tabelle);
        const long n = geleert ? rsCopyRows(ref, select, db, tabelle, spalten, umformen) : -1;
        if (n < 0) {
            tx.rollback();
            rs_logError(kQuelle, __LINE__, tabelle + QStringLiteral(": ") + db->getErr()->last() + ref->getErr()->last());
            ok = false;
            return;
        }
        ok = tx.commit() && ok;
    };

    // 1. account classes
    const QString klassen = rahmen + QStringLiteral("_Kontenklassen");
    if (rsTableExists(ref, klassen))
        ersetze(QStringLiteral("eurKontenklassen"),
                QStringLiteral("SELECT vonKonto, bisKonto, Bezeichnung FROM ") + klassen + QStringLiteral(" WHERE ") + gilt +
                    QStringLiteral(" ORDER BY vonKonto"),
                {QStringLiteral("vonKonto"), QStringLiteral("bisKonto"), QStringLiteral("Bezeichnung")});

    // 2. tax keys; the keys active before, and those in use, stay active
    const QStringList aktiv = getAktiveSteuerschluessel();
    ersetze(QStringLiteral("eurSteuerschluessel"),
            QStringLiteral("SELECT Steuerschluessel, Bezeichnung, Kurzbezeichnung, Steuersatz, IG_Erwerb, im_Hundert, ") + rahmen +
                QStringLiteral("_Steuerkonto, ") + rahmen +
                QStringLiteral("_Steuerkonto2, VAKZUmsatz, VAKZSteuer, UStKZUmsatz, UStKZSteuer, Steuerart, Sortierung, "
                               "Laenderkuerzel, Reduziert, Laendername, Necessary, Aktiv FROM Steuerschluessel WHERE ") +
                gilt + QStringLiteral(" ORDER BY Sortierung, Steuerschluessel"),
            {QStringLiteral("Steuerschluessel"), QStringLiteral("Bezeichnung"), QStringLiteral("Kurzbezeichnung"),
             QStringLiteral("Steuersatz"), QStringLiteral("IG_Erwerb"), QStringLiteral("im_Hundert"), QStringLiteral("Steuerkonto"),
             QStringLiteral("Steuerkonto2"), QStringLiteral("VAKZUmsatz"), QStringLiteral("VAKZSteuer"),
             QStringLiteral("UStKZUmsatz"), QStringLiteral("UStKZSteuer"), QStringLiteral("Steuerart"),
             QStringLiteral("Sortierung"), QStringLiteral("Laenderkuerzel"), QStringLiteral("Reduziert"),
             QStringLiteral("Laendername"), QStringLiteral("Necessary"), QStringLiteral("Aktiv")});
    QSet<unsigned long> inVerwendung;
    fillSetSteuerschluesselInVerwendung(inVerwendung);
    QStringList wieder = aktiv;
    for (unsigned long s : inVerwendung) wieder << QString::number(s);
    if (!wieder.isEmpty())
        ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=1 WHERE Steuerschluessel IN (") +
                        wieder.join(QLatin1Char(',')) + QStringLiteral(")"));

    // 3. categories with the framework's classes split into four columns
    ok = kopiereKategorien(j) && ok;

    // 4. form codes
    ersetze(QStringLiteral("eurFormulare"),
            QStringLiteral("SELECT Formular, Kennziffer, Bezeichnung, HabenPositiv, Variable FROM eurFormulare WHERE ") + gilt +
                QStringLiteral(" ORDER BY Formular, Kennziffer"),
            {QStringLiteral("Formular"), QStringLiteral("Kennziffer"), QStringLiteral("Bezeichnung"),
             QStringLiteral("HabenPositiv"), QStringLiteral("Variable")});
    // 5. depreciation periods
    ersetze(QStringLiteral("AfA_Zeitraum"),
            QStringLiteral("SELECT nr, amtlAFAT, Gut, dauer, dauer2001, ID FROM AfA_Zeitraum WHERE ") + gilt +
                QStringLiteral(" ORDER BY ID"),
            {QStringLiteral("nr"), QStringLiteral("amtlAFAT"), QStringLiteral("Gut"), QStringLiteral("dauer"),
             QStringLiteral("dauer2001"), QStringLiteral("ID")});
    // 6. code ranges
    ersetze(QStringLiteral("eurKennzifferbereiche"),
            QStringLiteral("SELECT Bereichsnummer, Steuerschluessel, Formular, Kennziffer FROM Kennzifferbereiche WHERE ") + gilt +
                QStringLiteral(" ORDER BY Bereichsnummer, Steuerschluessel"),
            {QStringLiteral("Bereichsnummer"), QStringLiteral("Steuerschluessel"), QStringLiteral("Formular"),
             QStringLiteral("Kennziffer")});
    // 7. limit amounts of the year
    const QString betrag = j == 2015 ? QStringLiteral("Neujahr") : QStringLiteral("Vorjahr");
    ersetze(QStringLiteral("eurSperrgrenzen"),
            QStringLiteral("SELECT Bezeichnung, ") + betrag + QStringLiteral(" FROM Sperrgrenzen WHERE ") + betrag +
                QStringLiteral("<>0 AND ") + gilt,
            {QStringLiteral("Bezeichnung"), QStringLiteral("Betrag")});
    return ok;
}

QString KontoGlobal::vorlagenKontenSelect(const QString& kontenrahmen, int jahr, bool ustPflicht) {
    const QString name = kontenrahmen.trimmed().toUpper();
    const QString spalte = rahmenSpalte(name);
    if (spalte.isEmpty()) return QString();
    QString select = QStringLiteral("SELECT k1.") + spalte +
                     QStringLiteral(" AS Nummer, COALESCE(kb.Bezeichnung, k1.Bezeichnung) AS Bezeichnung, "
                                    "COALESCE(kb.Kurzbezeichnung, k1.Kurzbezeichnung) AS Kurzbezeichnung, "
                                    "k1.Kategorie, k1.Kostenstellenautomatik, k1.Kostenstelle, k1.Steuerautomatik, "
                                    "k1.Steuerschluessel, k1.Verdichtung, k1.EB_Erzeugung, k1.KeineOPBuchungen, "
                                    "k1.UStVA, k1.USt, k1.GewSt, k1.EUR, k1.EUR_HABEN, k1.Aktiv, k1.EUR_AV "
                                    "FROM Kontenrahmen k1 LEFT JOIN Kontobezeichnungen kb ON kb.Kontenrahmen=") +
                     rsDataSource::toSqlStr(name) + QStringLiteral(" AND kb.Nummer=k1.") + spalte +
                     QStringLiteral(" WHERE k1.") + spalte + QStringLiteral("<>0 ");
    if (!ustPflicht) select += QStringLiteral(" AND k1.DeaktivBeiKeinerUSt=0 ");
    return select + QStringLiteral(" AND ") + gueltigkeitsBedingung(jahr);
}

long KontoGlobal::ergaenzeKontenAusVorlage() {
    DBConnection* db = GetDBConnect_Ptr();
    DBConnection* ref = referenzDB();
    if (!db || !ref) return -1;
    const QString select = vorlagenKontenSelect(m_Kontenplan, m_Steuerjahr, true);
    if (select.isEmpty()) return -1;
    QSet<unsigned long> vorhanden;
    for (rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan")); !rs.isEOF(); rs.fetch())
        vorhanden.insert(rs.field(QStringLiteral("Nummer")).toULong());
    return rsCopyRows(ref, select + QStringLiteral(" ORDER BY Nummer"), db, QStringLiteral("eurKontenplan"), kKontoSpalten,
                      [&](QVector<DatenTyp>& z) { return !vorhanden.contains(z[0].toULong()); });
}

bool KontoGlobal::kopiereKategorien(int jahr) {
    DBConnection* db = GetDBConnect_Ptr();
    DBConnection* ref = referenzDB();
    const QString rahmen = rahmenSpalte(m_Kontenplan);
    if (!db || !ref || rahmen.isEmpty()) return false;
    const QString klassenSpalte = QStringLiteral("Kontenklassen_") + rahmen;
    const bool mitKlassen = rsColumnExists(ref, QStringLiteral("Kategorien"), klassenSpalte);
    DBTransaktion tx(db);
    if (!tx.ok()) return false;
    long n = ExecSQL(db, QStringLiteral("DELETE FROM eurKategorien")) ? 0 : -1;
    if (n == 0)
        n = rsCopyRows(ref,
                       QStringLiteral("SELECT Kategorie, Bezeichnung, Rang, BilanzAktiva, BilanzPassiva, GundV, EUR, BWA, ") +
                           (mitKlassen ? klassenSpalte : QStringLiteral("''")) +
                           QStringLiteral(", 0, 0, 0 FROM Kategorien WHERE ") + gueltigkeitsBedingung(jahr, QString()) +
                           QStringLiteral(" ORDER BY Kategorie"),
                       db, QStringLiteral("eurKategorien"),
                       {QStringLiteral("Kategorie"), QStringLiteral("Bezeichnung"), QStringLiteral("Rang"),
                        QStringLiteral("BilanzAktiva"), QStringLiteral("BilanzPassiva"), QStringLiteral("GundV"),
                        QStringLiteral("EUR"), QStringLiteral("BWA"), QStringLiteral("Kontenklasse1"),
                        QStringLiteral("Kontenklasse2"), QStringLiteral("Kontenklasse3"), QStringLiteral("Kontenklasse4")},
                       [](QVector<DatenTyp>& z) {
                           // "1000,2000" -> Kontenklasse1 = 1000, Kontenklasse2 = 2000, the rest 0
                           const QStringList teile = z[8].toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
                           for (int i = 0; i < 4; ++i)
                               z[8 + i] = DatenTyp(i < teile.size() ? teile[i].trimmed().toLongLong() : 0LL);
                           return true;
                       });
    if (n < 0) {
        tx.rollback();
        return false;
    }
    return tx.commit();
}

bool KontoGlobal::uebernehmeKontenplan(const QString& datei) {
    DBConnection* db = GetDBConnect_Ptr();
    if (!db || datei.isEmpty() || !QFileInfo::exists(datei)) return false;
    {
        // The case's chart is only given up for a source that has one.
        DBConnection quelle;
        if (!quelle.createAndConnect(datei) ||
            GetDatenTyp(&quelle, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan")).toLongLong() <= 0)
            return false;
    }
    // The old chart goes in the same transaction that brings the new one:
    // a failed copy leaves the case with its chart, never with none.
    if (!rsReplaceTablesFromExternalDatabase(db, datei, {QStringLiteral("eurKontenplan")})) return false;
    clearSpezialKonto();
    setDoUpdateDB(true);
    Kont_::UpdateDBAfterLoading(
        0,
        QStringLiteral("Sie haben den Kontenplan aus einer anderen Datei übernommen. Gegenüber dem Standardkontenplan gibt es Unterschiede,\n"
                       "die sich auf von Ihnen geänderte Einträge beziehen.\n"
                       "Bitte entfernen Sie die Häkchen vor den Änderungen, die Sie nicht in Ihren Kontenplan übernehmen möchten."),
        true);
    return true;
}

int KontoGlobal::copyKontenplan(const QString& datei, DBConnection* ziel) {
    if (!ziel || datei.isEmpty()) return 1;
    const QStringList tabellen = {QStringLiteral("eurSteuerschluessel"), QStringLiteral("eurKontenklassen"),
                                  QStringLiteral("eurKategorien"),       QStringLiteral("eurKontenplan"),
                                  QStringLiteral("eurBeispiel"),         QStringLiteral("eurBeispielBuchungszeilen"),
                                  QStringLiteral("eurKassenabschluss")};
    // All tables or none: a chart whose keys or categories did not come
    // along would post to the wrong tax accounts.
    rsReplaceTablesFromExternalDatabase(ziel, datei, tabellen);
    return 0;
}

// --- look-ups -------------------------------------------------------------------

unsigned long KontoGlobal::getKategorie(unsigned long nr) {
    DBConnection* db = rsFallDB();
    if (!db) return 0;
    return GetDatenTyp(db, QStringLiteral("SELECT Kategorie FROM eurKontenplan WHERE Nummer=") + sql(nr)).toULong();
}

QString KontoGlobal::getKategorieBezeichnung(unsigned long kategorie) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    return GetDatenTyp(db, QStringLiteral("SELECT Bezeichnung FROM eurKategorien WHERE Kategorie=") + sql(kategorie)).toString();
}

QString KontoGlobal::getKontobezeichnung(unsigned long nr, int art, DBConnection* db) {
    db = rsFallDB(db);
    if (!db) return QString();
    const QString feld = art == 3 ? QStringLiteral("Kurzbezeichnung") : QStringLiteral("Bezeichnung");
    return GetDatenTyp(db, QStringLiteral("SELECT ") + feld + QStringLiteral(" FROM eurKontenplan WHERE Nummer=") + sql(nr))
        .toString();
}

bool KontoGlobal::existsKonto(unsigned long nr, bool nurAktive, bool* aktiv) {
    DBConnection* db = rsFallDB();
    if (!db) return false;
    const DatenTyp a = GetDatenTyp(db, QStringLiteral("SELECT Aktiv FROM eurKontenplan WHERE Nummer=") + sql(nr));
    if (a.isNull()) return false;
    if (aktiv) *aktiv = a.toLongLong() != 0;
    return !nurAktive || a.toLongLong() != 0;
}

bool KontoGlobal::isKontoAktiv(unsigned long nr) { return existsKonto(nr, true, nullptr); }

namespace {
QString kontenListe(DBConnection* db, const QString& where) {
    QStringList out;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE ") + where + QStringLiteral(" ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) out << QString::number(rs.field(QStringLiteral("Nummer")).toULong());
    return out.join(QLatin1Char(','));
}
}  // namespace

QString KontoGlobal::getKontenOfKategorien(const QString& kategorien) {
    DBConnection* db = rsFallDB();
    if (!db || kategorien.trimmed().isEmpty()) return QString();
    // The list becomes SQL text: only numbers and commas may pass.
    for (QChar c : kategorien)
        if (!(c.isDigit() || c == QLatin1Char(',') || c == QLatin1Char(' '))) return QString();
    return kontenListe(db, QStringLiteral("Kategorie IN (") + kategorien + QStringLiteral(")"));
}

QString KontoGlobal::getKontenOfKategorien(unsigned long von, unsigned long bis) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    return kontenListe(db, QStringLiteral("Kategorie>=") + sql(von) + QStringLiteral(" AND Kategorie<=") + sql(bis));
}

void KontoGlobal::calcKontoWhere(DBConnection* db, int buchungsart, QString& whereGeld, QString& whereGegen) {
    whereGeld = QStringLiteral("(Aktiv <> 0) ");
    whereGegen = QStringLiteral("(Aktiv <> 0) ");
    switch (buchungsart) {
    case 1:
    case 4:
        whereGeld += QStringLiteral("AND ((Kategorie>=0200 AND Kategorie<=0399) OR (Kategorie=2102)) ");
        whereGegen += QStringLiteral(
            "AND (((Kategorie>=4000 AND Kategorie<=4999) AND NOT (Kategorie=4203)) OR  Kategorie=3200 OR Kategorie=3300 OR "
            "Kategorie=5401 OR Kategorie=2101 OR Kategorie=2100 OR Kategorie=108 OR Kategorie=300)");
        break;
    case 2:
    case 5:
        whereGeld += QStringLiteral("AND ((Kategorie>=0200 AND Kategorie<=0399) OR (Kategorie=2101)) ");
        whereGegen += QStringLiteral(
            "AND ((Kategorie>=5000 AND Kategorie<=5299) OR (Kategorie=5303) OR (Kategorie>=5402 AND Kategorie<=6999) OR "
            "Kategorie=5400 OR Kategorie=3200 OR Kategorie=3300 OR Kategorie=4203 OR Kategorie=2102 OR Kategorie=2100 OR "
            "Kategorie=108 OR Kategorie=300) ");
        break;
    case 3:
        break;
    case 6:
        whereGeld += QStringLiteral("AND (Kategorie>=8000 AND Kategorie<=8999) ");
        whereGegen += QStringLiteral("AND ") + keinEBKonto(db) +
                      QStringLiteral("AND ((Kategorie>=1 AND Kategorie<=2999) OR (Kategorie>=3300 AND Kategorie<=3399)) ");
        break;
    default:
        whereGeld += QStringLiteral("AND ((Kategorie>=0200 AND Kategorie<=0399) ) ");
        break;
    }
}

QString KontoGlobal::keinEBKonto(DBConnection*) { return QStringLiteral("(Kategorie<8000 OR Kategorie>8999)"); }

// --- selection lists ------------------------------------------------------------------

void KontoGlobal::fillAccounts(QStringList* liste, const QString& von, const QString& bis, int, bool nurAktive) {
    if (!liste) return;
    liste->clear();
    DBConnection* db = GetDBConnect_Ptr();
    if (!db) return;
    QStringList bed;
    bool ok = false;
    const unsigned long v = von.trimmed().toULong(&ok);
    if (ok) bed << QStringLiteral(" Nummer>=") + sql(v);
    const unsigned long b = bis.trimmed().toULong(&ok);
    if (ok) bed << QStringLiteral(" Nummer<=") + sql(b);
    if (nurAktive) bed << QStringLiteral(" Aktiv<>0 ");
    QString q = QStringLiteral(
        "SELECT Nummer,Kurzbezeichnung,Bezeichnung,Kategorie,Aktiv,Steuerautomatik,Steuerschluessel FROM eurKontenplan ");
    if (!bed.isEmpty()) q += QStringLiteral(" WHERE ") + bed.join(QStringLiteral(" AND "));
    q += QStringLiteral(" ORDER BY Nummer ");

    auto sauber = [](QString t) { return t.replace(QLatin1Char(';'), QStringLiteral("#--#")); };
    unsigned long letzteKategorie = ~0UL, letzterSchluessel = ~0UL;
    QString kategorieText, schluesselText;
    rsDataSource rs(db, q);
    for (; !rs.isEOF(); rs.fetch()) {
        const unsigned long nr = rs.field(QStringLiteral("Nummer")).toULong();
        const unsigned long kat = rs.field(QStringLiteral("Kategorie")).toULong();
        const long automatik = long(rs.field(QStringLiteral("Steuerautomatik")).toLongLong());
        const unsigned long schl = rs.field(QStringLiteral("Steuerschluessel")).toULong();
        if (kat != letzteKategorie) {
            kategorieText = sauber(getKategorieBezeichnung(kat));
            letzteKategorie = kat;
        }
        QString tip = QStringLiteral("<html><body ondragstart=\"return false;\"><b>") + QString::number(nr) +
                      QLatin1Char(' ') + sauber(rs.field(QStringLiteral("Bezeichnung")).toString()) + QStringLiteral("</b>");
        if (!kategorieText.isEmpty()) tip += QStringLiteral("<br>Kategorie: ") + kategorieText;
        if (automatik != 0) {
            if (schl != 0) {
                if (schl != letzterSchluessel) {
                    schluesselText = sauber(getSteuerschluesselBezeichnung(schl, false));
                    letzterSchluessel = schl;
                }
                tip += (automatik == 1 ? QStringLiteral("<br>Steuerschlüssel: ") : QStringLiteral("<br>Steuerschlüsselvorbelegung: ")) +
                       schluesselText;
            } else if (automatik == 1) {
                tip += QStringLiteral("<br>kein Steuerschlüssel");
            }
        }
        tip += QStringLiteral("</body></html>");
        tip.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
        const bool aktiv = rs.field(QStringLiteral("Aktiv")).toLongLong() != 0;
        *liste << (aktiv ? QStringLiteral("1") : QStringLiteral("0")) + QLatin1Char(';') + QString::number(nr) +
                      QLatin1Char(';') + QString::number(kat) + QLatin1Char(';') +
                      sauber(rs.field(QStringLiteral("Kurzbezeichnung")).toString()) + QLatin1Char(';') + tip;
    }
}

void KontoGlobal::fillAccountClasses(QStringList* liste, int, bool) {
    if (!liste) return;
    liste->clear();
    DBConnection* db = GetDBConnect_Ptr();
    if (!db) return;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM eurKontenklassen WHERE EXISTS (SELECT Nummer FROM eurKontenplan WHERE "
                                       "Nummer>=vonKonto AND Nummer<=bisKonto) ORDER BY vonKonto"));
    for (; !rs.isEOF(); rs.fetch())
        *liste << QString::number(rs.field(QStringLiteral("vonKonto")).toULong()) + QLatin1Char('-') +
                      QString::number(rs.field(QStringLiteral("bisKonto")).toULong()) + QLatin1Char(';') +
                      rs.field(QStringLiteral("Bezeichnung")).toString();
}

void KontoGlobal::searchForAccount(unsigned long& nr, const QString& text, const QString& feld, const QString& art,
                                   bool weiter) {
    nr = 0;
    const QString t = text.trimmed();
    if ((feld != QLatin1String("Bezeichnung") && feld != QLatin1String("Kurzbezeichnung")) ||
        (art != QLatin1String("whole") && art != QLatin1String("part") && art != QLatin1String("start")) || t.isEmpty())
        return;
    if (weiter && !m_suchText.isEmpty() && m_suchErgebnis != 0) {
        const int pos = m_suchTreffer.indexOf(m_suchErgebnis);
        if (pos >= 0 && pos + 1 < m_suchTreffer.size()) nr = m_suchTreffer[pos + 1];
    } else {
        m_suchTreffer.clear();
        DBConnection* db = GetDBConnect_Ptr();
        if (db) {
            const QString muster = art == QLatin1String("whole") ? t
                                   : art == QLatin1String("start") ? t + QLatin1Char('%')
                                                                   : QLatin1Char('%') + t + QLatin1Char('%');
            rsDataSource rs(db, QStringLiteral("SELECT Nummer FROM eurKontenplan WHERE ( Nummer LIKE ") + rsDataSource::toSqlStr(t) +
                                    QStringLiteral("  OR ") + feld + QStringLiteral(" LIKE ") + rsDataSource::toSqlStr(muster) +
                                    QStringLiteral(") AND Aktiv<>0 ORDER BY Nummer"));
            for (; !rs.isEOF(); rs.fetch()) m_suchTreffer << rs.field(QStringLiteral("Nummer")).toULong();
        }
        if (!m_suchTreffer.isEmpty()) nr = m_suchTreffer.first();
    }
    m_suchText = t;
    m_suchErgebnis = nr;
}

// --- activation ---------------------------------------------------------------------

bool KontoGlobal::kontoInVerwendung(unsigned long nr) { return existsBuchung(nr, rsFallDB(), true); }

void KontoGlobal::aktiviereAlleBenutztenKonten() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    DBConnection* db = rsFallDB();
    if (!kg || !db) return;
    QList<unsigned long> an;
    {
        rsDataSource rs(db, QStringLiteral("SELECT * FROM eurKontenplan WHERE Aktiv=0"));
        for (; !rs.isEOF(); rs.fetch()) {
            const unsigned long nr = rs.field(QStringLiteral("Nummer")).toULong();
            if (kg->isSpezialKonto(nr) || existsBuchung(nr, db, false)) an << nr;
        }
    }
    QStringList liste;
    for (unsigned long nr : an) liste << QString::number(nr);
    if (!liste.isEmpty())
        ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Aktiv=1 WHERE Nummer IN (") + liste.join(QLatin1Char(',')) +
                        QStringLiteral(")"));
}

bool KontoGlobal::setKontenAktiv(const QList<unsigned long>& nummern, bool aktiv) {
    DBConnection* db = rsFallDB();
    if (!db) return false;
    if (nummern.isEmpty()) return true;
    QStringList liste;
    for (unsigned long nr : nummern) liste << QString::number(nr);
    return ExecSQL(db, (aktiv ? QStringLiteral("UPDATE eurKontenplan SET Aktiv=-1 WHERE Nummer IN (")
                              : QStringLiteral("UPDATE eurKontenplan SET Aktiv=0 WHERE Nummer IN (")) +
                           liste.join(QLatin1Char(',')) + QStringLiteral(")"));
}

namespace {
// The bookings of table eur<t> with a line whose key differs from the fixed
// key of its account. This runs whenever a case is opened, so on the ledger
// it goes from the few accounts with a fixed key through the index on
// (Konto, Steuerschluessel) to the lines with another key, instead of
// visiting every line; without that index (and on the small tables) the
// plain form gives the same rows.
QString steuerautokontenSql(DBConnection* db, const QString& t) {
    const QString index = QStringLiteral("idx_eur%1BZ_KontoSteuer").arg(t);
    const bool mitIndex =
        GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='index' AND name=") +
                            rsDataSource::toSqlStr(index))
            .toLongLong() > 0;
    if (!mitIndex)
        return QStringLiteral("SELECT Buchungsnummer, Buchungstext FROM eur") + t +
               QStringLiteral(" t  WHERE storno=0 AND storniert=0 AND Buchungsnummer IN  (SELECT Buchungsnummer FROM eur") + t +
               QStringLiteral("Buchungszeilen z    WHERE Dialogzeile<>0 AND Konto IN    (SELECT Nummer FROM eurKontenplan k "
                              "    WHERE Steuerautomatik=1 AND Steuerschluessel<>z.Steuerschluessel AND Nummer=z.Konto    )  )  "
                              "ORDER BY Buchungsnummer");
    // CROSS JOIN keeps the chart outside; "<" and ">" instead of "<>" let
    // each half seek in the index (NULL keys match neither, as with "<>").
    const QString zeilen = QStringLiteral("SELECT z.Buchungsnummer FROM eurKontenplan k CROSS JOIN eur%1Buchungszeilen z "
                                          "ON z.Konto=k.Nummer AND z.Steuerschluessel%2k.Steuerschluessel "
                                          "WHERE k.Steuerautomatik=1 AND z.Dialogzeile<>0");
    return QStringLiteral("SELECT Buchungsnummer, Buchungstext FROM eur%1 WHERE Storno=0 AND Storniert=0 AND "
                          "Buchungsnummer IN (%2 UNION ALL %3) ORDER BY Buchungsnummer")
        .arg(t, zeilen.arg(t, QStringLiteral("<")), zeilen.arg(t, QStringLiteral(">")));
}
}  // namespace

int KontoGlobal::checkSteuerautokonten(int nurVorlagen) {
    DBConnection* db = GetDBConnect_Ptr();
    if (!db || getJahresabschluss() != 0 || !getUstPflicht()) return 0;
    struct Teil {
        const char* tabelle;
        const char* ueberschrift;
    };
    const Teil teile[] = {{"Beispiel", "Buchungsvorlagen"}, {"Verbucht", "Buchungen"}, {"Stapel", "Stapelbuchungen"}};
    int gefunden = 0;
    QString listen;
    for (int i = 0; i < 3; ++i) {
        if (nurVorlagen != 0 && i > 0) break;
        const QString t = QString::fromLatin1(teile[i].tabelle);
        rsDataSource rs(db, steuerautokontenSql(db, t));
        QString eintraege;
        int n = 0;
        for (; !rs.isEOF(); rs.fetch(), ++n)
            eintraege += QStringLiteral("   <li>") + QString::number(rs.field(QStringLiteral("Buchungsnummer")).toULong()) +
                         QStringLiteral(": ") + rs.field(QStringLiteral("Buchungstext")).toString().toHtmlEscaped() +
                         QStringLiteral("</li>\n");
        if (n == 0) continue;
        gefunden += n;
        listen += QStringLiteral("<h3>Betroffene ") + QString::fromUtf8(teile[i].ueberschrift) + QStringLiteral("</h3><ul>\n") +
                  eintraege + QStringLiteral("</ul>");
        if (i == 0)
            listen += QStringLiteral(
                "<p>Betroffene Standardbuchungsvorlagen können Sie einfach löschen und über den Menüpunkt "
                "\"Standardbuchungsvorlagen wieder anfügen\" im Menü \"Extras\" mit den richtigen Steuerschlüsseln "
                "wiederherstellen.</p>");
    }
    if (gefunden > 0)
        GetUi().Hinweis(QStringLiteral("<html><body><p>Bei einigen Buchungsvorlagen oder Buchungen weichen die Steuerschlüssel "
                                       "von den Steuerschlüsseln ab, die der Kontenplan den Konten fest zuordnet. Bitte ändern "
                                       "oder stornieren Sie diese. Bei Vorlagen und Stapelbuchungen geben Sie eine andere "
                                       "Kontonummer und danach wieder die alte ein, damit der richtige Steuerschlüssel gewählt "
                                       "wird.</p>") +
                            listen + QStringLiteral("</body></html>"),
                        QStringLiteral("Hinweis"));
    return gefunden;
}

// --- chart-editor rules --------------------------------------------------------------

QString KontoGlobal::pruefeKontonummer(unsigned long nr, bool neu) {
    if (nr > 9999) return QStringLiteral("Die Kontonummer darf maximal 4-stellig sein.");
    if (nr == 0) return QStringLiteral("Die Kontonummer darf nicht gleich 0 sein.");
    if (neu && existsKonto(nr)) return QStringLiteral("Ein Konto mit dieser Nummer existiert bereits.");
    return QString();
}

QString KontoGlobal::pruefeKontoSteuerschluessel(unsigned long kategorie, unsigned long schluessel) {
    return steuerschluesselRegelText(isSteuerschluesselFuerKategorieOK(kategorie, schluessel));
}

QString KontoGlobal::pruefeKontoKlasse(unsigned long nr, unsigned long kategorie) {
    DBConnection* db = rsFallDB();
    if (!db) return QString();
    rsDataSource rs(db, QStringLiteral("SELECT Kontenklasse1, Kontenklasse2, Kontenklasse3, Kontenklasse4 FROM eurKategorien "
                                       "WHERE Kategorie=") + sql(kategorie));
    if (rs.isEOF()) return QString();
    QStringList bereiche;
    bool passt = false, hatKlassen = false;
    for (int i = 1; i <= 4; ++i) {
        const unsigned long von = rs.field(QStringLiteral("Kontenklasse%1").arg(i)).toULong();
        if (von == 0) continue;
        const DatenTyp bisT = GetDatenTyp(db, QStringLiteral("SELECT bisKonto FROM eurKontenklassen WHERE vonKonto=") + sql(von));
        if (bisT.isNull()) continue;
        hatKlassen = true;
        const unsigned long bis = bisT.toULong();
        bereiche << QString::number(von) + QStringLiteral(" - ") + QString::number(bis);
        if (nr >= von && nr <= bis) passt = true;
    }
    if (!hatKlassen || passt) return QString();
    const QString k = QString::number(kategorie);
    return QStringLiteral("Die Kontonummer ") + QString::number(nr) + QStringLiteral(" ist für die Kategorie ") + k +
           QStringLiteral(" nicht zulässig.\n Für die Kategorie ") + k + QStringLiteral(" dürfen nur Kontonummern im Bereich ") +
           bereiche.join(QStringLiteral(" und ")) +
           QStringLiteral(" verwendet werden. Durch eine falsche Zuordnung kann es zu Auswertungsfehlern kommen.");
}

QString KontoGlobal::pruefeKontoLoeschen(unsigned long nr) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (kontoInVerwendung(nr) || (kg && kg->isSpezialKonto(nr)))
        return QStringLiteral("Das Konto kann nicht gelöscht werden. Das liegt entweder an vorhandenen Buchungen, Buchungsvorlagen, "
                              "Bankverbindungen, Steuerschlüsseln oder Anlagen, die dieses Konto verwenden. Oder das Konto ist ein "
                              "Systemkonto, das nicht gelöscht werden darf.");
    return QString();
}

QString KontoGlobal::pruefeKontoDeaktivieren(unsigned long nr) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (kontoInVerwendung(nr) || (kg && kg->isSpezialKonto(nr)))
        return QStringLiteral("Das Konto kann nicht deaktiviert werden. Das liegt entweder an vorhandenen Buchungen, Anlagen oder "
                              "Steuerschlüssel, die dieses Konto verwenden. Oder das Konto ist ein Systemkonto, das nicht "
                              "deaktiviert werden darf.");
    return QString();
}

bool KontoGlobal::kannBankverbindungAnlegen() {
    DBConnection* db = rsFallDB();
    if (!db) return false;
    return GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan WHERE Kategorie IN (202,203,300) AND Aktiv<>0 AND "
                                          "Nummer NOT IN (SELECT kpNummer FROM eurBankverbindung)"))
               .toLongLong() > 0;
}
