// ElsterXML of the advance return and the CSV import of the recapitulative
// statement (see elster.h).
#include "kontbaum/austausch/elster.h"

#include "kontbaum/faktura/faktura.h"
#include "kontbaum/steuer/voranmeldung.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamWriter>

namespace Elster {

const char* const kBundeslandFeld = "Bundesland";

namespace {
// The uniform federal scheme per state: the prefix put before the state's
// own digits and how many digits the state writes. A state of 11 digits
// whose first digit is part of the office number keeps it ("9" + FFF);
// Hesse writes a leading 0 that the federal scheme drops ("26" + FF).
struct Land {
    const char* kuerzel;
    const char* praefix;
    int stellen;        // digits of the state's scheme
    bool fuehrendeNull; // the state's first digit is a 0 the federal scheme drops
};
const Land kLaender[] = {
    {"BW", "28", 10, false}, {"BY", "9", 11, false}, {"BE", "11", 10, false}, {"BB", "3", 11, false},
    {"HB", "24", 10, false}, {"HH", "22", 10, false}, {"HE", "26", 11, true}, {"MV", "4", 11, false},
    {"NI", "23", 10, false}, {"NW", "5", 11, false}, {"RP", "27", 10, false}, {"SL", "1", 11, false},
    {"SN", "3", 11, false},  {"ST", "3", 11, false},  {"SH", "21", 10, false}, {"TH", "4", 11, false},
};

const Land* land(const QString& k) {
    for (const Land& l : kLaender)
        if (k == QLatin1String(l.kuerzel)) return &l;
    return nullptr;
}

QString betragText(const EuroType& e, bool ganzeEuro) {
    if (ganzeEuro) return QString::number(e.cent() / 100);
    const qint64 c = e.cent();
    const qint64 a = c < 0 ? -c : c;
    return (c < 0 ? QStringLiteral("-") : QString()) + QString::number(a / 100) + QLatin1Char('.') +
           QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}
}  // namespace

QString bundesland(DBConnection* db) { return KontoGlobal::getFalleigenschaft(QLatin1String(kBundeslandFeld), db).trimmed().toUpper(); }

void setBundesland(const QString& kuerzel, DBConnection* db) {
    KontoGlobal::setFalleigenschaft(QLatin1String(kBundeslandFeld), kuerzel.trimmed().toUpper(), db);
}

bool bundeslandBekannt(const QString& kuerzel) { return land(kuerzel) != nullptr; }

QString steuernummer13(const QString& steuernummer, const QString& kuerzel, QString* fehler) {
    auto nein = [fehler](const QString& grund) {
        if (fehler) *fehler = grund;
        return QString();
    };
    const Land* l = land(kuerzel.trimmed().toUpper());
    if (!l)
        return nein(QStringLiteral("Das Bundesland des Finanzamts fehlt oder ist unbekannt; setzen Sie es mit „dalvo einstellungen FALL "
                                   "--bundesland KÜRZEL“ (BW, BY, BE, BB, HB, HH, HE, MV, NI, NW, RP, SL, SN, ST, SH, TH)."));
    QString z = steuernummer;
    z.remove(QRegularExpression(QStringLiteral("[\\s/]")));
    if (z.isEmpty())
        return nein(QStringLiteral("Die Steuernummer der Firma fehlt; erfassen Sie sie mit „dalvo firma FALL --steuernummer NUMMER“."));
    static const QRegularExpression ziffern(QStringLiteral("^[0-9]+$"));
    if (!ziffern.match(z).hasMatch())
        return nein(QStringLiteral("Die Steuernummer „%1“ enthält andere Zeichen als Ziffern, Schrägstriche und Leerzeichen.").arg(steuernummer));
    const QString praefix = QLatin1String(l->praefix);
    if (z.size() == 13) {
        if (!z.startsWith(praefix) || z.at(4) != QLatin1Char('0'))
            return nein(QStringLiteral("Die 13-stellige Steuernummer „%1“ passt nicht zum Bundesland %2 (sie beginnt dort mit %3, die fünfte "
                                       "Ziffer ist 0).")
                            .arg(steuernummer, QLatin1String(l->kuerzel), praefix));
        return z;
    }
    if (z.size() != l->stellen || (l->fuehrendeNull && z.at(0) != QLatin1Char('0')))
        return nein(QStringLiteral("Die Steuernummer „%1“ passt nicht zum Schema des Bundeslands %2 (%3 Ziffern%4).")
                        .arg(steuernummer, QLatin1String(l->kuerzel))
                        .arg(l->stellen)
                        .arg(l->fuehrendeNull ? QStringLiteral(", die erste eine 0") : QString()));
    if (l->fuehrendeNull) z = z.mid(1);
    // The office digits fill the federal office number to four places; the
    // last eight digits (district, number, check digit) follow a 0.
    return praefix + z.left(z.size() - 8) + QLatin1Char('0') + z.right(8);
}

bool kopfDesFalls(DBConnection* db, int jahr, int zeitraum, bool berichtigt, UStVAKopf* kopf, QString* fehler) {
    const Faktura::Firma f = Faktura::leseFirma(db);
    if (f.name.trimmed().isEmpty()) {
        if (fehler) *fehler = QStringLiteral("Der Name der Firma fehlt; erfassen Sie ihn mit „dalvo firma FALL --name NAME“.");
        return false;
    }
    // The portal takes the data supplier with postcode and town; a file
    // without them would only be refused there, after the upload.
    if (f.plz.trimmed().isEmpty() || f.ort.trimmed().isEmpty()) {
        if (fehler) *fehler = QStringLiteral("Postleitzahl und Ort der Firma fehlen; erfassen Sie sie mit „dalvo firma FALL --plz PLZ --ort ORT“.");
        return false;
    }
    const QString st = steuernummer13(f.steuernummer, bundesland(db), fehler);
    if (st.isEmpty()) return false;
    kopf->jahr = jahr;
    kopf->zeitraum = zeitraum;
    kopf->steuernummer = st;
    kopf->berichtigt = berichtigt;
    kopf->name = f.name.trimmed();
    kopf->strasse = f.strasse.trimmed();
    kopf->plz = f.plz.trimmed();
    kopf->ort = f.ort.trimmed();
    kopf->erstellt = zDate::today();
    return true;
}

QByteArray ustvaXml(const UStVAKopf& k, const QMap<int, EuroType>& kennzahlen, QString* fehler) {
    const bool monat = k.zeitraum >= 1 && k.zeitraum <= 12, quartal = k.zeitraum >= 41 && k.zeitraum <= 44;
    if (!monat && !quartal) {
        if (fehler) *fehler = QStringLiteral("Die Voranmeldung gilt für einen Monat oder ein Quartal, nicht für das ganze Jahr.");
        return QByteArray();
    }
    if (k.steuernummer.size() != 13) {
        if (fehler) *fehler = QStringLiteral("Die Steuernummer muss 13-stellig sein.");
        return QByteArray();
    }
    QByteArray daten;
    QXmlStreamWriter w(&daten);
    w.setCodec(QTextCodec::codecForName("ISO-8859-15"));
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(QStringLiteral("http://www.elster.de/elsterxml/schema/v11"));
    w.writeStartElement(QStringLiteral("Anmeldungssteuern"));
    w.writeAttribute(QStringLiteral("art"), QStringLiteral("UStVA"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("%1").arg(k.jahr) + QStringLiteral("01"));
    w.writeStartElement(QStringLiteral("DatenLieferant"));
    w.writeTextElement(QStringLiteral("Name"), k.name);
    if (!k.strasse.isEmpty()) w.writeTextElement(QStringLiteral("Strasse"), k.strasse);
    if (!k.plz.isEmpty()) w.writeTextElement(QStringLiteral("PLZ"), k.plz);
    if (!k.ort.isEmpty()) w.writeTextElement(QStringLiteral("Ort"), k.ort);
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("Erstellungsdatum"), k.erstellt.qdate().toString(QStringLiteral("yyyyMMdd")));
    w.writeStartElement(QStringLiteral("Steuerfall"));
    w.writeStartElement(QStringLiteral("Umsatzsteuervoranmeldung"));
    w.writeTextElement(QStringLiteral("Jahr"), QString::number(k.jahr));
    w.writeTextElement(QStringLiteral("Zeitraum"), QStringLiteral("%1").arg(k.zeitraum, 2, 10, QLatin1Char('0')));
    w.writeTextElement(QStringLiteral("Steuernummer"), k.steuernummer);
    if (k.berichtigt) w.writeTextElement(QStringLiteral("Kz10"), QStringLiteral("1"));
    // The codes in ascending order, as the data set lists them; an empty
    // field is left out, the result (83) is always there.
    for (auto it = kennzahlen.constBegin(); it != kennzahlen.constEnd(); ++it) {
        if (it.key() == 83 || it.value().isNull()) continue;
        w.writeTextElement(QStringLiteral("Kz%1").arg(it.key(), 2, 10, QLatin1Char('0')), betragText(it.value(), UStVA::volleEuro(it.key())));
    }
    w.writeTextElement(QStringLiteral("Kz83"), betragText(kennzahlen.value(83), false));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return daten;
}

QByteArray zmCsv(const QMap<QString, KontoGlobal::UstIdZm>& zeilen) {
    QString csv;
    for (const KontoGlobal::UstIdZm& z : zeilen) {
        if (z.Laenderkennzeichen.isEmpty() || z.UStIdNr.isEmpty()) continue;
        const QString art = z.ZMArt == 1 ? QStringLiteral("S") : z.ZMArt == 2 ? QStringLiteral("D") : QStringLiteral("L");
        // The amount in whole euros as the statement's other forms give it.
        csv += z.Laenderkennzeichen + QLatin1Char(',') + z.UStIdNr + QLatin1Char(',') + QString::number(z.Betrag.cent() / 100) +
               QLatin1Char(',') + art + QStringLiteral("\r\n");
    }
    if (csv.isEmpty()) return QByteArray();
    csv = QStringLiteral("#v1.0\r\nLänderkennzeichen,USt-IdNr.,Betrag (EUR),Art der Leistung\r\n") + csv;
    return QTextCodec::codecForName("ISO-8859-15")->fromUnicode(csv);
}

}  // namespace Elster
