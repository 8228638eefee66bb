// The chart and key editor's operations (see kontoeditor.h).
#include "kontbaum/konten/kontoeditor.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QSet>

namespace {

QString sql(const QString& t) { return rsDataSource::toSqlStr(t); }
QString sql(unsigned long n) { return rsDataSource::toSqlStr(n); }

bool fehlschlag(QString* fehler, const QString& text) {
    if (fehler) *fehler = text;
    return false;
}

QString kurzname(const Kontoeditor::Konto& k) { return k.kurzbezeichnung.isEmpty() ? k.bezeichnung.left(25) : k.kurzbezeichnung; }

QString liste(const QList<unsigned long>& n) {
    QStringList t;
    for (unsigned long x : n) t << QString::number(x);
    return t.join(QLatin1Char(','));
}

// The form-code columns a new account takes from its model.
const char* const kFormSpalten[] = {"Verdichtung", "EB_Erzeugung", "KeineOPBuchungen", "UStVA", "USt", "GewSt", "EUR", "EUR_HABEN", "EUR_AV"};

QList<Kontoeditor::Kontozeile> kontozeilen(const QString& bedingung) {
    QList<Kontoeditor::Kontozeile> l;
    DBConnection* db = rsFallDB();
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, Bezeichnung, Kategorie, Steuerschluessel, Steuerautomatik, Aktiv FROM eurKontenplan") +
                            bedingung + QStringLiteral(" ORDER BY Nummer"));
    for (; !rs.isEOF(); rs.fetch()) {
        Kontoeditor::Kontozeile k;
        k.nummer = rs.field(QStringLiteral("Nummer")).toULong();
        k.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
        k.kategorie = rs.field(QStringLiteral("Kategorie")).toULong();
        k.steuerschluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong();
        k.steuerautomatik = int(rs.field(QStringLiteral("Steuerautomatik")).toLongLong());
        k.aktiv = rs.field(QStringLiteral("Aktiv")).toLongLong() != 0;
        l.append(k);
    }
    return l;
}

QList<Kontoeditor::Schluesselzeile> schluesselzeilen(const QString& bedingung, const QString& folge) {
    QList<Kontoeditor::Schluesselzeile> l;
    DBConnection* db = rsFallDB();
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT Steuerschluessel, Bezeichnung, Steuersatz, Steuerart, Aktiv FROM eurSteuerschluessel") +
                            bedingung + QStringLiteral(" ORDER BY ") + folge);
    for (; !rs.isEOF(); rs.fetch()) {
        Kontoeditor::Schluesselzeile z;
        z.schluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong();
        z.bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
        z.steuersatz = rs.field(QStringLiteral("Steuersatz")).toDouble();
        z.steuerart = rs.field(QStringLiteral("Steuerart")).toString();
        z.aktiv = rs.field(QStringLiteral("Aktiv")).toLongLong() != 0;
        l.append(z);
    }
    return l;
}

}  // namespace

QList<Kontoeditor::Kontozeile> Kontoeditor::kontenliste(bool auchInaktive) {
    return kontozeilen(auchInaktive ? QString() : QStringLiteral(" WHERE Aktiv<>0"));
}

QList<Kontoeditor::Kontozeile> Kontoeditor::kontenliste(const QList<unsigned long>& nummern) {
    if (nummern.isEmpty()) return {};
    return kontozeilen(QStringLiteral(" WHERE Nummer IN (") + liste(nummern) + QStringLiteral(")"));
}

QList<Kontoeditor::Kontozeile> Kontoeditor::kontensuche(const QString& text) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    if (!kg) return {};
    // Every hit of the module's search, one after the other.
    QList<unsigned long> treffer;
    unsigned long nr = 0;
    kg->searchForAccount(nr, text, QStringLiteral("Bezeichnung"), QStringLiteral("part"), false);
    while (nr != 0) {
        treffer << nr;
        kg->searchForAccount(nr, text, QStringLiteral("Bezeichnung"), QStringLiteral("part"), true);
    }
    return kontenliste(treffer);
}

int Kontoeditor::anzahlAktiveKonten() {
    DBConnection* db = rsFallDB();
    return db ? GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan WHERE Aktiv<>0")).toInt() : 0;
}

QList<Kontoeditor::Schluesselzeile> Kontoeditor::schluesselliste() {
    return schluesselzeilen(QString(), QStringLiteral("Sortierung, Steuerschluessel"));
}

QList<Kontoeditor::Schluesselzeile> Kontoeditor::schluesselliste(const QList<unsigned long>& schluessel) {
    if (schluessel.isEmpty()) return {};
    return schluesselzeilen(QStringLiteral(" WHERE Steuerschluessel IN (") + liste(schluessel) + QStringLiteral(")"),
                            QStringLiteral("Steuerschluessel"));
}

