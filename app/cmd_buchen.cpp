// dalvo buchen / buchungen / stornieren / loeschen / festschreiben / pruefen:
// the ledger.
#include "app/befehle.h"
#include "app/buchungsangaben.h"
#include "app/cli.h"
#include "app/fall.h"

#include "host/app/jsontext.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/buchungen/journal.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QPair>
#include <QVector>

#include <algorithm>

#include <thread>

namespace cli {

namespace {
using KG = KontoGlobal;

bool parseArt(const QString& t, int* art) {
    static const char* const namen[] = {"einnahme", "ausgabe", "frei", "erstattung", "gutschrift", "saldovortrag"};
    const QString l = t.trimmed().toLower();
    for (int i = 0; i < 6; ++i)
        if (l == QLatin1String(namen[i]) || l == QString::number(i + 1)) {
            *art = i + 1;
            return true;
        }
    return false;
}

bool parseNummer(const QString& t, unsigned long* n) {
    bool ok = false;
    *n = t.trimmed().toULong(&ok);
    return ok && *n > 0;
}

int abgelehnt(const QString& text) {
    err(QStringLiteral("Fehler: %1\n").arg(text));
    return Refused;
}
}  // namespace

QList<Option> buchungsOptionen() {
    return {{{"--art", "--kind"}, "ART"},         {{"--datum", "--date"}, "TT.MM.JJJJ"}, {{"--betrag", "--amount"}, "BETRAG"},
            {{"--konto", "--account"}, "KONTO"},  {{"--gegenkonto", "--counter"}, "KONTO"},
            {{"--soll"}, "KONTO"},                {{"--haben"}, "KONTO"},                {{"--schluessel", "--key"}, "STS"},
            {{"--netto", "--net"}},               {{"--text"}, "TEXT"},                  {{"--beleg", "--voucher"}, "BELEG"},
            {{"--ustid"}, "USTID"},               {{"--zm"}, "1..3"}};
}

int leseBuchungsAngaben(const QString& n, const Args& a, BuchungsAngaben* ang) {
    // The accounts come either as the dialog's lines (--konto: the money
    // side, --gegenkonto: the counter side) or plainly as debit and credit
    // (--soll/--haben), never mixed.
    const bool sollHaben = a.has(QStringLiteral("--soll")) || a.has(QStringLiteral("--haben"));
    if (sollHaben && (a.has(QStringLiteral("--konto")) || a.has(QStringLiteral("--gegenkonto"))))
        return usageError(n, QStringLiteral("Entweder --konto/--gegenkonto oder --soll/--haben angeben, nicht beides."));
    const QStringList pflichten = sollHaben ? QStringList{QStringLiteral("--art"), QStringLiteral("--datum"), QStringLiteral("--betrag"),
                                                          QStringLiteral("--soll"), QStringLiteral("--haben")}
                                            : QStringList{QStringLiteral("--art"), QStringLiteral("--datum"), QStringLiteral("--betrag"),
                                                          QStringLiteral("--konto"), QStringLiteral("--gegenkonto")};
    for (const QString& pflicht : pflichten)
        if (!a.has(pflicht)) return usageError(n, QStringLiteral("%1 fehlt.").arg(pflicht));
    int art = 0;
    if (!parseArt(a.value(QStringLiteral("--art")), &art))
        return usageError(n, QStringLiteral("Unbekannte Buchungsart „%1“ (1..6, einnahme, ausgabe, frei, erstattung, gutschrift, "
                                            "saldovortrag).")
                                 .arg(a.value(QStringLiteral("--art"))));
    // The side of the money line (dialog line 1) by kind: income and refunds
    // of expenses come in (money side debit), expenses and refunds of income
    // go out; a free booking is "account to counter account"; an opening
    // balance credits the carry-forward account and debits the balance
    // account.
    bool geldHaben = false;
    switch (art) {
    case 1: case 5: geldHaben = false; break;
    case 2: case 4: geldHaben = true; break;
    case 3: geldHaben = false; break;
    case 6: geldHaben = true; break;
    }
    const QString kontoFlag = sollHaben ? (geldHaben ? QStringLiteral("--haben") : QStringLiteral("--soll")) : QStringLiteral("--konto");
    const QString gegenFlag = sollHaben ? (geldHaben ? QStringLiteral("--soll") : QStringLiteral("--haben")) : QStringLiteral("--gegenkonto");
    QString e;
    zDate datum;
    if (!parseDate(a.value(QStringLiteral("--datum")), &datum, &e)) return usageError(n, e);
    EuroType betrag;
    if (!parseAmount(a.value(QStringLiteral("--betrag")), &betrag, &e)) return usageError(n, e);
    if (betrag.isNull()) return usageError(n, QStringLiteral("Der Betrag darf nicht 0 sein."));
    unsigned long konto = 0, gegen = 0, schluessel = 0;
    if (!parseNummer(a.value(kontoFlag), &konto))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(kontoFlag)));
    if (!parseNummer(a.value(gegenFlag), &gegen))
        return usageError(n, QStringLiteral("Ungültige Kontonummer „%1“.").arg(a.value(gegenFlag)));
    const bool mitSchluessel = a.has(QStringLiteral("--schluessel"));
    if (mitSchluessel) {
        bool ok = false;
        schluessel = a.value(QStringLiteral("--schluessel")).trimmed().toULong(&ok);
        if (!ok || schluessel == 999999)
            return usageError(n, QStringLiteral("Ungültiger Steuerschlüssel „%1“.").arg(a.value(QStringLiteral("--schluessel"))));
    }
    int zm = 0;
    if (a.has(QStringLiteral("--ustid")) != a.has(QStringLiteral("--zm")))
        return usageError(n, QStringLiteral("--ustid und --zm gehören zusammen."));
    if (a.has(QStringLiteral("--zm")) && !parseInt(a.value(QStringLiteral("--zm")), 1, 3, &zm, &e)) return usageError(n, e);
    // A negative amount turns the sides of a free booking or an opening
    // balance around; income and expenses have their own refund kinds.
    bool umgekehrt = false;
    if (betrag < EuroType()) {
        if (art != 3 && art != 6)
            return usageError(n, QStringLiteral("Der Betrag muss positiv sein; für Rückzahlungen gibt es die Buchungsarten "
                                                "erstattung und gutschrift."));
        umgekehrt = true;
        betrag = -betrag;
    }
    ang->art = art;
    ang->datum = datum;
    ang->betrag = betrag;
    ang->konto = konto;
    ang->gegen = gegen;
    ang->schluessel = schluessel;
    ang->mitSchluessel = mitSchluessel;
    ang->netto = a.has(QStringLiteral("--netto"));
    ang->geldHaben = umgekehrt ? !geldHaben : geldHaben;
    ang->text = a.value(QStringLiteral("--text"));
    ang->beleg = a.value(QStringLiteral("--beleg"));
    ang->ustid = a.value(QStringLiteral("--ustid")).trimmed().toUpper();
    ang->zm = zm;
    return -1;
}

