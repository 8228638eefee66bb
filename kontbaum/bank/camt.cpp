// The CAMT reader: account statements (camt.053, BkToCstmrStmt/Stmt) and
// account reports (camt.052, BkToCstmrAcctRpt/Rpt) of ISO 20022. Elements
// are matched by their local names, so the versions .001.02, .001.04 and
// .001.08 (and the ones between) read alike; where a version moved an
// element (the BIC into BICFI in .04, the party into Pty in .08) both places
// are read. The file is read with QXmlStreamReader over the device; a
// statement's own elements (account, balances) become a small tree of
// elements with their line numbers, and each entry (Ntry) a tree of its own
// that is read, handed on and dropped before the next, so that a file of
// any size is read with the memory of one entry. A refusal names the line
// and the element.
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/intern.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <memory>
#include <vector>

namespace Bank {
namespace {

struct Knoten {
    QString name, text, pfad, waehrung;
    int zeile = 0;
    std::vector<std::unique_ptr<Knoten>> kinder;

    // The first descendant along "A/B/C", null when there is none.
    const Knoten* finde(const QString& weg) const {
        const Knoten* k = this;
        for (const QStringRef& teil : weg.splitRef(QLatin1Char('/'))) {
            const Knoten* weiter = nullptr;
            for (const auto& c : k->kinder)
                if (c->name == teil) {
                    weiter = c.get();
                    break;
                }
            if (!weiter) return nullptr;
            k = weiter;
        }
        return k;
    }
    QString wert(const QString& weg) const {
        const Knoten* k = finde(weg);
        return k ? k->text.trimmed() : QString();
    }
    // The first of several places that has a value.
    QString wertAus(std::initializer_list<const char*> wege) const {
        for (const char* w : wege) {
            const QString v = wert(QLatin1String(w));
            if (!v.isEmpty()) return v;
        }
        return QString();
    }
    std::vector<const Knoten*> alle(const QString& name) const {
        std::vector<const Knoten*> l;
        for (const auto& c : kinder)
            if (c->name == name) l.push_back(c.get());
        return l;
    }
};

struct Fehler {
    QString text;
};

QString ort(const Knoten& k) { return QStringLiteral("Zeile %1, Element %2: ").arg(k.zeile).arg(k.pfad); }

// A CAMT amount: digits with a decimal point, in euros, whole cents.
EuroType betragVon(const Knoten* k, const Knoten& eintrag) {
    if (!k) throw Fehler{ort(eintrag) + QStringLiteral("Der Betrag (Amt) fehlt.")};
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,15}(\\.[0-9]{1,5})?$"));
    const QString t = k->text.trimmed();
    if (!form.match(t).hasMatch()) throw Fehler{ort(*k) + QStringLiteral("„%1“ ist kein Betrag.").arg(t)};
    if (!k->waehrung.isEmpty() && k->waehrung != QLatin1String("EUR"))
        throw Fehler{ort(*k) + QStringLiteral("Der Betrag ist in %1 angegeben; es werden nur Umsätze in Euro gebucht.").arg(k->waehrung)};
    const double v = t.toDouble();
    if (!EuroType::istGeldbetrag(v)) throw Fehler{ort(*k) + QStringLiteral("Der Betrag %1 hat Bruchteile von Cent oder ist zu groß.").arg(t)};
    return EuroType::ausDouble(v);
}

EuroType mitVorzeichen(const EuroType& betrag, int vorzeichen) { return vorzeichen < 0 ? -betrag : betrag; }

// +1 credit, -1 debit.
int vorzeichen(const Knoten& eltern, const QString& weg = QStringLiteral("CdtDbtInd")) {
    const Knoten* k = eltern.finde(weg);
    if (!k) throw Fehler{ort(eltern) + QStringLiteral("Die Angabe Soll oder Haben (CdtDbtInd) fehlt.")};
    if (k->text.trimmed() == QLatin1String("CRDT")) return 1;
    if (k->text.trimmed() == QLatin1String("DBIT")) return -1;
    throw Fehler{ort(*k) + QStringLiteral("„%1“ ist weder CRDT noch DBIT.").arg(k->text.trimmed())};
}

zDate datumVon(const Knoten& eintrag, const QString& weg, bool pflicht) {
    const Knoten* k = eintrag.finde(weg);
    if (!k) {
        if (pflicht) throw Fehler{ort(eintrag) + QStringLiteral("Das Buchungsdatum (%1) fehlt.").arg(weg)};
        return zDate();
    }
    // Dt is a date, DtTm a date with time; the day is what counts.
    const QString t = k->wertAus({"Dt", "DtTm"});
    const zDate d = zDate::fromIso(t.left(10));
    if (!d.isValid()) throw Fehler{ort(*k) + QStringLiteral("„%1“ ist kein Datum.").arg(t)};
    return d;
}

// The counterpart of a transaction: for a credit the debtor, for a debit
// the creditor; a reversal names the parties of the original transaction.
void gegenpartei(const Knoten& tx, bool gutschrift, Umsatz* u) {
    const QStringList rollen = gutschrift ? QStringList{QStringLiteral("Dbtr"), QStringLiteral("Cdtr")}
                                          : QStringList{QStringLiteral("Cdtr"), QStringLiteral("Dbtr")};
    for (const QString& rolle : rollen) {
        const QString p = QStringLiteral("RltdPties/") + rolle;
        const QString name = tx.wert(p + QStringLiteral("/Nm")).isEmpty() ? tx.wert(p + QStringLiteral("/Pty/Nm")) : tx.wert(p + QStringLiteral("/Nm"));
        const QString iban = tx.wert(p + QStringLiteral("Acct/Id/IBAN"));
        const QString andere = tx.wert(p + QStringLiteral("Acct/Id/Othr/Id"));
        if (name.isEmpty() && iban.isEmpty() && andere.isEmpty()) continue;
        u->name = name.simplified();
        u->iban = normIban(iban);
        u->kontonummer = andere;
        const QString agent = QStringLiteral("RltdAgts/") + rolle + QStringLiteral("Agt/FinInstnId/");
        u->bic = tx.wert(agent + QStringLiteral("BICFI")).isEmpty() ? tx.wert(agent + QStringLiteral("BIC")) : tx.wert(agent + QStringLiteral("BICFI"));
        return;
    }
}

void details(const Knoten& eintrag, const Knoten* tx, Umsatz* u) {
    if (tx) {
        gegenpartei(*tx, (u->betrag > EuroType()) != u->storno, u);
        for (const Knoten* z : tx->finde(QStringLiteral("RmtInf")) ? tx->finde(QStringLiteral("RmtInf"))->alle(QStringLiteral("Ustrd"))
                                                                    : std::vector<const Knoten*>{})
            if (!z->text.trimmed().isEmpty()) u->zweck << z->text.simplified();
        const QString strd = tx->wert(QStringLiteral("RmtInf/Strd/CdtrRefInf/Ref"));
        if (!strd.isEmpty()) u->zweck << strd;
        if (u->zweck.isEmpty() && !tx->wert(QStringLiteral("AddtlTxInf")).isEmpty()) u->zweck << tx->wert(QStringLiteral("AddtlTxInf")).simplified();
        const QString e2e = tx->wert(QStringLiteral("Refs/EndToEndId"));
        u->referenz = e2e.compare(QLatin1String("NOTPROVIDED"), Qt::CaseInsensitive) == 0 ? QString() : e2e;
        if (u->referenz.isEmpty()) u->referenz = tx->wert(QStringLiteral("Refs/AcctSvcrRef"));
    }
    if (u->zweck.isEmpty() && !eintrag.wert(QStringLiteral("AddtlNtryInf")).isEmpty())
        u->zweck << eintrag.wert(QStringLiteral("AddtlNtryInf")).simplified();
    if (u->referenz.isEmpty()) u->referenz = eintrag.wert(QStringLiteral("AcctSvcrRef"));
    if (u->storno) u->zweck.prepend(QStringLiteral("Storno:"));
}

void eintragLesen(const Knoten& n, Auszug* a) {
    // .02/.04 write the status as text, .08 as Sts/Cd.
    QString sts = n.wert(QStringLiteral("Sts/Cd"));
    if (sts.isEmpty()) sts = n.wert(QStringLiteral("Sts"));
    if (!sts.isEmpty() && sts != QLatin1String("BOOK")) {
        ++a->vorgemerkt;
        return;
    }
    Umsatz basis;
    const EuroType betrag = mitVorzeichen(betragVon(n.finde(QStringLiteral("Amt")), n), vorzeichen(n));
    const QString rv = n.wert(QStringLiteral("RvslInd")).toLower();
    basis.storno = rv == QLatin1String("true") || rv == QLatin1String("1");
    basis.buchungsdatum = datumVon(n, QStringLiteral("BookgDt"), true);
    basis.valuta = datumVon(n, QStringLiteral("ValDt"), false);
    std::vector<const Knoten*> txs;
    for (const Knoten* d : n.alle(QStringLiteral("NtryDtls")))
        for (const Knoten* t : d->alle(QStringLiteral("TxDtls"))) txs.push_back(t);
    if (txs.size() <= 1) {
        Umsatz u = basis;
        u.betrag = betrag;
        details(n, txs.empty() ? nullptr : txs.front(), &u);
        a->umsaetze << u;
        return;
    }
    // A batch: one record per transaction, whose amounts make the entry's.
    EuroType summe;
    QList<Umsatz> teile;
    for (const Knoten* t : txs) {
        const Knoten* amt = t->finde(QStringLiteral("AmtDtls/TxAmt/Amt"));
        if (!amt) amt = t->finde(QStringLiteral("Amt"));
        if (!amt) throw Fehler{ort(*t) + QStringLiteral("Die Einzelbuchung einer Sammelbuchung hat keinen Betrag (AmtDtls/TxAmt/Amt).")};
        Umsatz u = basis;
        const int s = t->finde(QStringLiteral("CdtDbtInd")) ? vorzeichen(*t) : (betrag < EuroType() ? -1 : 1);
        u.betrag = mitVorzeichen(betragVon(amt, *t), s);
        summe += u.betrag;
        details(n, t, &u);
        teile << u;
    }
    if (summe != betrag)
        throw Fehler{ort(n) + QStringLiteral("Die Einzelbeträge der Sammelbuchung ergeben %1, die Buchung selbst %2.")
                                  .arg(summe.getText(), betrag.getText())};
    a->umsaetze << teile;
}

// The statement's own account and balances (its elements before the entries).
void kopfLesen(const Knoten& s, Auszug* a) {
    a->iban = normIban(s.wert(QStringLiteral("Acct/Id/IBAN")));
    // Some banks name the account under Othr/Id, as an IBAN or as the
    // account number.
    const QString andere = s.wert(QStringLiteral("Acct/Id/Othr/Id")).trimmed();
    if (a->iban.isEmpty() && ibanGueltig(normIban(andere))) a->iban = normIban(andere);
    else a->kontonummer = andere;
    const QString ccy = s.wert(QStringLiteral("Acct/Ccy"));
    if (!ccy.isEmpty() && ccy != QLatin1String("EUR"))
        throw Fehler{ort(*s.finde(QStringLiteral("Acct/Ccy"))) + QStringLiteral("Das Konto wird in %1 geführt; es werden nur Konten in Euro gebucht.").arg(ccy)};
    if (a->iban.isEmpty() && a->kontonummer.isEmpty())
        throw Fehler{ort(s) + QStringLiteral("Das Konto des Auszugs (Acct/Id) fehlt.")};
    bool anfang = false, ende = false;
    for (const Knoten* b : s.alle(QStringLiteral("Bal"))) {
        const QString art = b->wertAus({"Tp/CdOrPrtry/Cd", "Tp/CdOrPrtry/Prtry"});
        const EuroType v = mitVorzeichen(betragVon(b->finde(QStringLiteral("Amt")), *b), vorzeichen(*b));
        // A German bank opens with the previous closing (PRCD) or the opening booked balance (OPBD).
        if ((art == QLatin1String("OPBD") || art == QLatin1String("PRCD")) && !anfang) {
            a->anfangssaldo = v;
            anfang = true;
        } else if (art == QLatin1String("CLBD")) {
            a->endsaldo = v;
            ende = true;
        }
    }
    a->mitSalden = anfang && ende;
}

}  // namespace