bool Kontoeditor::lese(unsigned long nr, Konto* k) {
    DBConnection* db = rsFallDB();
    if (!db) return false;
    rsDataSource rs(db, QStringLiteral("SELECT Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Steuerschluessel, Steuerautomatik FROM "
                                       "eurKontenplan WHERE Nummer=") + sql(nr));
    if (rs.isEOF()) return false;
    k->nummer = nr;
    k->bezeichnung = rs.field(QStringLiteral("Bezeichnung")).toString();
    k->kurzbezeichnung = rs.field(QStringLiteral("Kurzbezeichnung")).toString();
    k->kategorie = rs.field(QStringLiteral("Kategorie")).toULong();
    k->steuerschluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong();
    k->steuerautomatik = rs.field(QStringLiteral("Steuerautomatik")).toInt() == 1 ? 1 : 0;
    return true;
}

QString Kontoeditor::pruefe(const Konto& k, bool neu) {
    DBConnection* db = rsFallDB();
    if (!db) return QStringLiteral("Die Buchhaltung des Falls ist nicht geöffnet.");
    const QString nummer = KontoGlobal::pruefeKontonummer(k.nummer, neu);
    if (!nummer.isEmpty()) return nummer;
    if (k.bezeichnung.trimmed().isEmpty()) return QStringLiteral("Bitte geben Sie eine Bezeichnung des Kontos an.");
    if (GetDatenTyp(db, QStringLiteral("SELECT Kategorie FROM eurKategorien WHERE Kategorie=") + sql(k.kategorie)).isNull())
        return QStringLiteral("Die Kategorie %1 gibt es nicht. Die Kategorien des Kontenrahmens zeigt „dalvo bericht FALL kontenplan“.")
            .arg(k.kategorie);
    // The editor offers none of these: they belong to the program's own bookkeeping.
    if (k.kategorie >= 9000 && k.kategorie <= 9899)
        return QStringLiteral("Konten der Kategorie %1 legt das Programm selbst an; bitte wählen Sie eine andere Kategorie.").arg(k.kategorie);
    if (k.steuerschluessel != 0 &&
        GetDatenTyp(db, QStringLiteral("SELECT Steuerschluessel FROM eurSteuerschluessel WHERE Steuerschluessel=") + sql(k.steuerschluessel))
            .isNull())
        return QStringLiteral("Den Steuerschlüssel %1 gibt es nicht; die Steuerschlüssel zeigt „dalvo steuerschluessel FALL“.").arg(k.steuerschluessel);
    return KontoGlobal::pruefeKontoSteuerschluessel(k.kategorie, k.steuerschluessel);
}

QString Kontoeditor::klassenWarnung(const Konto& k) { return KontoGlobal::pruefeKontoKlasse(k.nummer, k.kategorie); }

bool Kontoeditor::anlegen(const Konto& k, unsigned long* vorbildGenommen, QString* fehler) {
    DBConnection* db = rsFallDB();
    const QString grund = pruefe(k, true);
    if (!grund.isEmpty()) return fehlschlag(fehler, grund);
    unsigned long vorbild = k.vorbild;
    if (vorbild == 0) {
        const DatenTyp v = GetDatenTyp(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Kategorie=") + sql(k.kategorie));
        vorbild = v.isNull() ? 0 : v.toULong();
    } else if (!KontoGlobal::existsKonto(vorbild, false, nullptr)) {
        return fehlschlag(fehler, QStringLiteral("Das Vorbild-Konto %1 gibt es im Kontenplan nicht.").arg(vorbild));
    }
    QStringList spalten, werte;
    for (const char* s : kFormSpalten) {
        spalten << QLatin1String(s);
        werte << (vorbild ? QStringLiteral("(SELECT %1 FROM eurKontenplan WHERE Nummer=%2)").arg(QLatin1String(s)).arg(vorbild) : QStringLiteral("0"));
    }
    const bool ok = ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, Bezeichnung, Kurzbezeichnung, Kategorie, Steuerschluessel, "
                                               "Steuerautomatik, Aktiv, Geaendert, ") +
                                    spalten.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + sql(k.nummer) + QStringLiteral(", ") +
                                    sql(k.bezeichnung.trimmed()) + QStringLiteral(", ") + sql(kurzname(k).trimmed()) + QStringLiteral(", ") +
                                    sql(k.kategorie) + QStringLiteral(", ") + sql(k.steuerschluessel) + QStringLiteral(", ") +
                                    sql((unsigned long)(k.steuerschluessel ? k.steuerautomatik : 0)) + QStringLiteral(", -1, 1, ") +
                                    werte.join(QStringLiteral(", ")) + QStringLiteral(")"));
    if (!ok) return fehlschlag(fehler, QStringLiteral("Das Konto %1 konnte nicht gespeichert werden.").arg(k.nummer));
    // A fixed key of an active account must be offered.
    if (k.steuerschluessel != 0) KontoGlobal::abgleichKontoplanSteuerschluesselAktiv();
    if (KontoGlobal* kg = GetKontoGlobal(-1, false)) kg->clearSpezialKonto();
    if (vorbildGenommen) *vorbildGenommen = vorbild;
    return true;
}