QString entwurfAusAngaben(DBConnection* db, int steuerjahr, const BuchungsAngaben& ang, const zDate& pruefdatum,
                          KontoGlobal::BuchungsEntwurf* b) {
    b->text = ang.text;
    b->belegdatum = ang.datum;
    b->belegnummer = ang.beleg;
    b->buchungsart = ang.art;
    b->ustid = ang.ustid;
    b->zmart = ang.zm;
    b->haben = ang.geldHaben;
    b->konto = ang.konto;
    b->teile.append({ang.gegen, ang.schluessel, ang.betrag, ang.netto, QString()});
    // The same checks as every imported row (EingabePruefer); the counter
    // account's default key is filled in when none was given.
    const QString grund = EingabePruefer(db, steuerjahr).pruefen(*b, pruefdatum, ang.mitSchluessel);
    if (!grund.isEmpty()) return grund;
    if (ang.netto && b->teile.first().steuerschluessel == 0) return QStringLiteral("--netto braucht einen Steuerschlüssel.");
    return QString();
}

int cmdBook(const Args& a) {
    const QString n = QStringLiteral("buchen");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    BuchungsAngaben ang;
    const int rc = leseBuchungsAngaben(n, a, &ang);
    if (rc >= 0) return rc;

    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        KontoGlobal* kg = fall.kg();
        DBConnection* db = kg->GetDBConnect_Ptr();
        // A free booking typed as debit and credit carries its key on the
        // side that may have one: a purchase on an asset account with input
        // tax ("--soll 0420 --haben 1200 --schluessel 7") as the import reads it.
        BuchungsAngaben angaben = ang;
        if (angaben.art == 3 && angaben.mitSchluessel && a.has(QStringLiteral("--soll")) &&
            KG::isSteuerschluesselOK(angaben.gegen, angaben.schluessel, db) != 0 &&
            KG::isSteuerschluesselOK(angaben.konto, angaben.schluessel, db) == 0) {
            std::swap(angaben.konto, angaben.gegen);
            angaben.geldHaben = !angaben.geldHaben;
        }
        KG::BuchungsEntwurf b;
        QString grund = entwurfAusAngaben(db, kg->getSteuerjahr(), angaben, angaben.datum, &b);
        if (!grund.isEmpty()) return abgelehnt(grund);
        const unsigned long nr = KG::bucheEingabe(b, db, &grund);
        if (nr == 0) return abgelehnt(grund);
        out(QStringLiteral("%1\n").arg(nr));
        return int(Ok);
    });
}

