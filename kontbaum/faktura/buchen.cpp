// Invoices in the ledger: posting a paid invoice, reopening it when its
// payment booking goes, the due reminders and the dunning letters.
#include "kontbaum/faktura/intern.h"

#include "host/app/options.h"
#include "host/app/ui.h"
#include "kontbaum/buchungen/buchungen.h"
#include "kontbaum/steuer/ustid.h"

namespace Faktura {
using namespace intern;

QList<Beleg> buchungskandidaten(DBConnection* db) {
    QList<Beleg> l;
    db = rsFallDB(db);
    if (!db) return l;
    // Outer join: an invoice whose customer is missing is revenue all the same.
    rsDataSource rs(db, QStringLiteral("SELECT r.ID AS ID FROM reRechnungen r LEFT JOIN rePersonen p ON r.PersonID=p.PersonID "
                                       "WHERE r.ID<>0 AND r.Nummer IS NOT NULL AND r.Nummer<>'' AND r.Nummer NOT IN (SELECT Zusatzinfo "
                                       "FROM eurVerbucht WHERE Storno=0 AND Storniert=0 AND Zusatzinfo IS NOT NULL AND Zusatzinfo<>'') "
                                       "ORDER BY r.ID"));
    for (; !rs.isEOF(); rs.fetch()) {
        Beleg b;
        if (leseBeleg(db, Belegart::Rechnung, rs.field(QStringLiteral("ID")).toULong(), &b)) l << b;
    }
    return l;
}

QString buchungstext(DBConnection* db, const Beleg& b, const QString& muster) {
    db = rsFallDB(db);
    QString t = muster;
    if (t.isEmpty())
        t = rsOptionsGlobal::instance().getString(QStringLiteral("Reb"), QStringLiteral("RechnungenVerbuchenBuchungstext"),
                                                  QStringLiteral("[Art] [Rechnungsnummer] vom [Datum] ([Kundenname])"));
    Person p;
    const bool mitKunde = lesePerson(db, b.personID, &p);
    t.replace(QStringLiteral("[Art]"), b.rechnungsart == 1 ? QStringLiteral("Gutschrift") : QStringLiteral("Rechnung"));
    t.replace(QStringLiteral("[Rechnungsnummer]"), b.nummer);
    t.replace(QStringLiteral("[Datum]"), b.datum.getText());
    t.replace(QStringLiteral("[Kundennummer]"), mitKunde ? p.kundennummer : QString());
    t.replace(QStringLiteral("[Kundenname]"), mitKunde ? p.anzeigename() : QStringLiteral("Nicht ausgewählt"));
    return t.simplified();
}

namespace {
// The output key for shipping at `satz`: a key of the invoice's positions
// with that rate, else the case's domestic output key of that rate.
unsigned long versandSchluessel(DBConnection* db, const Beleg& b, double satz, unsigned long* konto) {
    for (const Position& p : b.positionen)
        if (qAbs(schluesselInfo(db, p.steuerschluessel).satz - satz) < 0.001) {
            *konto = p.konto;
            return p.steuerschluessel;
        }
    if (!b.positionen.isEmpty()) *konto = b.positionen.first().konto;
    if (satz == 0.0) return 0;
    return wert(db, QStringLiteral("SELECT Steuerschluessel FROM eurSteuerschluessel WHERE Steuerart='U' AND IG_Erwerb=0 AND "
                                   "Steuersatz=? AND VAKZUmsatz IN (81,86) ORDER BY Steuerschluessel"),
                {DatenTyp(satz)})
        .toULong();
}

// Whether the discount is spread per revenue account (and key) or per key.
bool skontoNachKonten() {
    return rsOptionsGlobal::instance().getInt(QStringLiteral("Reb"), QStringLiteral("RebRechnungNachKontenBuchen"), 1) != 0;
}
}  // namespace

bool zahlungsbedingungVon(DBConnection* db, const Beleg& b, Zahlungsbedingung* z) {
    db = rsFallDB(db);
    if (leseZahlungsbedingung(db, b.zahlungsbedingungID, z)) return true;
    Person p;
    return lesePerson(db, b.personID, &p) && leseZahlungsbedingung(db, p.zahlungsbedingungID, z);
}

EuroType skontoMoeglich(DBConnection* db, const Beleg& b, const zDate& zahlung, QString* fehler) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return EuroType();
    };
    const Summen s = berechneSummen(db, b);
    if (s.endsumme <= EuroType())
        return nein(QStringLiteral("Skonto gibt es nur auf eine Rechnung mit positiver Summe, nicht auf eine Rechnungskorrektur."));
    Zahlungsbedingung z;
    if (!zahlungsbedingungVon(db, b, &z) || z.skonto1 <= 0.0)
        return nein(QStringLiteral("Die Zahlungsbedingungen der Rechnung %1 gewähren kein Skonto. Legen Sie es beim Kunden fest "
                                   "(dalvo kunde FALL aendern KUNDE --zahlungsziel TAGE --skonto PROZENT --skontotage TAGE) oder buchen "
                                   "Sie ohne Skonto.")
                        .arg(b.nummer));
    const zDate frist = b.datum.addDays(z.skontotage1);
    if (frist < zahlung)
        return nein(QStringLiteral("Die Zahlung am %1 liegt nach der Skontofrist der Rechnung %2 (bis %3); Skonto steht nicht mehr zu. "
                                   "Buchen Sie den vollen Betrag.")
                        .arg(zahlung.getText(), b.nummer, frist.getText()));
    return s.endsumme.prozent(z.skonto1);
}

