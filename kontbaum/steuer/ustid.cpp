// The formats of the VAT identification numbers of the member states (as of
// 2016, after the Federal Central Tax Office's table "Aufbau der
// USt-IdNr. in den EU-Mitgliedstaaten") and the rule which revenue the
// recapitulative statement reports.
#include "kontbaum/steuer/ustid.h"

#include <QRegularExpression>
#include <QVector>

namespace {
struct Staat {
    const char* praefix;
    const char* name;
    const char* muster;  // the part after the prefix
    const char* aufbau;  // as a user reads it in the refusal
};

// Germany is left out on purpose: a German number is never the customer of
// an intra-Community supply the statement reports.
const Staat kStaaten[] = {
    {"AT", "Österreich", "U[0-9]{8}", "„U“ und 8 Ziffern"},
    {"BE", "Belgien", "[01][0-9]{9}", "10 Ziffern, die erste 0 oder 1"},
    {"BG", "Bulgarien", "[0-9]{9,10}", "9 oder 10 Ziffern"},
    {"CY", "Zypern", "[0-9]{8}[A-Z]", "8 Ziffern und ein Buchstabe"},
    {"CZ", "Tschechien", "[0-9]{8,10}", "8 bis 10 Ziffern"},
    {"DK", "Dänemark", "[0-9]{8}", "8 Ziffern"},
    {"EE", "Estland", "[0-9]{9}", "9 Ziffern"},
    {"EL", "Griechenland", "[0-9]{9}", "9 Ziffern"},
    {"ES", "Spanien", "[0-9A-Z][0-9]{7}[0-9A-Z]", "9 Stellen, die erste und die letzte dürfen Buchstaben sein"},
    {"FI", "Finnland", "[0-9]{8}", "8 Ziffern"},
    {"FR", "Frankreich", "[0-9A-Z]{2}[0-9]{9}", "2 Zeichen (Ziffern oder Buchstaben) und 9 Ziffern"},
    {"GB", "Vereinigtes Königreich", "[0-9]{9}|[0-9]{12}|GD[0-9]{3}|HA[0-9]{3}", "9 oder 12 Ziffern, oder „GD“/„HA“ und 3 Ziffern"},
    {"HR", "Kroatien", "[0-9]{11}", "11 Ziffern"},
    {"HU", "Ungarn", "[0-9]{8}", "8 Ziffern"},
    {"IE", "Irland", "[0-9][0-9A-Z+*][0-9]{5}[A-Z]|[0-9]{7}[A-W][A-I]",
     "8 Stellen (die zweite darf, die letzte muss ein Buchstabe sein) oder 7 Ziffern und 2 Buchstaben"},
    {"IT", "Italien", "[0-9]{11}", "11 Ziffern"},
    {"LT", "Litauen", "[0-9]{9}|[0-9]{12}", "9 oder 12 Ziffern"},
    {"LU", "Luxemburg", "[0-9]{8}", "8 Ziffern"},
    {"LV", "Lettland", "[0-9]{11}", "11 Ziffern"},
    {"MT", "Malta", "[0-9]{8}", "8 Ziffern"},
    {"NL", "Niederlande", "[0-9]{9}B[0-9]{2}", "9 Ziffern, „B“ und 2 Ziffern"},
    {"PL", "Polen", "[0-9]{10}", "10 Ziffern"},
    {"PT", "Portugal", "[0-9]{9}", "9 Ziffern"},
    {"RO", "Rumänien", "[0-9]{2,10}", "2 bis 10 Ziffern"},
    {"SE", "Schweden", "[0-9]{10}01", "12 Ziffern, die letzten beiden „01“"},
    {"SI", "Slowenien", "[0-9]{8}", "8 Ziffern"},
    {"SK", "Slowakei", "[0-9]{10}", "10 Ziffern"},
};

const Staat* staat(const QString& praefix) {
    for (const Staat& s : kStaaten)
        if (praefix == QLatin1String(s.praefix)) return &s;
    return nullptr;
}
}  // namespace

namespace UStId {

QString pruefen(const QString& id) {
    const QString praefix = id.left(2);
    if (praefix == QLatin1String("DE"))
        return QStringLiteral("Die USt-IdNr. „%1“ ist eine deutsche; in die Zusammenfassende Meldung gehören nur Abnehmer mit der "
                              "USt-IdNr. eines anderen Mitgliedstaats.")
            .arg(id);
    if (praefix == QLatin1String("GR"))
        return QStringLiteral("Die USt-IdNr. „%1“ beginnt mit „GR“; griechische USt-IdNrn. tragen das Länderkennzeichen „EL“.").arg(id);
    const Staat* s = staat(praefix);
    if (!s)
        return QStringLiteral("Die USt-IdNr. „%1“ beginnt nicht mit dem Länderkennzeichen eines anderen EU-Mitgliedstaats (AT, BE, BG, "
                              "CY, CZ, DK, EE, EL, ES, FI, FR, GB, HR, HU, IE, IT, LT, LU, LV, MT, NL, PL, PT, RO, SE, SI, SK).")
            .arg(id);
    static QVector<QRegularExpression> muster;
    if (muster.isEmpty())
        for (const Staat& st : kStaaten)
            muster.append(QRegularExpression(QStringLiteral("\\A(?:%1)\\z").arg(QLatin1String(st.muster))));
    if (!muster[int(s - kStaaten)].match(id.mid(2)).hasMatch())
        return QStringLiteral("Die USt-IdNr. „%1“ hat nicht den Aufbau einer USt-IdNr. aus %2: nach „%3“ folgen %4.")
            .arg(id, QString::fromUtf8(s->name), QLatin1String(s->praefix), QString::fromUtf8(s->aufbau));
    return QString();
}

bool istErloesKategorie(unsigned long kategorie) { return kategorie >= 4000 && kategorie <= 4999 && kategorie != 4203; }

BuchungsArt artDerZeile(unsigned long kategorie, unsigned long ustvaKennziffer, bool steuerfreiOderAuslaendisch) {
    if (!istErloesKategorie(kategorie) || !steuerfreiOderAuslaendisch) return KeineMeldung;
    switch (ustvaKennziffer) {
    case kKennzifferLieferung: return Lieferung;
    case kKennzifferDreieck: return Dreiecksgeschaeft;
    case kKennzifferLeistung: return SonstigeLeistung;
    default: return KeineMeldung;
    }
}

QString artText(int buchungsArt) {
    switch (buchungsArt) {
    case SonstigeLeistung: return QStringLiteral("1 (S, sonstige Leistung)");
    case Dreiecksgeschaeft: return QStringLiteral("2 (D, Dreiecksgeschäft)");
    case Lieferung: return QStringLiteral("3 (L, innergemeinschaftliche Lieferung)");
    default: return QString::number(buchungsArt);
    }
}

}  // namespace UStId
