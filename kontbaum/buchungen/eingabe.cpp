// The checks a booking passes before it is posted, shared by the booking
// command and the CSV import. The texts are the ones a user sees when
// `dalvo buchen` refuses; the import puts the row number in front.
#include "kontbaum/buchungen/buchungen.h"

#include "host/db/connection.h"
#include "host/db/datasource.h"
#include "kontbaum/steuer/ustid.h"

namespace {
// A placeholder some charts use for "several keys"; it never splits an amount.
constexpr unsigned long kKeinSchluessel = 999999;
}  // namespace

EingabePruefer::EingabePruefer(DBConnection* db, int steuerjahr)
    : m_db(db), m_jahr(steuerjahr), m_ustPflichtig(KontoGlobal::istUstPflichtig(db)) {}

QString EingabePruefer::ohneUstNein(unsigned long schluessel) {
    if (schluessel == 0 || schluessel == kKeinSchluessel) return QString();
    auto it = m_ohneUst.constFind(schluessel);
    if (it == m_ohneUst.constEnd()) {
        const KontoGlobal::ssDaten zeile = KontoGlobal::calcSteuerschluessel(m_db, schluessel, EuroType(), false, 2);
        it = m_ohneUst.insert(schluessel, KontoGlobal::schluesselOhneUstPflicht(m_db, schluessel, zeile));
    }
    return *it;
}

const EingabePruefer::Konto& EingabePruefer::konto_(unsigned long nr) {
    auto it = m_konten.constFind(nr);
    if (it != m_konten.constEnd()) return *it;
    Konto k;
    rsDataSource rs(m_db, QStringLiteral("SELECT Aktiv, Kategorie, Steuerautomatik, Steuerschluessel, UStVA FROM eurKontenplan WHERE Nummer=") +
                              rsDataSource::toSqlStr(nr));
    if (!rs.isEOF()) {
        k.gibt = true;
        k.aktiv = rs.field(QStringLiteral("Aktiv")).toLongLong() != 0;
        k.kategorie = rs.field(QStringLiteral("Kategorie")).toULong();
        k.automatik = long(rs.field(QStringLiteral("Steuerautomatik")).toLongLong());
        k.schluessel = rs.field(QStringLiteral("Steuerschluessel")).toULong();
        k.ustva = rs.field(QStringLiteral("UStVA")).toULong();
    }
    return *m_konten.insert(nr, k);
}

bool EingabePruefer::passtZurArt(unsigned long konto, int art, bool geldSeite) {
    const QPair<unsigned long, int> schluessel(konto, art * 2 + (geldSeite ? 1 : 0));
    auto it = m_passt.constFind(schluessel);
    if (it != m_passt.constEnd()) return *it;
    // The conditions of the booking dialog's account lists, so that a file
    // can name exactly the accounts the dialog offers.
    QString geld, gegen;
    KontoGlobal::calcKontoWhere(m_db, art, geld, gegen);
    const bool passt = GetDatenTyp(m_db, QStringLiteral("SELECT COUNT(*) FROM eurKontenplan WHERE Nummer=") + rsDataSource::toSqlStr(konto) +
                                             QStringLiteral(" AND ") + (geldSeite ? geld : gegen))
                           .toLongLong() > 0;
    m_passt.insert(schluessel, passt);
    return passt;
}

QString EingabePruefer::kontoPruefen(unsigned long nr, int art, bool geldSeite) {
    const Konto& k = konto_(nr);
    if (!k.gibt) return QStringLiteral("Das Konto %1 gibt es im Kontenplan nicht.").arg(nr);
    if (!k.aktiv) return QStringLiteral("Das Konto %1 ist nicht aktiv.").arg(nr);
    if (!passtZurArt(nr, art, geldSeite))
        return QStringLiteral("Das Konto %1 (Kategorie %2) passt als %3 nicht zur Buchungsart „%4“.")
            .arg(nr)
            .arg(k.kategorie)
            .arg(geldSeite ? QStringLiteral("Konto") : QStringLiteral("Gegenkonto"), KontoGlobal::getBuchungsartText(art, 0));
    return QString();
}