unsigned long skontoKonto(DBConnection* db, unsigned long schluessel) {
    db = rsFallDB(db);
    const unsigned long eigenes = KontoGlobal::getSkontiKontoForSteuerschluessel(db, schluessel);
    if (eigenes != 0) return eigenes;
    return wert(db, QStringLiteral("SELECT MIN(Nummer) FROM eurKontenplan WHERE Aktiv<>0 AND ") + KontoGlobal::skontoKontenBedingung(db) +
                        QStringLiteral(" AND Steuerautomatik<>1"))
        .toULong();
}

bool bucheZahlungseingang(DBConnection* db, const QList<Beleg>& belege, const Zahlungseingang& z, QList<unsigned long>* buchungen,
                          int* skonti, QString* fehler) {
    db = rsFallDB(db);
    QString e;
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return false;
    };
    if (!db) return nein(QStringLiteral("Es ist kein Fall geöffnet."));
    // A stated amount is what one customer paid for one invoice.
    if (z.art == Zahlungseingang::Art::Betrag && belege.size() != 1)
        return nein(QStringLiteral("Ein gezahlter Betrag gilt für genau eine Rechnung; bitte buchen Sie jede Rechnung mit ihrem eigenen Betrag."));
    Buchungslauf lauf(db);
    if (!lauf.ok()) return nein(QStringLiteral("Die Falldatei kann nicht geschrieben werden."));
    QList<unsigned long> nummern;
    int mitSkonto = 0;
    for (const Beleg& r : belege) {
        BuchungsAuftrag auftrag;
        auftrag.geldkonto = z.geldkonto;
        auftrag.datum = z.datum;
        auftrag.text = z.text;
        if (z.art == Zahlungseingang::Art::VollerSkonto) {
            auftrag.skonto = skontoMoeglich(db, r, z.datum, &e);
            if (auftrag.skonto.isNull()) return nein(e);
        } else if (z.art == Zahlungseingang::Art::Betrag) {
            const EuroType summe = berechneSummen(db, r).endsumme;
            if (summe < z.betrag || z.betrag <= EuroType())
                return nein(QStringLiteral("Der gezahlte Betrag %1 passt nicht zur Rechnung %2 über %3: er muss größer als 0 sein und "
                                           "darf die Rechnungssumme nicht übersteigen.")
                                .arg(z.betrag.getText(), r.nummer, summe.getText()));
            auftrag.skonto = summe - z.betrag;
        }
        unsigned long skontoNr = 0;
        const unsigned long nr = bucheRechnung(db, r, auftrag, &e, &skontoNr);
        if (!nr) return nein(e);
        nummern << nr;
        if (skontoNr) {
            nummern << skontoNr;
            ++mitSkonto;
        }
    }
    if (!lauf.abschliessen(&e)) return nein(e);
    if (buchungen) *buchungen = nummern;
    if (skonti) *skonti = mitSkonto;
    return true;
}