namespace {
// Standard output in blocks of some 64 kB: a long list is neither held
// whole nor written with one system call per line.
class Ausgabe {
public:
    ~Ausgabe() { leeren(); }
    void operator<<(const QString& text) { *this << text.toUtf8(); }
    void operator<<(const QByteArray& bytes) {
        m_puffer += bytes;
        if (m_puffer.size() >= 1 << 16) leeren();
    }
    // Appends straight to the block (see buchungAlsJson).
    QByteArray& puffer() { return m_puffer; }
    void leeren() {
        if (m_puffer.isEmpty()) return;
        outBytes(m_puffer);
        m_puffer.clear();
    }

private:
    QByteArray m_puffer;
};

// One booking of `buchungen --json` as an element of the list, appended to
// `o` as text: the bytes QJsonDocument wrote (members in the order of their
// keys, four spaces a level), at a fraction of the cost of building it.
void buchungAlsJson(QByteArray& o, const Buchungsliste::Buchung& b) {
    o += "    {\n        \"belegdatum\": ";
    JsonText::text(o, b.belegdatum.getText());
    o += ",\n        \"betrag\": ";
    JsonText::betrag(o, b.betrag.cent());
    o += ",\n        \"buchungsart\": ";
    o += QByteArray::number(b.buchungsart);
    o += ",\n        \"buchungsnummer\": ";
    o += QByteArray::number(qulonglong(b.buchungsnummer));
    o += ",\n        \"buchungstext\": ";
    JsonText::text(o, b.buchungstext);
    o += b.storniert ? ",\n        \"storniert\": true" : ",\n        \"storniert\": false";
    o += b.storno ? ",\n        \"storno\": true" : ",\n        \"storno\": false";
    o += ",\n        \"zeilen\": [\n";
    for (int i = 0; i < b.zeilen.size(); ++i) {
        const Buchungsliste::Zeile& z = b.zeilen[i];
        o += "            {\n                \"betrag\": ";
        JsonText::betrag(o, z.betrag.cent());
        o += ",\n                \"dialogzeile\": ";
        o += QByteArray::number(z.dialogzeile);
        o += ",\n                \"gegenkonto\": ";
        o += QByteArray::number(z.gegenkonto);
        o += z.haben ? ",\n                \"haben\": true" : ",\n                \"haben\": false";
        o += ",\n                \"konto\": ";
        o += QByteArray::number(z.konto);
        o += ",\n                \"steuerid\": ";
        o += QByteArray::number(z.steuerID);
        o += ",\n                \"steuerschluessel\": ";
        o += QByteArray::number(z.steuerschluessel);
        o += i + 1 < b.zeilen.size() ? "\n            },\n" : "\n            }\n";
    }
    o += "        ]\n    }";
}
}  // namespace