QString EingabePruefer::pruefen(BuchungsEingabe& e) {
    if (!e.betrag.imRahmen() || e.betrag <= EuroType())
        return QStringLiteral("Der Betrag %1 ist kein gültiger Betrag: erlaubt sind positive Beträge mit höchstens zwei "
                              "Nachkommastellen bis %2.")
            .arg(QString::number(e.betrag.alsDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(',')),
                 EuroType::hoechstbetragText());
    if (!e.belegdatum.isValid()) return QStringLiteral("Das Belegdatum fehlt.");
    if (e.belegdatum.year() != m_jahr)
        return QStringLiteral("Das Belegdatum %1 liegt nicht im Steuerjahr %2.").arg(e.belegdatum.getText()).arg(m_jahr);
    QString grund = kontoPruefen(e.konto, e.buchungsart, true);
    if (grund.isEmpty()) grund = kontoPruefen(e.gegenkonto, e.buchungsart, false);
    if (!grund.isEmpty()) return grund;
    // The counter account's key: a fixed key must be used, a default key
    // applies when none was entered.
    const Konto& gegen = konto_(e.gegenkonto);
    if (!e.schluesselAngegeben && gegen.automatik != 0) {
        e.steuerschluessel = gegen.schluessel;
        // The chart's default keys are those of a VAT-liable business; a
        // small business books the same expense gross.
        if (!m_ustPflichtig && gegen.automatik != 1 && !ohneUstNein(e.steuerschluessel).isEmpty()) e.steuerschluessel = 0;
    }
    if (gegen.automatik == 1 && e.steuerschluessel != gegen.schluessel)
        return QStringLiteral("Auf dem Konto %1 ist der Steuerschlüssel %2 fest eingestellt.").arg(e.gegenkonto).arg(gegen.schluessel);
    if (e.steuerschluessel != 0 && !m_ustPflichtig) {
        const QString nein = ohneUstNein(e.steuerschluessel);
        if (!nein.isEmpty() && gegen.automatik == 1)
            return QStringLiteral("Auf dem Konto %1 ist der Steuerschlüssel %2 fest eingestellt; der Fall ist aber nicht "
                                  "umsatzsteuerpflichtig (Kleinunternehmer nach § 19 UStG). Buchen Sie auf ein Konto ohne "
                                  "festen Steuerschlüssel.")
                .arg(e.gegenkonto)
                .arg(gegen.schluessel);
        if (!nein.isEmpty()) return nein;
    }
    if (e.steuerschluessel == kKeinSchluessel) return QStringLiteral("Den Steuerschlüssel %1 gibt es nicht.").arg(e.steuerschluessel);
    if (e.steuerschluessel != 0) {
        auto it = m_schluesselNein.constFind(e.steuerschluessel);
        if (it == m_schluesselNein.constEnd())
            it = m_schluesselNein.insert(e.steuerschluessel, KontoGlobal::pruefeSteuerschluesselAktiv(m_db, e.steuerschluessel));
        if (!it->isEmpty()) return *it;
    }
    const QPair<unsigned long, unsigned long> paar(e.gegenkonto, e.steuerschluessel);
    auto regel = m_regel.constFind(paar);
    if (regel == m_regel.constEnd()) regel = m_regel.insert(paar, KontoGlobal::isSteuerschluesselOK(e.gegenkonto, e.steuerschluessel, m_db));
    if (*regel != 0) return KontoGlobal::steuerschluesselRegelText(*regel);
    return zmPruefen(e);
}