unsigned long bucheRechnung(DBConnection* db, const Beleg& ein, const BuchungsAuftrag& a, QString* fehler, unsigned long* skontoBuchung) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return 0UL;
    };
    if (!db) return 0;
    Beleg b;
    if (ein.art != Belegart::Rechnung || !leseBeleg(db, Belegart::Rechnung, ein.id, &b))
        return nein(QStringLiteral("Bitte speichern Sie die Rechnung, bevor Sie sie buchen."));
    bool offen = false;
    for (const Beleg& k : buchungskandidaten(db)) offen = offen || k.id == b.id;
    if (!offen) return nein(QStringLiteral("Die Rechnung %1 ist bereits gebucht.").arg(b.nummer));
    if (b.positionen.isEmpty()) return nein(QStringLiteral("Die Rechnung %1 hat keine Positionen; es gibt nichts zu buchen.").arg(b.nummer));
    if (!a.datum.isValid()) return nein(QStringLiteral("Bitte geben Sie das Zahlungsdatum an."));
    // Money rarely arrives before the invoice is written: usually a typing error of the date.
    if (a.datum < b.datum &&
        !GetUi().frage(QStringLiteral("Die Zahlung am %1 liegt vor dem Datum der Rechnung %2 (%3). Trotzdem buchen?")
                           .arg(a.datum.getText(), b.nummer, b.datum.getText()),
                       QStringLiteral("Frage")))
        return nein(QStringLiteral("Die Rechnung %1 wurde nicht gebucht: die Zahlung liegt vor dem Rechnungsdatum (Frage verneint). Mit "
                                   "--ja wird sie trotzdem gebucht.")
                        .arg(b.nummer));
    if (KontoGlobal::isInFestschreibungsZeitraum(a.datum))
        return nein(QStringLiteral("Das Zahlungsdatum %1 liegt im festgeschriebenen Zeitraum; dort kann nicht mehr gebucht werden.")
                        .arg(a.datum.getText()));
    const Summen s = berechneSummen(db, b);
    if (s.endsumme.isNull()) return nein(QStringLiteral("Die Rechnung %1 hat die Summe 0; es gibt nichts zu buchen.").arg(b.nummer));
    const bool korrektur = s.endsumme < EuroType();
    if (a.skonto < EuroType()) return nein(QStringLiteral("Der Skontobetrag darf nicht negativ sein."));
    if (!a.skonto.isNull()) {
        QString grund;
        const EuroType hoechst = skontoMoeglich(db, b, a.datum, &grund);
        if (hoechst.isNull()) return nein(grund);
        if (hoechst < a.skonto)
            return nein(QStringLiteral("Der Abzug von %1 bei der Rechnung %2 übersteigt den Skonto von %3, den ihre Zahlungsbedingungen "
                                       "gewähren. Bitte prüfen Sie den gezahlten Betrag.")
                            .arg(a.skonto.getText(), b.nummer, hoechst.getText()));
    }
    Person kunde;
    lesePerson(db, b.personID, &kunde);

    // One part per revenue account, key and kind of price: net positions
    // are split as net, gross ones as gross, so the booking carries the
    // invoice's tax.
    struct Teil {
        unsigned long konto, schluessel;
        bool netto;
        EuroType betrag;
        QString text;
    };
    QList<Teil> teile;
    auto dazu = [&](unsigned long konto, unsigned long schluessel, bool netto, EuroType betrag, const QString& text) {
        for (Teil& t : teile)
            if (t.konto == konto && t.schluessel == schluessel && t.netto == netto && t.text == text) {
                t.betrag += betrag;
                return;
            }
        teile << Teil{konto, schluessel, netto, betrag, text};
    };
    for (int i = 0; i < b.positionen.size(); ++i)
        dazu(b.positionen[i].konto, b.positionen[i].steuerschluessel, !b.positionen[i].brutto, s.positionsbetrag[i], QString());
    if (!s.versandNetto.isNull()) {
        unsigned long konto = 0;
        const unsigned long schluessel = KontoGlobal::istUstPflichtig(db) ? versandSchluessel(db, b, b.versandSatz, &konto) : 0;
        if (konto == 0 || (b.versandSatz > 0.0 && schluessel == 0 && KontoGlobal::istUstPflichtig(db)))
            return nein(QStringLiteral("Für die Versandkosten mit %1 % gibt es keinen Umsatzsteuerschlüssel. Bitte prüfen Sie den Steuersatz "
                                       "der Versandkosten.")
                            .arg(b.versandSatz));
        if (schluessel == 0 && konto == 0) konto = b.positionen.first().konto;
        dazu(konto, schluessel, true, s.versandNetto, buchungstext(db, b, a.text) + QStringLiteral(" Versandkosten"));
    }
    const QString text = buchungstext(db, b, a.text);
    KontoGlobal::BuchungsEntwurf e;
    e.herkunft = KontoGlobal::HERK_RECH_ASSI;
    e.text = text;
    e.belegdatum = a.datum;
    e.zahlungsdatum = a.datum;
    e.belegnummer = b.nummer;
    e.zusatzinfo = b.nummer;
    e.buchungsart = korrektur ? 4 : 1;
    e.haben = korrektur;
    e.konto = a.geldkonto;
    KontoGlobal* kg = GetKontoGlobal(-1, false);
    EingabePruefer pruefer(db, kg ? kg->getSteuerjahr() : a.datum.year());
    for (const Teil& t : teile) {
        if (t.betrag.isNull()) continue;
        if ((t.betrag < EuroType()) != korrektur)
            return nein(QStringLiteral("Die Rechnung %1 hat auf dem Konto %2 einen Betrag mit anderem Vorzeichen als die Rechnungssumme. "
                                       "Bitte teilen Sie sie in eine Rechnung und eine Rechnungskorrektur.")
                            .arg(b.nummer)
                            .arg(t.konto));
        BuchungsEingabe pruef;
        pruef.buchungsart = e.buchungsart;
        pruef.belegdatum = a.datum;
        pruef.konto = a.geldkonto;
        pruef.gegenkonto = t.konto;
        pruef.steuerschluessel = t.schluessel;
        pruef.betrag = t.betrag.abs();
        const unsigned long kz = schluesselInfo(db, t.schluessel).kennziffer;
        // Revenue the recapitulative statement reports carries the customer's VAT number.
        if ((kz == UStId::kKennzifferLieferung || kz == UStId::kKennzifferLeistung || kz == UStId::kKennzifferDreieck) &&
            !kunde.ustid.isEmpty()) {
            pruef.ustid = kunde.ustid;
            pruef.zmart = kz == UStId::kKennzifferLieferung ? UStId::Lieferung
                          : kz == UStId::kKennzifferDreieck ? UStId::Dreiecksgeschaeft
                                                            : UStId::SonstigeLeistung;
            e.ustid = pruef.ustid;
            e.zmart = pruef.zmart;
        }
        const QString grund = pruefer.pruefen(pruef);
        if (!grund.isEmpty()) return nein(QStringLiteral("Rechnung %1: %2").arg(b.nummer, grund));
        e.teile.append({t.konto, t.schluessel, t.betrag.abs(), t.netto, t.text});
    }
    KontoGlobal::BuchungsEntwurf abzug = e;
    abzug.teile.clear();
    if (!a.skonto.isNull()) {
        // The recapitulative statement would keep the full amount: a discount
        // on such revenue needs the statement corrected by hand.
        if (e.zmart != 0)
            return nein(QStringLiteral("Die Rechnung %1 enthält Umsätze der Zusammenfassenden Meldung; ein Skonto darauf wird nicht "
                                       "automatisch gebucht. Bitte buchen Sie den vollen Betrag und den Skonto als eigene Buchung.")
                            .arg(b.nummer));
        abzug.buchungsart = 4;  // a refund of income: the money line on the credit side
        abzug.haben = true;
        abzug.text = text + QStringLiteral(" Skonti");
        const bool nachKonten = skontoNachKonten();
        struct Anteil {
            unsigned long konto, schluessel;
            EuroType brutto;
        };
        QList<Anteil> anteile;
        EuroType summe;
        for (const Teil& t : teile) {
            if (t.betrag.isNull()) continue;
            EuroType brutto = t.betrag;
            if (t.netto && t.schluessel != 0) {
                const KontoGlobal::ssDaten d = KontoGlobal::calcSteuerschluessel(db, t.schluessel, t.betrag, true);
                brutto = d.netto + d.steuer;
            }
            summe += brutto;
            const unsigned long konto = nachKonten ? t.konto : 0;
            bool da = false;
            for (Anteil& x : anteile)
                if (x.konto == konto && x.schluessel == t.schluessel) {
                    x.brutto += brutto;
                    da = true;
                }
            if (!da) anteile << Anteil{konto, t.schluessel, brutto};
        }
        // In proportion to the gross amounts, the last line taking the rest,
        // so that the lines add up to the discount to the cent.
        EuroType verteilt;
        for (int i = 0; i < anteile.size(); ++i) {
            const EuroType d = i + 1 == anteile.size() ? a.skonto - verteilt : a.skonto.anteil(anteile[i].brutto.cent(), summe.cent());
            verteilt += d;
            if (d.isNull()) continue;
            const unsigned long konto = skontoKonto(db, anteile[i].schluessel);
            if (konto == 0)
                return nein(QStringLiteral("Im Kontenplan gibt es kein aktives Konto „Gewährte Skonti“ für den Steuerschlüssel %1 (SKR03 "
                                           "8730 bis 8739, SKR04 4730 bis 4739). Bitte aktivieren Sie eines oder buchen Sie ohne Skonto.")
                                .arg(anteile[i].schluessel));
            BuchungsEingabe pruef;
            pruef.buchungsart = abzug.buchungsart;
            pruef.belegdatum = a.datum;
            pruef.konto = a.geldkonto;
            pruef.gegenkonto = konto;
            pruef.steuerschluessel = anteile[i].schluessel;
            pruef.betrag = d;
            const QString grund = pruefer.pruefen(pruef);
            if (!grund.isEmpty()) return nein(QStringLiteral("Rechnung %1, Skonto: %2").arg(b.nummer, grund));
            const QString zeile = nachKonten ? abzug.text + QStringLiteral(" zu Konto %1").arg(anteile[i].konto) : abzug.text;
            abzug.teile.append({konto, anteile[i].schluessel, d, false, zeile});
        }
    }
    // Booking, discount, paid mark and the end of its dunning letters stand
    // or fall together, and are one run of postings for the cash balance.
    Buchungslauf lauf(db);
    DBTransaktion tx(lauf.ok() ? db : nullptr);
    if (!tx.ok()) return nein(QStringLiteral("Die Buchung konnte nicht begonnen werden."));
    QString grund;
    const unsigned long nr = KontoGlobal::insertSplittBuchung(e, db, &grund);
    if (nr == 0) return nein(QStringLiteral("Rechnung %1: %2").arg(b.nummer, grund));
    if (skontoBuchung) *skontoBuchung = 0;
    if (!abzug.teile.isEmpty()) {
        const unsigned long sk = KontoGlobal::insertSplittBuchung(abzug, db, &grund);
        if (sk == 0) return nein(QStringLiteral("Rechnung %1, Skonto: %2").arg(b.nummer, grund));
        if (skontoBuchung) *skontoBuchung = sk;
    }
    const bool ok = ExecPrepared(db, QStringLiteral("UPDATE reRechnungen SET bezahlt = ?, Anzahlung = ?, Skonto = ? WHERE ID = ?"),
                                 {DatenTyp(a.datum), DatenTyp(s.endsumme), DatenTyp(a.skonto), DatenTyp(b.id)}) &&
                    ExecPrepared(db, QStringLiteral("DELETE FROM reMahnungen WHERE RechnungsID = ?"), {DatenTyp(b.id)});
    if (!ok || !tx.commit()) return nein(QStringLiteral("Die Rechnung %1 konnte nicht gebucht werden: %2").arg(b.nummer, db->getErr()->last()));
    if (!lauf.abschliessen(&grund)) return nein(QStringLiteral("Rechnung %1: %2").arg(b.nummer, grund));
    return nr;
}