int cmdList(const Args& a) {
    const QString n = QStringLiteral("buchungen");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        Zeitraum z;
        QString e;
        if (!parseZeitraum(a, fall.kg()->getSteuerjahr(), &z, &e)) return usageError(n, e);
        DBConnection* db = fall.kg()->GetDBConnect_Ptr();
        Ausgabe aus;
        bool gelesen = true;
        if (a.has(QStringLiteral("--json"))) {
            aus << QByteArray("[\n");
            long anzahl = 0;
            gelesen = Buchungsliste::lesen(db, z.von, z.bis, true, [&](const Buchungsliste::Buchung& b) {
                if (anzahl++ > 0) aus.puffer() += ",\n";
                buchungAlsJson(aus.puffer(), b);
                aus << QByteArray();
            });
            aus << QByteArray(anzahl > 0 ? "\n]\n" : "]\n");
        } else {
            aus << QStringLiteral("   Nr. Datum       Art   Beleg       Betrag       Text\n");
            gelesen = Buchungsliste::lesen(db, z.von, z.bis, false, [&](const Buchungsliste::Buchung& b) {
                const QString merk = b.storno ? QStringLiteral(" [Storno]") : b.storniert ? QStringLiteral(" [storniert]") : QString();
                // The voucher number whole, however long: a cut "RE-2016-00"
                // names another voucher.
                aus << QStringLiteral("%1 %2  %3  %4 %5  %6%7\n")
                           .arg(b.buchungsnummer, 6)
                           .arg(b.belegdatum.getText())
                           .arg(KG::getBuchungsartText(b.buchungsart, 1), -4)
                           .arg(b.belegnummer, -10)
                           .arg(b.betrag.getText(), 12)
                           .arg(b.buchungstext, merk);
            });
        }
        aus.leeren();
        if (!gelesen) {
            err(QStringLiteral("Fehler: Die Buchungen konnten nicht vollständig gelesen werden; die Liste ist unvollständig. Bitte prüfen "
                               "Sie die Falldatei mit „dalvo pruefen“.\n"));
            return int(Refused);
        }
        return int(Ok);
    });
}

namespace {
// Cancel or delete: the booking numbers of the command line, checked.
bool nummernLesen(const QString& n, const Args& a, QList<unsigned long>* nummern, int* rc) {
    if (a.positional().size() < 2) {
        *rc = usageError(n, QStringLiteral("Falldatei und mindestens eine Buchungsnummer angeben."));
        return false;
    }
    for (const QString& t : a.positional().mid(1)) {
        unsigned long nr = 0;
        if (!parseNummer(t, &nr)) {
            *rc = usageError(n, QStringLiteral("Ungültige Buchungsnummer „%1“.").arg(t));
            return false;
        }
        nummern->append(nr);
    }
    return true;
}

}  // namespace

int cmdCancel(const Args& a) {
    const QString n = QStringLiteral("stornieren");
    QList<unsigned long> nummern;
    int rc = 0;
    if (!nummernLesen(n, a, &nummern, &rc)) return rc;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString grund;
        const QList<unsigned long> neu = KG::storniereBuchungen(nummern, &grund);
        if (neu.isEmpty()) return abgelehnt(grund);
        QStringList t;
        for (unsigned long m : neu) t << QString::number(m);
        out(t.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return int(Ok);
    });
}

int cmdDelete(const Args& a) {
    const QString n = QStringLiteral("loeschen");
    QList<unsigned long> nummern;
    int rc = 0;
    if (!nummernLesen(n, a, &nummern, &rc)) return rc;
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall&) {
        QString grund;
        QList<unsigned long> neu;
        if (!KG::loescheBuchungen(nummern, &neu, &grund)) return abgelehnt(grund);
        QStringList t;
        for (unsigned long m : neu) t << QString::number(m);
        if (!t.isEmpty()) out(t.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        return int(Ok);
    });
}

