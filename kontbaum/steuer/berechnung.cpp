// The calculation file of a case: the advance-VAT figures of the year and
// the income-surplus statement by section, category and account, as XML,
// and its comparison with a reference, so that a program version that
// computes a figure differently shows up as a difference.
#include "kontbaum/fall/kontbaum.h"

#include "host/app/atomicfile.h"
#include "host/app/global.h"
#include "host/app/log.h"
#include "kontbaum/berichte/berichte.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldung.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>

namespace {
const QString kQuelle = QStringLiteral("kontbaum/berechnung");

// The codes of the advance return in the file's order. `quelle` says where
// the amount comes from: 0 what the form carries for the code, 1 the tax the
// form computes from the base, 2 and up the computed lines of the return.
enum Quelle { Eintrag, Steuer, Umsatzsteuer, Verbleibend, VorSonder };
struct Kennziffer {
    const char* nummer;
    int code;
    const char* name;
    Quelle quelle;
};
const Kennziffer kKennziffern[] = {
    {"41", 41, "InnergemeinschaftlicheLieferungen", Eintrag}, {"44", 44, "NeueFahrzeuge", Eintrag},
    {"49", 49, "NeueFahrzeugeAusserhalbUnternehmen", Eintrag}, {"43", 43, "WeitereSteuerfreieUmsaetzeMitVorst", Eintrag},
    {"48", 48, "UmsaetzeNach_Par28UStG", Eintrag}, {"51", 51, "LieferungenVoll", Eintrag}, {"51St", 51, "LieferungenVoll", Steuer},
    {"86", 86, "LieferungenErmaessigt", Eintrag}, {"86St", 86, "LieferungenErmaessigt", Steuer}, {"35", 35, "LieferungenAndere", Eintrag},
    {"36", 36, "LieferungenAndere", Eintrag}, {"77", 77, "LuFGemeinschaftsgebiet", Eintrag}, {"76", 76, "LuFGetraenke", Eintrag},
    {"80", 80, "LuFGetraenke", Eintrag}, {"91", 91, "ErwerbNach_Par4UStG", Eintrag}, {"97", 97, "InnergemeinschaftlichVoll", Eintrag},
    {"97St", 97, "InnergemeinschaftlichVoll", Steuer}, {"93", 93, "InnergemeinschaftlichErmaessigt", Eintrag}, {"93St", 93, "", Steuer},
    {"95", 95, "InnergemeinschaftlichErmaessigt", Eintrag}, {"98", 98, "InnergemeinschaftlichAndereSteuersaetze", Eintrag},
    {"94", 94, "InnergemeinschaftlichFahrzeuge", Eintrag}, {"96", 96, "InnergemeinschaftlichFahrzeuge", Eintrag},
    {"42", 42, "Dreiecksgeschaefte", Eintrag}, {"60", 60, "Steuerpfl_Umsaetze", Eintrag}, {"68", 68, "Steuerpfl_Umsaetze_Mobiltelefon", Eintrag},
    {"21", 21, "nichtSteuerbareLeistungen", Eintrag}, {"45", 45, "nichtSteuerbareUmsaetze", Eintrag},
    {"46", 46, "Steuerschulden_Leistungen_Innland", Eintrag}, {"47", 47, "Steuerschulden_Leistungen_Innland", Eintrag},
    {"52", 52, "Steuerschulden_Leistungen", Eintrag}, {"53", 53, "Steuerschulden_Leistungen", Eintrag},
    {"73", 73, "Steuerschulden_Lieferungen", Eintrag}, {"74", 74, "Steuerschulden_Lieferungen", Eintrag},
    {"84", 84, "Steuerschulden_Bauleistungen", Eintrag}, {"85", 85, "Steuerschulden_Bauleistungen", Eintrag},
    {"65", 65, "WechselBesteuerungsart", Eintrag}, {"66", 66, "RechnungAndererUnternehmen", Eintrag},
    {"61", 61, "InnergemeinschaftlicherErwerb", Eintrag}, {"62", 62, "Einfuhrumsatzsteuer", Eintrag},
    {"67", 67, "VorsteuerNachLeistungen", Eintrag}, {"63", 63, "NachDurchschnittssaetzen", Eintrag},
    {"64", 64, "BerichtigungVorsteuerabzug", Eintrag}, {"59", 59, "NeueFahrzeuge", Eintrag},
    {"69", 69, "UnberechtigtAusgewieseneSteuerbetraege", Eintrag}, {"Z. 43", 0, "Umsatzsteuer", Umsatzsteuer},
    {"Z. 45", 0, "Uebertrag", Umsatzsteuer}, {"Z. 53", 0, "Umsatzsteuer", Umsatzsteuer}, {"Z. 62", 0, "VerbleibenderBetrag", Verbleibend},
    {"Z. 65", 0, "VorauszahlungUeberschuss", VorSonder}, {"39", 39, "AnrechnungSondervorauszahlung", Eintrag},
    {"83", 83, "VerbleibendeVorauszahlungUeberschuss", Eintrag},
};

void schreibeUStVA(QXmlStreamWriter& w, KontoGlobal* kg) {
    OAnmeldungVorauszahlungen a;
    OAnmeldungVorauszahlungen2 a2;
    OAbziehbareVorsteuerbetraege v;
    if (kg) Kont_::GetUmsaetze(kg->getSlot(), a, a2, v, 1);
    const QMap<int, EuroType> eintrag = UStVA::eintraege(a, a2, v);
    const QMap<int, EuroType> steuer = UStVA::berechneteSteuern(a);
    w.writeStartElement(QStringLiteral("UStVA"));
    for (const Kennziffer& k : kKennziffern) {
        EuroType betrag;
        switch (k.quelle) {
        case Eintrag: betrag = eintrag.value(k.code); break;
        case Steuer: betrag = steuer.value(k.code); break;
        case Umsatzsteuer: betrag = a.umsatzsteuer; break;
        case Verbleibend: betrag = a2.verbleibend; break;
        case VorSonder: betrag = a2.verbleibend + a2.felder.value(69).steuer; break;
        }
        w.writeEmptyElement(QStringLiteral("Kennziffer"));
        w.writeAttribute(QStringLiteral("nummer"), QLatin1String(k.nummer));
        w.writeAttribute(QStringLiteral("name"), QLatin1String(k.name));
        w.writeAttribute(QStringLiteral("summe"), betrag.getText(EuroType::TextPunkt));
    }
    w.writeEndElement();
}

void schreibeEuer(QXmlStreamWriter& w) {
    EUERechnung2 r;
    r.Fuellen();
    w.writeStartElement(QStringLiteral("EueRechnung"));
    w.writeAttribute(QStringLiteral("summe"), r.gewinn().getText());
    struct Abschnitt {
        const char* name;
        EuroType summe;
        bool negiert;
    };
    const Abschnitt abschnitte[] = {{"Einnahmen", r.einnahmen(), false},
                                    {"Ausgaben", r.ausgaben(), true},
                                    {"Iab", r.iab(), true},
                                    {"IabAufloesung", r.iabAufloesung(), false}};
    for (int i = 0; i < 4; ++i) {
        w.writeStartElement(QLatin1String(abschnitte[i].name));
        w.writeAttribute(QStringLiteral("summe"), abschnitte[i].summe.getText());
        for (const EUERechnung2::Kategorie& c : r.kategorien()) {
            const int abschnitt = c.einnahme ? 0 : c.kategorie == 5903 ? 2 : c.kategorie == 5904 ? 3 : 1;
            if (abschnitt != i) continue;
            w.writeStartElement(QStringLiteral("Kategorie"));
            w.writeAttribute(QStringLiteral("nummer"), QString::number(c.kategorie));
            w.writeAttribute(QStringLiteral("name"), c.bezeichnung);
            w.writeAttribute(QStringLiteral("summe"), (abschnitte[i].negiert ? -c.summe : c.summe).getText());
            for (const EUERechnung2::KontoSumme& k : c.konten) {
                w.writeEmptyElement(QStringLiteral("Konto"));
                w.writeAttribute(QStringLiteral("nummer"), QString::number(k.konto));
                w.writeAttribute(QStringLiteral("name"), k.bezeichnung);
                w.writeAttribute(QStringLiteral("summe"), (abschnitte[i].negiert ? -k.summe : k.summe).getText());
            }
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}

// Elements are told apart by their number where they have one, else by
// their name and position among equally named siblings.
QString schluessel(const QDomElement& e, int position) {
    if (e.hasAttribute(QStringLiteral("nummer")) &&
        (e.tagName() == QLatin1String("Kennziffer") || e.tagName() == QLatin1String("Kategorie") || e.tagName() == QLatin1String("Konto")))
        return e.tagName() + QLatin1Char(' ') + e.attribute(QStringLiteral("nummer"));
    return position == 0 ? e.tagName() : QStringLiteral("%1[%2]").arg(e.tagName()).arg(position + 1);
}

QList<QPair<QString, QDomElement>> kinder(const QDomElement& e) {
    QList<QPair<QString, QDomElement>> l;
    QMap<QString, int> gleichnamig;
    for (QDomElement k = e.firstChildElement(); !k.isNull(); k = k.nextSiblingElement()) {
        if (k.tagName() == QLatin1String("Description")) continue;
        l << qMakePair(schluessel(k, gleichnamig[k.tagName()]++), k);
    }
    return l;
}

QString attributText(const QDomElement& e) {
    const QString s = e.attribute(QStringLiteral("summe"));
    return s.isEmpty() ? QString() : QStringLiteral(" (Summe %1)").arg(s);
}

void vergleiche(const QDomElement& ref, const QDomElement& akt, const QString& pfad, const QString& praefix, QStringList* out) {
    const QDomNamedNodeMap ra = ref.attributes(), aa = akt.attributes();
    QStringList namen;
    for (int i = 0; i < ra.count(); ++i) namen << ra.item(i).nodeName();
    for (int i = 0; i < aa.count(); ++i)
        if (!namen.contains(aa.item(i).nodeName())) namen << aa.item(i).nodeName();
    for (const QString& n : namen) {
        const QString r = ref.attribute(n), a = akt.attribute(n);
        if (ref.hasAttribute(n) == akt.hasAttribute(n) && r == a) continue;
        *out << praefix + QStringLiteral("%1: %2 ist „%3“, laut Referenz „%4“.")
                              .arg(pfad, n, akt.hasAttribute(n) ? a : QStringLiteral("(fehlt)"), ref.hasAttribute(n) ? r : QStringLiteral("(fehlt)"));
    }
    const QList<QPair<QString, QDomElement>> rk = kinder(ref), ak = kinder(akt);
    QMap<QString, QDomElement> aktuell;
    for (const auto& p : ak) aktuell.insert(p.first, p.second);
    QSet<QString> gesehen;
    for (const auto& p : rk) {
        const QString unter = pfad.isEmpty() ? p.first : pfad + QLatin1Char('/') + p.first;
        gesehen.insert(p.first);
        if (!aktuell.contains(p.first))
            *out << praefix + QStringLiteral("%1 fehlt, die Referenz hat es%2.").arg(unter, attributText(p.second));
        else
            vergleiche(p.second, aktuell.value(p.first), unter, praefix, out);
    }
    for (const auto& p : ak)
        if (!gesehen.contains(p.first))
            *out << praefix + QStringLiteral("%1 ist neu, die Referenz hat es nicht%2.")
                                  .arg(pfad.isEmpty() ? p.first : pfad + QLatin1Char('/') + p.first, attributText(p.second));
}

bool falscheEndung(const QString& datei) {
    if (!datei.endsWith(QLatin1String("$$$"))) return false;
    rs_logError(kQuelle, __LINE__, QStringLiteral("Calculation: \"%1\" hat ungültige Dateiendung.").arg(datei));
    return true;
}
}  // namespace

QByteArray Kont_::berechnungXml() {
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    // The figures of the whole year on the default parameters. Only the
    // manager's cache is reset: the user's analysis and report settings
    // stay in their nodes, which the calculation leaves alone.
    if (kg) kg->setDefaultFormularData();
    QByteArray text;
    QXmlStreamWriter w(&text);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(3);
    w.writeStartDocument();
    w.writeDTD(QStringLiteral("<!DOCTYPE Einnahmenüberschussrechnung>"));
    w.writeStartElement(QStringLiteral("Einnahmenüberschussrechnung"));
    w.writeEmptyElement(QStringLiteral("Description"));
    w.writeAttribute(QStringLiteral("Programmname"), QStringLiteral("dalvo16"));
    w.writeAttribute(QStringLiteral("Version"), QStringLiteral(DALVO_VERSION));
    w.writeAttribute(QStringLiteral("Art"), QStringLiteral("Release"));
    w.writeAttribute(QStringLiteral("Verified"), QStringLiteral("false"));
    w.writeAttribute(QStringLiteral("Generated"), QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy-hh:mm")));
    w.writeAttribute(QStringLiteral("Modus"), QStringLiteral("Einnahmenüberschussrechnung"));
    w.writeAttribute(QStringLiteral("Kont_jahr"), QString::number(kg ? kg->getSteuerjahr() : 0));
    w.writeAttribute(QStringLiteral("UstPflicht"), QString::number(kg && kg->getUstPflicht() ? 1 : 0));
    schreibeUStVA(w, kg);
    schreibeEuer(w);
    w.writeEndElement();
    w.writeEndDocument();
    // The files travel between systems that compare them as text.
    return text.replace("\r\n", "\n").replace("\n", "\r\n");
}

bool Kont_::vergleicheBerechnung(const QByteArray& referenz, const QByteArray& aktuell, const QString& praefix,
                                 QStringList* unterschiede, QString* fehler) {
    QDomDocument r, a;
    QString meldung;
    int zeile = 0;
    if (!r.setContent(referenz, &meldung, &zeile)) {
        if (fehler) *fehler = QStringLiteral("Die Referenz ist kein lesbares XML (Zeile %1: %2).").arg(zeile).arg(meldung);
        return false;
    }
    if (!a.setContent(aktuell, &meldung, &zeile)) {
        if (fehler) *fehler = QStringLiteral("Die Berechnung ist kein lesbares XML (Zeile %1: %2).").arg(zeile).arg(meldung);
        return false;
    }
    unterschiede->clear();
    vergleiche(r.documentElement(), a.documentElement(), QString(), praefix, unterschiede);
    return true;
}

QString Kont_::berechnungsVerzeichnis() { return GetGlobal().GetWriteableHomeDir() + QStringLiteral("/Berechnung"); }

namespace {
QString zielDatei(const QString& datei, bool referenz) {
    const QFileInfo fi(datei);
    return (referenz ? fi.absolutePath() + QStringLiteral("/Referenz") : Kont_::berechnungsVerzeichnis()) + QLatin1Char('/') + fi.fileName();
}
}  // namespace

int Kont_::writeDOMTree(const QString& datei, bool referenz) {
    if (falscheEndung(datei)) return 1;
    const QString ziel = zielDatei(datei, referenz);
    QString fehler;
    if (!QDir().mkpath(QFileInfo(ziel).absolutePath()) || !rsWriteFileAtomic(ziel, berechnungXml(), &fehler)) {
        rs_logError(kQuelle, __LINE__, QStringLiteral("Calculation: \"%1\" kann nicht geschrieben werden. %2").arg(ziel, fehler));
        return 1;
    }
    return 0;
}

int Kont_::compareDOMTree(const QString& datei, QStringList* unterschiede) {
    QStringList liste;
    if (!unterschiede) unterschiede = &liste;
    unterschiede->clear();
    if (falscheEndung(datei)) return VergleichFehler;
    const QString referenz = zielDatei(datei, true), aktuell = zielDatei(datei, false);
    const bool neu = !QFileInfo::exists(referenz);
    if (writeDOMTree(datei, false) != 0 || (neu && writeDOMTree(datei, true) != 0)) return VergleichFehler;
    // The first run has nothing to compare with: that is no success.
    if (neu) return VergleichReferenzNeu;
    QFile r(referenz), a(aktuell);
    if (!r.open(QIODevice::ReadOnly)) {
        rs_logError(kQuelle, __LINE__, QStringLiteral("Calculation: Das Referenzdokument \"%1\" existiert, kann aber nicht geöffnet werden.").arg(referenz));
        return VergleichFehler;
    }
    if (!a.open(QIODevice::ReadOnly)) {
        rs_logError(kQuelle, __LINE__, QStringLiteral("Calculation: Das generiert Dokument \"%1\" existiert, kann aber nicht geöffnet werden.").arg(aktuell));
        return VergleichFehler;
    }
    QString fehler;
    if (!vergleicheBerechnung(r.readAll(), a.readAll(), QStringLiteral("Calculation: ") + QFileInfo(datei).fileName() + QStringLiteral(": "),
                              unterschiede, &fehler)) {
        rs_logError(kQuelle, __LINE__, QStringLiteral("Calculation: Das Referenzdokument \"%1\" existiert kann aber nicht gelesen werden. %2").arg(referenz, fehler));
        return VergleichFehler;
    }
    for (const QString& u : *unterschiede) rs_logError(kQuelle, __LINE__, u);
    return unterschiede->isEmpty() ? VergleichGleich : VergleichUnterschiede;
}