// --- dunning letters -------------------------------------------------------------

QString stufeText(int stufe) { return stufe == 99 ? QStringLiteral("Letzte") : QString::number(stufe); }

unsigned long neueMahnung(DBConnection* db, Mahnung m, QString* fehler) {
    db = rsFallDB(db);
    auto nein = [&](const QString& t) {
        if (fehler) *fehler = t;
        return 0UL;
    };
    if (!db) return 0;
    Beleg r;
    if (!leseBeleg(db, Belegart::Rechnung, m.rechnungsID, &r)) return nein(QStringLiteral("Die Rechnung gibt es nicht."));
    if (r.bezahlt.isValid()) return nein(QStringLiteral("Die Rechnung %1 ist bereits bezahlt; sie wird nicht gemahnt.").arg(r.nummer));
    const Summen s = berechneSummen(db, r);
    if (s.offen <= EuroType()) return nein(QStringLiteral("Die Rechnung %1 hat keinen offenen Betrag; sie wird nicht gemahnt.").arg(r.nummer));
    const int bisher = int(wert(db, QStringLiteral("SELECT COALESCE(MAX(Mahnstufe),0) FROM reMahnungen WHERE RechnungsID=?"), {DatenTyp(r.id)}).toLongLong());
    if (bisher == 99) return nein(QStringLiteral("Zur Rechnung %1 wurde bereits die letzte Mahnung geschrieben.").arg(r.nummer));
    if (m.stufe <= 0) m.stufe = bisher + 1;
    if ((m.stufe < 1 || m.stufe > 9) && m.stufe != 99)
        return nein(QStringLiteral("Die Mahnstufe ist 1 bis 9 oder 99 für die letzte Mahnung."));
    if (m.stufe <= bisher) return nein(QStringLiteral("Zur Rechnung %1 gibt es schon eine Mahnung der Stufe %2.").arg(r.nummer).arg(bisher));
    if (m.gebuehr < EuroType()) return nein(QStringLiteral("Die Mahngebühr darf nicht negativ sein."));
    // Without a date of its own a dunning letter of a past year's case is
    // dated the day after the invoice fell due, not today: its number and
    // its place in the books follow its date.
    if (!m.datum.isValid()) m.datum = zDate::today().year() == fallJahr(r.datum) ? zDate::today() : faelligAm(db, r).addDays(1);
    if (m.datum < r.datum) return nein(QStringLiteral("Die Mahnung kann nicht vor der Rechnung %1 vom %2 datieren.").arg(r.nummer, r.datum.getText()));
    if (!jahrPasst(m.datum, QStringLiteral("Mahnung"), fehler)) return 0;
    if (!m.zahlungsziel.isValid()) m.zahlungsziel = m.datum.addDays(14);
    if (m.zahlungsziel < m.datum) return nein(QStringLiteral("Das neue Zahlungsziel liegt vor dem Datum der Mahnung."));
    if (!m.erinnerungsdatum.isValid()) m.erinnerungsdatum = m.zahlungsziel.addDays(1);
    DBTransaktion t(db);
    if (!t.ok()) return 0;
    m.nummer = vergibNummer(db, Nummernkreis::Mahnung, m.datum, fehler);
    if (m.nummer.isEmpty()) return 0;
    m.id = (unsigned long)wert(db, QStringLiteral("SELECT COALESCE(MAX(ID),0)+1 FROM reMahnungen")).toLongLong();
    const bool ok = einfuegen(db, QStringLiteral("reMahnungen"),
                              {{QStringLiteral("ID"), DatenTyp(m.id)},
                               {QStringLiteral("Nummer"), DatenTyp(m.nummer)},
                               {QStringLiteral("RechnungsID"), DatenTyp(r.id)},
                               {QStringLiteral("Mahnstufe"), DatenTyp(m.stufe)},
                               {QStringLiteral("Mahngebühr"), DatenTyp(m.gebuehr)},
                               {QStringLiteral("PersonID"), DatenTyp(r.personID)},
                               {QStringLiteral("Datum"), DatenTyp(m.datum)},
                               {QStringLiteral("Zahlungsziel"), DatenTyp(m.zahlungsziel)},
                               {QStringLiteral("Gesamtbetrag"), DatenTyp(s.offen + m.gebuehr)},
                               {QStringLiteral("Erinnerungsdatum"), DatenTyp(m.erinnerungsdatum)},
                               {QStringLiteral("ModDat"), DatenTyp(zDate::today())}});
    if (!ok || !t.commit()) return nein(QStringLiteral("Die Mahnung konnte nicht gespeichert werden: %1").arg(db->getErr()->last()));
    return m.id;
}