int cmdLock(const Args& a) {
    const QString n = QStringLiteral("festschreiben");
    if (a.positional().size() != 2) return usageError(n, QStringLiteral("Falldatei und Datum angeben."));
    zDate bis;
    QString e;
    if (!parseDate(a.positional()[1], &bis, &e)) return usageError(n, e);
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Schreiben, [&](Fall& fall) {
        bool unveraendert = false;
        const QString grund = Journal::festschreiben(bis, &unveraendert);
        if (!grund.isEmpty()) return abgelehnt(grund);
        if (unveraendert) {
            fall.setGeaendert(false);
            return int(Ok);
        }
        meldeErledigt(QStringLiteral("Die Buchungen sind jetzt bis zum %1 festgeschrieben.").arg(bis.getText()));
        return int(Ok);
    });
}

int cmdVerify(const Args& a) {
    const QString n = QStringLiteral("pruefen");
    if (a.positional().size() != 1) return usageError(n, QStringLiteral("Genau eine Falldatei angeben."));
    return Fall::ausfuehren(n, a.positional().first(), Fall::Zugriff::Lesen, [&](Fall& fall) {
        // SQLite's check of the whole file runs beside the check of the
        // bookings, on a connection of its own: the two take about as long.
        QStringList schaden;
        const QString datei = fall.kg()->Getmdb_name();
        std::thread pruefer([&schaden, datei] { schaden = rsIntegritaetPruefen(datei); });
        QStringList befunde = KG::verifyBuchungen(QStringLiteral("eurVerbucht"), QString(), true);
        befunde += KG::pruefeGeldbetraege(QStringLiteral("eurVerbucht"));
        pruefer.join();
        if (!schaden.isEmpty()) {
            err(QStringLiteral("Fehler: %1\n").arg(Falldatei::beschaedigtText(a.positional().first())));
            for (const QString& s : schaden) err(QStringLiteral("  %1\n").arg(s));
            err(QStringLiteral("Bitte arbeiten Sie mit einer Sicherung der Falldatei weiter.\n"));
            return int(Refused);
        }
        for (const QString& b : befunde) out(b.trimmed() + QLatin1Char('\n'));
        if (befunde.isEmpty()) {
            err(QStringLiteral("Keine Befunde.\n"));
            return int(Ok);
        }
        err(QStringLiteral("%1 Befunde.\n").arg(befunde.size()));
        return int(Refused);
    });
}