bool Kontoeditor::aendern(const Konto& k, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!KontoGlobal::existsKonto(k.nummer, false, nullptr))
        return fehlschlag(fehler, QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht; neue Konten legt „dalvo konto FALL neu“ an.").arg(k.nummer));
    const QString grund = pruefe(k, false);
    if (!grund.isEmpty()) return fehlschlag(fehler, grund);
    const bool ok = ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Bezeichnung=") + sql(k.bezeichnung.trimmed()) +
                                    QStringLiteral(", Kurzbezeichnung=") + sql(kurzname(k).trimmed()) + QStringLiteral(", Kategorie=") +
                                    sql(k.kategorie) + QStringLiteral(", Steuerschluessel=") + sql(k.steuerschluessel) +
                                    QStringLiteral(", Steuerautomatik=") + sql((unsigned long)(k.steuerschluessel ? k.steuerautomatik : 0)) +
                                    QStringLiteral(", Geaendert=1 WHERE Nummer=") + sql(k.nummer));
    if (!ok) return fehlschlag(fehler, QStringLiteral("Das Konto %1 konnte nicht gespeichert werden.").arg(k.nummer));
    if (k.steuerschluessel != 0) KontoGlobal::abgleichKontoplanSteuerschluesselAktiv();
    return true;
}

bool Kontoeditor::setzeKontenAktiv(const QList<unsigned long>& nummern, bool aktiv, QString* fehler) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    for (unsigned long nr : nummern) {
        if (!KontoGlobal::existsKonto(nr, false, nullptr))
            return fehlschlag(fehler, QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(nr));
        if (aktiv) continue;
        const QString grund = KontoGlobal::pruefeKontoDeaktivieren(nr);
        if (!grund.isEmpty()) return fehlschlag(fehler, QStringLiteral("Konto %1: ").arg(nr) + grund);
        // Every cash-book command would point at an account no list offers.
        if (kg && kg->getKassenkonto() > 0 && (unsigned long)kg->getKassenkonto() == nr)
            return fehlschlag(fehler, QStringLiteral("Konto %1 ist das Kassenkonto des Falls. Stellen Sie zuerst ein anderes Kassenkonto ein "
                                                     "(„dalvo einstellungen FALL --kassenkonto N“).")
                                          .arg(nr));
    }
    if (!KontoGlobal::setKontenAktiv(nummern, aktiv)) return fehlschlag(fehler, QStringLiteral("Die Konten konnten nicht geändert werden."));
    return true;
}

bool Kontoeditor::setzeSchluesselAktiv(const QList<unsigned long>& schluessel, bool aktiv, QString* fehler) {
    DBConnection* db = rsFallDB();
    if (!db) return fehlschlag(fehler, QStringLiteral("Die Buchhaltung des Falls ist nicht geöffnet."));
    QSet<unsigned long> inVerwendung;
    if (!aktiv) KontoGlobal::fillSetSteuerschluesselInVerwendung(inVerwendung);
    for (unsigned long s : schluessel) {
        rsDataSource rs(db, QStringLiteral("SELECT Necessary FROM eurSteuerschluessel WHERE Steuerschluessel=") + sql(s));
        if (rs.isEOF()) return fehlschlag(fehler, QStringLiteral("Den Steuerschlüssel %1 gibt es nicht; die Steuerschlüssel zeigt „dalvo steuerschluessel FALL“.").arg(s));
        if (aktiv) continue;
        if (rs.field(QStringLiteral("Necessary")).toLongLong() != 0)
            return fehlschlag(fehler, QStringLiteral("Der Steuerschlüssel %1 muss in jedem Fall vorhanden sein und kann nicht deaktiviert werden.").arg(s));
        if (inVerwendung.contains(s))
            return fehlschlag(fehler, QStringLiteral("Der Steuerschlüssel %1 wird noch verwendet (in Buchungen, Buchungsvorlagen, Artikeln, "
                                                     "Belegen oder als fester Schlüssel eines aktiven Kontos) und kann nicht deaktiviert werden.")
                                          .arg(s));
    }
    if (schluessel.isEmpty()) return true;
    if (!ExecSQL(db, QStringLiteral("UPDATE eurSteuerschluessel SET Aktiv=%1 WHERE Steuerschluessel IN (").arg(aktiv ? 1 : 0) + liste(schluessel) +
                         QStringLiteral(")")))
        return fehlschlag(fehler, QStringLiteral("Die Steuerschlüssel konnten nicht geändert werden."));
    return true;
}