QList<Mahnung> mahnungen(DBConnection* db, unsigned long rechnungsID) {
    QList<Mahnung> l;
    db = rsFallDB(db);
    if (!db) return l;
    rsDataSource rs(db, QStringLiteral("SELECT * FROM reMahnungen WHERE ID<>0") + (rechnungsID ? QStringLiteral(" AND RechnungsID=?") : QString()) +
                            QStringLiteral(" ORDER BY ID"),
                    rechnungsID ? QVector<DatenTyp>{DatenTyp(rechnungsID)} : QVector<DatenTyp>{});
    for (; !rs.isEOF(); rs.fetch()) {
        Mahnung m;
        m.id = rs.field(QStringLiteral("ID")).toULong();
        m.nummer = rs.field(QStringLiteral("Nummer")).toString();
        m.rechnungsID = rs.field(QStringLiteral("RechnungsID")).toULong();
        m.stufe = rs.field(QStringLiteral("Mahnstufe")).toInt();
        m.gebuehr = rs.field(QStringLiteral("Mahngebühr")).toEuro();
        m.datum = rs.field(QStringLiteral("Datum")).toDate();
        m.zahlungsziel = rs.field(QStringLiteral("Zahlungsziel")).toDate();
        m.erinnerungsdatum = rs.field(QStringLiteral("Erinnerungsdatum")).toDate();
        l << m;
    }
    return l;
}

}  // namespace Faktura