QList<Befehl> buchenBefehle() {
    return {
        {QStringLiteral("buchen"), {}, {QStringLiteral("book")}, buchungsOptionen(),
         QStringLiteral("dalvo buchen FALL --art ART --datum TT.MM.JJJJ --betrag BETRAG (--konto KONTO --gegenkonto KONTO | "
                        "--soll KONTO --haben KONTO) [--schluessel STS] [--netto] [--text TEXT] [--beleg BELEG] [--ustid USTID --zm 1..3]"),
         QStringLiteral("bucht eine Buchung"),
         QStringLiteral("Bucht eine Buchung und gibt die neue Buchungsnummer aus, sobald sie in der Falldatei steht.\n"
                        "Steuerzeilen entstehen aus dem Steuerschlüssel des Gegenkontos.\n\n"
                        "Die Konten gibt man auf eine von zwei Arten an:\n"
                        "  --konto KONTO --gegenkonto KONTO   wie im Buchungsdialog: --konto ist die Geldseite\n"
                        "                  (Dialogzeile 1), --gegenkonto das Gegenkonto (Dialogzeile 2). Bei --art frei\n"
                        "                  steht --konto im Soll und --gegenkonto im Haben.\n"
                        "  --soll KONTO --haben KONTO         schlicht nach Soll und Haben, für jede Buchungsart;\n"
                        "                  welches davon die Geldseite ist, folgt aus der Buchungsart.\n\n"
                        "Buchungsarten: 1 einnahme, 2 ausgabe, 3 frei, 4 erstattung (Rückzahlung einer Einnahme),\n"
                        "5 gutschrift (Rückzahlung einer Ausgabe), 6 saldovortrag.\n\n"
                        "Optionen:\n  --schluessel STS  Steuerschlüssel; ohne Angabe der des Gegenkontos (in einem Fall ohne\n"
                        "                  Umsatzsteuerpflicht gilt er nicht: dort wird brutto gebucht)\n"
                        "  --netto         der Betrag ist netto; die Geldseite erhält den Bruttobetrag\n"
                        "  --beleg BELEG   die Belegnummer\n"
                        "  --ustid, --zm   USt-IdNr. des Abnehmers aus einem anderen EU-Staat und Art für die\n"
                        "                  Zusammenfassende Meldung (1 sonstige Leistung, 2 Dreiecksgeschäft,\n"
                        "                  3 Lieferung); nur bei Erlösen, die die Meldung erfasst, und passend zum\n"
                        "                  Gegenkonto (z. B. SKR03 8125: 3, 8130: 2, 8336: 1)\n"
                        "  --ja / --nein   Antwort auf die Frage bei einem Datum im festgeschriebenen Zeitraum"),
         cmdBook},
        {QStringLiteral("buchungen"), {}, {QStringLiteral("list")}, QList<Option>{{{"--json"}}} + zeitraumOptionen(),
         QStringLiteral("dalvo buchungen FALL [--json] [--monat M | --quartal Q | --jahr | --von D --bis D]"),
         QStringLiteral("zeigt die Buchungen"),
         QStringLiteral("Zeigt die Buchungen des Zeitraums (Vorgabe: das Steuerjahr), stornierte und Stornobuchungen\n"
                        "eingeschlossen.\n\nOptionen:\n  --json   als JSON-Liste mit den Buchungszeilen"),
         cmdList},
        {QStringLiteral("stornieren"), {}, {QStringLiteral("cancel")}, {}, QStringLiteral("dalvo stornieren FALL NR… [--ja|--nein]"),
         QStringLiteral("storniert Buchungen"),
         QStringLiteral("Storniert die Buchungen durch Gegenbuchungen mit demselben Belegdatum und gibt die\n"
                        "Nummern der Stornobuchungen aus, eine je Zeile. Alles oder nichts. Liegt eine\n"
                        "Stornobuchung im festgeschriebenen Zeitraum, wird vorher gefragt (--ja/--nein)."),
         cmdCancel},
        {QStringLiteral("loeschen"), {}, {QStringLiteral("delete")}, {}, QStringLiteral("dalvo loeschen FALL NR… [--ja|--nein]"),
         QStringLiteral("löscht Buchungen"),
         QStringLiteral("Löscht die Buchungen. Festgeschriebene Buchungen werden nie gelöscht: nach Rückfrage\n"
                        "werden sie storniert, und die Nummern der Stornobuchungen werden ausgegeben."),
         cmdDelete},
        {QStringLiteral("festschreiben"), {}, {QStringLiteral("lock")}, {}, QStringLiteral("dalvo festschreiben FALL TT.MM.JJJJ"),
         QStringLiteral("schreibt Buchungen fest"),
         QStringLiteral("Schreibt alle Buchungen bis zum Datum fest. Das Datum kann nur vorwärts verlegt werden und\n"
                        "liegt im Steuerjahr."),
         cmdLock},
        {QStringLiteral("pruefen"), {}, {QStringLiteral("verify")}, {}, QStringLiteral("dalvo pruefen FALL"), QStringLiteral("prüft alle Buchungen"),
         QStringLiteral("Prüft jede Buchung auf innere Stimmigkeit (Seiten, Steuerzeilen, Konten, Splittbuchungen,\n"
                        "Summen) und gibt die Befunde aus. Rückgabewert 1, wenn es Befunde gibt."),
         cmdVerify},
    };
}

}  // namespace cli