bool leseCamt(QIODevice* datei, AuszugEmpfaenger* empfaenger, QString* fehler) {
    QXmlStreamReader r(datei);
    static const QRegularExpression camt(QStringLiteral("^urn:iso:std:iso:20022:tech:xsd:camt\\.05[23]\\.001\\.[0-9]+$"));
    Knoten wurzel;
    std::vector<Knoten*> stapel;       // the open elements that are kept
    std::unique_ptr<Knoten> eintrag;   // the entry being read
    int eintragTiefe = 0;              // open elements inside it
    int uebersprungen = 0;             // open elements of a skipped entry
    Knoten* nachricht = nullptr;       // BkToCstmrStmt or BkToCstmrAcctRpt
    QString teil;                      // Stmt or Rpt
    Knoten* auszug = nullptr;          // the statement being read
    Auszug kopf;
    bool begonnen = false;
    int auszuege = 0;
    // The first refusal of the file's content, and the first of the
    // receiver (kept by the hand-over): the whole file is still read, since
    // a file that is no well-formed XML is refused as such first.
    QString inhaltFehler;
    intern::Weitergabe weitergabe(empfaenger);
    auto beginnen = [&]() {
        if (begonnen || !inhaltFehler.isEmpty()) return;
        begonnen = true;
        try {
            kopfLesen(*auszug, &kopf);
        } catch (const Fehler& f) {
            inhaltFehler = f.text;
            return;
        }
        weitergabe.beginnen(kopf);
    };
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (uebersprungen > 0 || (!inhaltFehler.isEmpty() && !stapel.empty() && !eintrag)) {
                // Once the content is refused, only the form of the rest counts.
                ++uebersprungen;
                continue;
            }
            Knoten* eltern = eintrag ? nullptr : stapel.empty() ? nullptr : stapel.back();
            Knoten* k = nullptr;
            if (stapel.empty() && !eintrag) {
                k = &wurzel;
            } else if (eintrag) {
                Knoten* oben = eintrag.get();
                for (int i = 1; i < eintragTiefe; ++i) oben = oben->kinder.back().get();
                oben->kinder.push_back(std::make_unique<Knoten>());
                k = oben->kinder.back().get();
                k->pfad = oben->pfad + QLatin1Char('/') + r.name().toString();
                ++eintragTiefe;
            } else if (eltern == auszug && auszug && r.name() == QLatin1String("Ntry")) {
                // An entry: read on its own, and skipped once the content is refused.
                beginnen();
                if (!inhaltFehler.isEmpty()) {
                    uebersprungen = 1;
                    continue;
                }
                eintrag = std::make_unique<Knoten>();
                k = eintrag.get();
                k->pfad = auszug->pfad + QStringLiteral("/Ntry");
                eintragTiefe = 1;
            } else {
                eltern->kinder.push_back(std::make_unique<Knoten>());
                k = eltern->kinder.back().get();
            }
            k->name = r.name().toString();
            if (k->pfad.isEmpty()) k->pfad = stapel.empty() ? k->name : stapel.back()->pfad + QLatin1Char('/') + k->name;
            k->zeile = int(r.lineNumber());
            k->waehrung = r.attributes().value(QLatin1String("Ccy")).toString();
            if (k == &wurzel) {
                k->text = r.namespaceUri().toString();  // the root keeps its namespace
                if (wurzel.name != QLatin1String("Document") || !camt.match(wurzel.text).hasMatch())
                    inhaltFehler = QStringLiteral("Zeile %1: Die Datei ist kein CAMT-Kontoauszug (camt.052 oder camt.053), ihr Wurzelelement ist %2%3.")
                                       .arg(wurzel.zeile)
                                       .arg(wurzel.name, wurzel.text.isEmpty() ? QString() : QStringLiteral(" im Namensraum ") + wurzel.text);
            } else if (eltern == &wurzel && !nachricht &&
                       (k->name == QLatin1String("BkToCstmrStmt") || k->name == QLatin1String("BkToCstmrAcctRpt"))) {
                nachricht = k;
                teil = k->name == QLatin1String("BkToCstmrStmt") ? QStringLiteral("Stmt") : QStringLiteral("Rpt");
            } else if (eltern && eltern == nachricht && k->name == teil) {
                auszug = k;
                kopf = Auszug();
                begonnen = false;
            }
            if (!eintrag) stapel.push_back(k);
        } else if (r.isCharacters()) {
            if (uebersprungen > 0) continue;
            if (eintrag) {
                Knoten* oben = eintrag.get();
                for (int i = 1; i < eintragTiefe; ++i) oben = oben->kinder.back().get();
                oben->text += r.text();
            } else if (stapel.size() > 1) {
                stapel.back()->text += r.text();
            }
        } else if (r.isEndElement()) {
            if (uebersprungen > 0) {
                --uebersprungen;
                continue;
            }
            if (eintrag) {
                if (--eintragTiefe > 0) continue;
                try {
                    eintragLesen(*eintrag, &kopf);
                } catch (const Fehler& f) {
                    inhaltFehler = f.text;
                }
                if (inhaltFehler.isEmpty())
                    for (const Umsatz& u : qAsConst(kopf.umsaetze)) weitergabe.umsatz(u);
                kopf.umsaetze.clear();
                eintrag.reset();
                continue;
            }
            Knoten* k = stapel.back();
            stapel.pop_back();
            if (k == auszug) {
                ++auszuege;
                beginnen();
                if (inhaltFehler.isEmpty()) weitergabe.ende(kopf);
                // Its elements are read: they need no memory any longer.
                auszug = nullptr;
                nachricht->kinder.pop_back();
            }
        }
    }
    auto nein = [&](const QString& t) {
        *fehler = t;
        return false;
    };
    if (r.hasError()) return nein(QStringLiteral("Zeile %1: Die Datei ist kein lesbares XML (%2).").arg(r.lineNumber()).arg(r.errorString()));
    if (wurzel.name.isEmpty()) return nein(QStringLiteral("Die Datei enthält kein XML-Element."));
    // A refused root leaves no message read.
    if (!nachricht)
        return nein(!inhaltFehler.isEmpty() ? inhaltFehler
                                            : ort(wurzel) + QStringLiteral("Es fehlt BkToCstmrStmt (camt.053) oder BkToCstmrAcctRpt (camt.052)."));
    if (!inhaltFehler.isEmpty()) return nein(inhaltFehler);
    if (auszuege == 0) return nein(ort(*nachricht) + QStringLiteral("Die Datei enthält keinen Auszug (%1).").arg(teil));
    if (!weitergabe.fehler().isEmpty()) return nein(weitergabe.fehler());
    return true;
}

bool leseCamt(const QByteArray& datei, QList<Auszug>* out, QString* fehler) {
    QBuffer puffer;
    puffer.setData(datei);
    puffer.open(QIODevice::ReadOnly);
    AuszugSammler sammler(out);
    if (leseCamt(&puffer, &sammler, fehler)) return true;
    out->clear();
    return false;
}

}  // namespace Bank