// --- the manager's part: payments and reminders ----------------------------------

using namespace Faktura;
using namespace Faktura::intern;

bool KontoGlobal::rechnungZahlungEntfernt(DBConnection* con, unsigned long buchungsnummer) {
    DBConnection* db = rsFallDB(con);
    if (!db) return false;
    const QVector<DatenTyp> k = QueryPrepared(
        db, QStringLiteral("SELECT Zusatzinfo, Betrag FROM eurVerbucht WHERE Buchungsnummer=? AND Storno=0 AND Storniert=0"),
        {DatenTyp(buchungsnummer)});
    if (k.size() != 2) return true;
    const QString nummer = k[0].toString();
    if (!zusatzinfoIsRechnungsnummer(nummer)) return true;
    const QVector<DatenTyp> r =
        QueryPrepared(db, QStringLiteral("SELECT ID, Anzahlung, Skonto FROM reRechnungen WHERE Nummer = ?"), {DatenTyp(nummer)});
    if (r.size() != 3) return true;
    if (wert(db, QStringLiteral("SELECT COUNT(*) FROM eurVerbucht WHERE Buchungsnummer<>? AND Zusatzinfo = ? AND Storno=0 AND Storniert=0"),
             {DatenTyp(buchungsnummer), DatenTyp(nummer)})
            .toLongLong() > 0)
        return true;
    // The posting settled the invoice as a whole (the payment and a
    // discount booking mark its total paid), so with the last of its
    // bookings gone that total is open again: the paid amount shrinks by
    // the invoice's gross total, toward 0 and never past it (a correction's
    // is negative). The booking's own amount is no measure: it is the net
    // amount of its revenue lines.
    const EuroType bisher = r[1].toEuro();
    Beleg rechnung;
    const EuroType zahlung = leseBeleg(db, Belegart::Rechnung, r[0].toULong(), &rechnung) ? berechneSummen(db, rechnung).endsumme.abs()
                                                                                         : bisher.abs();
    EuroType rest = bisher.abs() > zahlung ? EuroType(bisher.abs() - zahlung) : EuroType();
    if (bisher < EuroType()) rest = -rest;
    return ExecPrepared(db, QStringLiteral("UPDATE reRechnungen SET bezahlt=?, anzahlung=?, Skonto=0 WHERE ID = ?"),
                        {DatenTyp(zDate()), DatenTyp(rest), r[0]});
}