QString EingabePruefer::zmPruefen(const BuchungsEingabe& e) {
    if (e.ustid.isEmpty() && e.zmart == 0) return QString();
    const QString id = UStId::pruefen(e.ustid);
    if (!id.isEmpty()) return id;
    auto s = m_schluesselZm.constFind(e.steuerschluessel);
    if (s == m_schluesselZm.constEnd()) {
        Schluessel neu;
        rsDataSource rs(m_db, QStringLiteral("SELECT Steuerart, Steuersatz, VAKZUmsatz FROM eurSteuerschluessel WHERE Steuerschluessel=") +
                                  rsDataSource::toSqlStr(e.steuerschluessel));
        if (!rs.isEOF()) {
            neu.ohneDeutscheSteuer = rs.field(QStringLiteral("Steuerart")).toString() == QLatin1String("U") &&
                                     rs.field(QStringLiteral("Steuersatz")).toDouble() == 0.0;
            neu.ustva = rs.field(QStringLiteral("VAKZUmsatz")).toULong();
        }
        s = m_schluesselZm.insert(e.steuerschluessel, neu);
    }
    // The advance return files the line under the account's own code; a
    // key's code stands in for an account without one, as for the statement.
    const Konto& k = konto_(e.gegenkonto);
    const unsigned long code = k.ustva != 0 ? k.ustva : s->ustva;
    const UStId::BuchungsArt art = UStId::artDerZeile(k.kategorie, code, s->ohneDeutscheSteuer);
    if (art == UStId::KeineMeldung)
        return QStringLiteral("Eine USt-IdNr. mit ZM-Art gehört nur zu Erlösen, die die Zusammenfassende Meldung erfasst: "
                              "steuerfreie innergemeinschaftliche Lieferungen, Lieferungen des ersten Abnehmers im "
                              "innergemeinschaftlichen Dreiecksgeschäft und im übrigen Gemeinschaftsgebiet steuerpflichtige "
                              "sonstige Leistungen. Das Gegenkonto %1 (Kategorie %2) mit dem Steuerschlüssel %3 ist kein solcher Erlös.")
            .arg(e.gegenkonto)
            .arg(k.kategorie)
            .arg(e.steuerschluessel);
    if (e.zmart != art)
        return QStringLiteral("Die ZM-Art %1 passt nicht zum Gegenkonto %2: die Zusammenfassende Meldung führt diesen Erlös als ZM-Art %3.")
            .arg(UStId::artText(e.zmart))
            .arg(e.gegenkonto)
            .arg(UStId::artText(art));
    return QString();
}

QString EingabePruefer::pruefeSeite(int art, bool geldHaben) {
    const bool geldImSoll = art == 1 || art == 5;   // income, refund of an expense
    const bool geldImHaben = art == 2 || art == 4;  // expense, refund of income
    if (geldImSoll && geldHaben)
        return QStringLiteral("Bei der Buchungsart „%1“ steht der Betrag des Gegenkontos im Haben, hier steht er im Soll.")
            .arg(KontoGlobal::getBuchungsartText(art, 0));
    if (geldImHaben && !geldHaben)
        return QStringLiteral("Bei der Buchungsart „%1“ steht der Betrag des Gegenkontos im Soll, hier steht er im Haben.")
            .arg(KontoGlobal::getBuchungsartText(art, 0));
    return QString();
}

QString EingabePruefer::pruefen(KontoGlobal::BuchungsEntwurf& b, const zDate& datum, bool schluesselAngegeben) {
    for (KontoGlobal::BuchungsTeil& t : b.teile) {
        BuchungsEingabe e;
        e.buchungsart = b.buchungsart;
        e.belegdatum = datum;
        e.konto = b.konto;
        e.gegenkonto = t.konto;
        e.steuerschluessel = t.steuerschluessel;
        e.schluesselAngegeben = schluesselAngegeben;
        e.betrag = t.betrag;
        e.ustid = b.ustid;
        e.zmart = b.zmart;
        const QString nein = pruefen(e);
        if (!nein.isEmpty()) return nein;
        t.steuerschluessel = e.steuerschluessel;
        b.ustid = e.ustid;
    }
    return QString();
}
