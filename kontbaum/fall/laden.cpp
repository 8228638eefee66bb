// After a case has been read: year, pruning at a change of year, and the
// refresh of categories and chart from the reference database.
#include "host/app/global.h"
#include "host/app/log.h"
#include "host/app/options.h"
#include "host/app/ui.h"
#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "host/tree/adressknoten.h"
#include "kontbaum/fall/knoten.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QHash>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/laden");

// The compared columns; Aktiv is compared for new accounts only (see below).
const QStringList kVergleich = {
    QStringLiteral("Bezeichnung"),     QStringLiteral("Kurzbezeichnung"), QStringLiteral("Kategorie"),
    QStringLiteral("Kostenstellenautomatik"), QStringLiteral("Kostenstelle"), QStringLiteral("Steuerautomatik"),
    QStringLiteral("Steuerschluessel"), QStringLiteral("Verdichtung"),    QStringLiteral("EB_Erzeugung"),
    QStringLiteral("KeineOPBuchungen"), QStringLiteral("UStVA"),          QStringLiteral("USt"),
    QStringLiteral("GewSt"),           QStringLiteral("EUR"),             QStringLiteral("EUR_HABEN"),
    QStringLiteral("EUR_AV"),          QStringLiteral("Aktiv")};

bool istText(const QString& spalte) {
    return spalte == QLatin1String("Bezeichnung") || spalte == QLatin1String("Kurzbezeichnung") ||
           spalte == QLatin1String("Kostenstelle");
}

bool gleich(const QString& spalte, const DatenTyp& a, const DatenTyp& b) {
    if (istText(spalte)) return a.toString() == b.toString();
    return a.toLongLong() == b.toLongLong();
}
}  // namespace

unsigned long Kont_::UpdateAfterLoading(unsigned long flags) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    GlobalInst& g = GetGlobal();
    const bool import99 = g.IsImport() == 99;
    unsigned long ergebnis = 0;
    if ((flags & kLadeVorjahr) && kg && kg->GetDueMitJahreswechsel() == 0) {
        if (!import99) g.setSteuerjahr(2015);
        ergebnis = UpdateAfterLoadingVorjahr(flags);
    } else {
        if (!import99) g.setSteuerjahr(2016);
        ergebnis = UpdateAfterLoadingSteuerjahr(flags);
    }
    if (!(flags & kLadeOhneDB) && ergebnis == 0) {
        UpdateDBAfterLoading(flags == 1 ? 1 : 0, QString(), true);
        if (!import99 && kg) g.setSteuerjahr(kg->getSteuerjahr());
    }
    // Open account lists refill themselves from the chart; this program has
    // none open while a case loads.
    return ergebnis;
}

unsigned long Kont_::UpdateAfterLoadingSteuerjahr(unsigned long) {
    if (KontoGlobal* kg = GetKontoGlobal(-1, false)) kg->updateYear();
    return 0;
}

unsigned long Kont_::UpdateAfterLoadingVorjahr(unsigned long flags) {
    Rechnung();
    LoescheKnotenVorjahr();
    if (flags & kLadeOhneDB) {
        if (KontoGlobal* kg = GetKontoGlobal(-1, false)) {
            kg->setSteuerjahr(2015);
            kg->updateYear();
        }
    }
    return 0;
}

void Kont_::LoescheKnotenVorjahr() {
    for (DatenBase** slot : {&m_Ana002[0], &m_Ana002[1], &m_Ana002[2], &m_Ana002[3], &m_Ausw002[0], &m_Ausw002[1],
                             &m_Ausw002[2], &m_Ausw002[3]}) {
        if (!*slot) continue;
        delete *slot;  // an attached child detaches itself and nulls the slot
        *slot = nullptr;
    }
}