int KontoGlobal::fillErinnerungen(QList<rsRebuErinnerung>& liste) {
    liste.clear();
    DBConnection* db = rsFallDB(nullptr);
    if (!db) return 0;
    static const char* const label[] = {"Angebotsnummer: ", "Auftragsbestätigsnummer: ", "Lieferscheinnummer: ", "Rechnungsnummer: ",
                                        "Mahnungsnummer: "};
    const zDate heute = zDate::today();
    for (int art = 0; art < 5; ++art) {
        rsDataSource rs(db, QStringLiteral("SELECT * FROM ") + tabelle(Belegart(art)) + QStringLiteral(" ORDER BY Erinnerungsdatum"));
        for (; !rs.isEOF(); rs.fetch()) {
            const zDate d = rs.field(QStringLiteral("Erinnerungsdatum")).toDate();
            if (!d.isValid() || d > heute || rs.field(QStringLiteral("ID")).toULong() == 0) continue;
            QString nummer = rs.field(QStringLiteral("Nummer")).toString();
            unsigned long person = rs.field(QStringLiteral("PersonID")).toULong();
            if (art == int(Belegart::Mahnung)) {
                Beleg r;
                if (leseBeleg(db, Belegart::Rechnung, rs.field(QStringLiteral("RechnungsID")).toULong(), &r)) {
                    if (nummer.isEmpty()) nummer = r.nummer;
                    person = r.personID;
                }
            }
            Person p;
            const bool mitKunde = lesePerson(db, person, &p);
            rsRebuErinnerung e;
            e.id = rs.field(QStringLiteral("ID")).toULong();
            e.art = (unsigned long)art;
            e.datum = d;
            e.text = QString::fromUtf8(label[art]) + nummer + QStringLiteral(" vom ") + rs.field(QStringLiteral("Datum")).toDate().getText() +
                     QStringLiteral(" Kundennummer: ") + (mitKunde ? p.kundennummer : QString()) + QStringLiteral(" (") +
                     (mitKunde ? p.anzeigename() : QStringLiteral("Nicht ausgewählt")) + QStringLiteral(")");
            liste << e;
        }
    }
    return liste.size();
}

int KontoGlobal::delErinnerungen(const QList<rsRebuErinnerung>& liste) {
    DBConnection* db = rsFallDB(nullptr);
    if (!db) return 0;
    DBTransaktion t(db);
    if (!t.ok()) return 0;
    int n = 0;
    for (const rsRebuErinnerung& e : liste) {
        if (e.art > 4) continue;
        if (!ExecPrepared(db, QStringLiteral("UPDATE ") + tabelle(Belegart(e.art)) + QStringLiteral(" SET Erinnerungsdatum=? WHERE ID = ?"),
                          {DatenTyp(e.datum), DatenTyp(e.id)}))
            return 0;
        ++n;
    }
    return t.commit() ? n : 0;
}