unsigned long Kont_::UpdateDBAfterLoading(unsigned long ersterLauf, const QString& text, bool nachfragen) {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    GlobalInst& g = GetGlobal();
    if (!kg || g.IsImport() == 88 || g.IsImport() == 99) return 0;
    if (kg->getKontenplanName().isEmpty() || !kg->getDoUpdateDB() || kg->getJahresabschluss() != 0) return 0;
    DBConnection* db = kg->GetDBConnect_Ptr();
    DBConnection* ref = g.GetDBConnect_Ptr(GlobalInst::kReferenceConnection);
    const QString spalte = KontoGlobal::rahmenSpalte(kg->getKontenplanName());
    if (!db || !ref || spalte.isEmpty()) return 0;
    const int jahr = kg->getSteuerjahr();

    // 1. categories
    if (!kg->kopiereKategorien(jahr)) {
        rs_logAssert(kQuelle, __LINE__, QStringLiteral("cb == 1"));
        rs_logError(kQuelle, __LINE__, QStringLiteral("Fehler beim Kopieren von Kategorien."));
    } else {
        const qlonglong anzFall = GetDatenTyp(db, QStringLiteral("SELECT COUNT(*) FROM eurKategorien")).toLongLong();
        const qlonglong anzDll = GetDatenTyp(ref, QStringLiteral("SELECT COUNT(*) FROM Kategorien WHERE ") +
                                                      KontoGlobal::gueltigkeitsBedingung(jahr, QString()))
                                     .toLongLong();
        if (anzDll != anzFall) {
            rs_logAssert(kQuelle, __LINE__, QStringLiteral("anzDll == anzFall"));
            rs_logError(kQuelle, __LINE__, QStringLiteral("Fehler beim Kopieren von Kategorien."));
        }
    }

    // 2. the template accounts of the framework against the case's chart
    QString select = KontoGlobal::vorlagenKontenSelect(kg->getKontenplanName(), jahr, kg->getUstPflicht());
    const int build = rsOptionsGlobal::instance().getInt(QStringLiteral("Private"), QStringLiteral("OldDBVersionVorjahr"), 0);
    if (!ersterLauf && build > 0) select += QStringLiteral(" AND k1.Build>") + rsDataSource::toSqlStr(long(build));
    struct Konto {
        QVector<DatenTyp> werte;
        bool geaendert = false;
    };
    QHash<unsigned long, Konto> fall;
    {
        rsDataSource rs(db, QStringLiteral("SELECT Nummer, ") + kVergleich.join(QStringLiteral(", ")) +
                                QStringLiteral(", Geaendert FROM eurKontenplan ORDER BY Nummer"));
        for (; !rs.isEOF(); rs.fetch()) {
            Konto k;
            for (const QString& s : kVergleich) k.werte << rs.field(s);
            k.geaendert = rs.field(QStringLiteral("Geaendert")).toLongLong() != 0;
            fall.insert(rs.field(QStringLiteral("Nummer")).toULong(), k);
        }
    }
    struct Aenderung {
        unsigned long nummer;
        QStringList setzen;  // "Spalte=Wert"
        QString beschreibung;
    };
    QList<Aenderung> neu, automatisch, nachfrage;
    Ui& ui = GetUi();
    {
        rsDataSource rs(ref, select + QStringLiteral(" ORDER BY Nummer"));
        long n = 0;
        for (; !rs.isEOF(); rs.fetch(), ++n) {
            if (n % 100 == 0) ui.progress(QStringLiteral("Der Kontenplan wird geprüft"), n, 0);
            const unsigned long nr = rs.field(QStringLiteral("Nummer")).toULong();
            auto it = fall.constFind(nr);
            if (it == fall.constEnd()) {
                Aenderung a{nr, {}, {}};
                a.setzen << QString::number(nr);
                for (const QString& s : kVergleich) a.setzen << rsDataSource::toSqlStr(rs.field(s));
                neu << a;
                continue;
            }
            Aenderung a{nr, {}, QString::number(nr) + QLatin1Char(' ') + rs.field(QStringLiteral("Bezeichnung")).toString()};
            QStringList was;
            for (int i = 0; i < kVergleich.size(); ++i) {
                const QString& s = kVergleich[i];
                // Whether an existing account is active is the case's own
                // decision (the user, the VAT liability and the activation of
                // used accounts set it); the template decides it only for
                // accounts it adds.
                if (s == QLatin1String("Aktiv")) continue;
                const DatenTyp vorlage = rs.field(s);
                if (gleich(s, vorlage, it->werte[i])) continue;
                a.setzen << s + QLatin1Char('=') + rsDataSource::toSqlStr(vorlage);
                was << s + QStringLiteral(": ") + it->werte[i].toString() + QStringLiteral(" → ") + vorlage.toString();
            }
            if (a.setzen.isEmpty()) continue;
            a.beschreibung += QStringLiteral(" (") + was.join(QStringLiteral(", ")) + QLatin1Char(')');
            (it->geaendert ? nachfrage : automatisch) << a;
        }
        ui.progress(QStringLiteral("Der Kontenplan wird geprüft"), n, n);
    }

    QList<int> erlaubt;
    const bool zeigen = nachfragen && !nachfrage.isEmpty() &&
                        rsOptionsGlobal::instance().getInt(QStringLiteral("Private"), QStringLiteral("IsAfterDUE"), 0) != 1;
    if (zeigen) {
        QStringList punkte;
        for (const Aenderung& a : nachfrage) punkte << a.beschreibung;
        const QString liste = text.isEmpty()
                                  ? QStringLiteral("$TR(Der_PROGNAME) möchte nach dem Programm-Update in Ihrem Kontenplan einmalig "
                                                   "Konten aktualisieren, die Sie zuvor geändert haben.\n"
                                                   "Markieren Sie die Änderungen, die Sie zulassen möchten.")
                                  : text;
        const bool rebuild = g.GetRebuildGUI();
        if (rebuild) g.SetRebuildGUI(false);
        ui.waitCursor(false);
        erlaubt = ui.auswahl(liste, punkte, QStringLiteral("Kontenplan"));
        if (rebuild) g.SetRebuildGUI(true);
    }

    if (neu.isEmpty() && automatisch.isEmpty() && !zeigen) return 0;
    DBTransaktion tx(db);
    if (!tx.ok()) return 0;
    bool ok = true;
    for (const Aenderung& a : neu)
        ok = ExecSQL(db, QStringLiteral("INSERT INTO eurKontenplan (Nummer, ") + kVergleich.join(QStringLiteral(", ")) +
                             QStringLiteral(") VALUES (") + a.setzen.join(QStringLiteral(", ")) + QStringLiteral(")")) && ok;
    for (const Aenderung& a : automatisch)
        ok = ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET ") + a.setzen.join(QStringLiteral(", ")) +
                             QStringLiteral(" WHERE Nummer=") + rsDataSource::toSqlStr(a.nummer)) && ok;
    if (zeigen) {
        for (int i : erlaubt)
            if (i >= 0 && i < nachfrage.size())
                ok = ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET ") + nachfrage[i].setzen.join(QStringLiteral(", ")) +
                                     QStringLiteral(" WHERE Nummer=") + rsDataSource::toSqlStr(nachfrage[i].nummer)) && ok;
        // The question is asked once: every account shown counts as handled.
        for (const Aenderung& a : nachfrage)
            ok = ExecSQL(db, QStringLiteral("UPDATE eurKontenplan SET Geaendert=0 WHERE Nummer=") +
                                 rsDataSource::toSqlStr(a.nummer)) && ok;
    }
    if (!ok) {
        tx.rollback();
        rs_logError(kQuelle, __LINE__, QStringLiteral("Kontenplan: ") + db->getErr()->last());
        return 0;
    }
    tx.commit();
    kg->clearSpezialKonto();
    return 0;
}

void Kont_::ioUpdate(unsigned long datenversion) {
    if (datenversion >= 57086) return;
    // Older files kept the tax-office data in the host's address nodes.
    const char* const felder[] = {"Bundesland", "FANr", "FA", "Steuernummer", "UStIdnummer"};
    for (int i = 0; i < 2; ++i) {
        DatenBase* alt = DatenBase::GetDB(QStringLiteral("Ad0030_[%1]").arg(i));
        if (!alt) continue;
        DatenBase*& slot = m_Ad0031[i];
        if (!slot) {
            Ad0031_* neu = Ad0031_::New();
            neu->SetConnection(this, &slot, i + 1, Besitzer_Owner);
        }
        for (const char* f : felder) {
            const QString von = QStringLiteral("ad30_") + QLatin1String(f);
            if (alt->hasVar(von)) slot->setVar(QStringLiteral("ad31_") + QLatin1String(f), alt->getVar(von));
        }
        slot->setVar(QStringLiteral("ad31_Finanzamt.Beide"), DatenTyp(true));
    }
}
