// The MT940 reader: SWIFT customer statements as German banks wrote them
// until CAMT replaced them, with the structured field 86 of the Deutsche
// Kreditwirtschaft (business code, "?"-separated subfields ?00 posting
// text, ?20..?29 and ?60..?63 purpose, ?30 bank code or BIC, ?31 account
// or IBAN, ?32/?33 name) and the SEPA qualifiers (EREF+, SVWZ+, …) inside
// the purpose.
//
// A reader of our own rather than a library's: the format is a few fields
// of fixed syntax, and the refusal has to name the line and say in German
// what is wrong; a general banking library parses leniently and needs its
// own configuration and plugins at run time.
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/intern.h"

#include <QBuffer>
#include <QRegularExpression>

namespace Bank {
namespace {

struct Feld {
    QString tag, inhalt;
    int zeile = 0;
};

bool fail(QString* fehler, int zeile, const QString& grund) {
    *fehler = QStringLiteral("Zeile %1: %2").arg(zeile).arg(grund);
    return false;
}

bool betragLesen(QString t, EuroType* b) {
    if (t.endsWith(QLatin1Char(','))) t += QStringLiteral("00");
    return EuroType::fromText(t, b);
}

// YYMMDD; the century of dates a statement of today can carry.
zDate jjmmtt(const QString& t) {
    const int jj = t.left(2).toInt();
    return zDate(jj < 80 ? 2000 + jj : 1900 + jj, t.mid(2, 2).toInt(), t.mid(4, 2).toInt());
}

bool saldoLesen(const Feld& f, EuroType* saldo, QString* fehler) {
    static const QRegularExpression form(QStringLiteral("^([CD])([0-9]{6})([A-Z]{3})([0-9]{1,15},[0-9]{0,2})$"));
    const QRegularExpressionMatch m = form.match(f.inhalt.trimmed());
    if (!m.hasMatch() || !jjmmtt(m.captured(2)).isValid())
        return fail(fehler, f.zeile, QStringLiteral("Der Saldo :%1:%2 hat nicht die Form C/D, JJMMTT, Währung, Betrag (z. B. C160131EUR1234,56).")
                                         .arg(f.tag, f.inhalt.trimmed()));
    if (m.captured(3) != QLatin1String("EUR"))
        return fail(fehler, f.zeile, QStringLiteral("Das Konto wird in %1 geführt; es werden nur Konten in Euro gebucht.").arg(m.captured(3)));
    EuroType b;
    if (!betragLesen(m.captured(4), &b)) return fail(fehler, f.zeile, QStringLiteral("„%1“ ist kein Betrag.").arg(m.captured(4)));
    *saldo = m.captured(1) == QLatin1String("D") ? -b : b;
    return true;
}

// :61: value date, optional entry date, C/D/RC/RD, funds code, amount,
// transaction type, customer reference[//bank reference]. Some banks put a
// blank between the amount and the transaction type; it is read past.
bool umsatzLesen(const Feld& f, Umsatz* u, QString* fehler) {
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{6})([0-9]{4})?(RC|RD|C|D)([A-Z])?([0-9]{1,12},[0-9]{0,2}) ?([NFS][A-Z0-9]{3})([^\\n]*)"));
    const QRegularExpressionMatch m = form.match(f.inhalt);
    if (!m.hasMatch())
        return fail(fehler, f.zeile, QStringLiteral("Der Umsatz :61:%1 hat nicht die Form Valuta JJMMTT, [Buchungstag MMTT], C/D/RC/RD, "
                                                     "Betrag mit Komma, Buchungsschlüssel (z. B. 1601040104C119,00NTRFNONREF).")
                                         .arg(f.inhalt.section(QLatin1Char('\n'), 0, 0)));
    u->valuta = jjmmtt(m.captured(1));
    if (!u->valuta.isValid()) return fail(fehler, f.zeile, QStringLiteral("Die Valuta %1 ist kein Datum.").arg(m.captured(1)));
    u->buchungsdatum = u->valuta;
    if (!m.captured(2).isEmpty()) {
        const int monat = m.captured(2).left(2).toInt(), tag = m.captured(2).mid(2).toInt();
        // Around the turn of the year the entry date may lie in the year
        // before or after the value date.
        int jahr = u->valuta.year();
        if (monat == 1 && u->valuta.month() == 12) ++jahr;
        if (monat == 12 && u->valuta.month() == 1) --jahr;
        u->buchungsdatum = zDate(jahr, monat, tag);
        if (!u->buchungsdatum.isValid())
            return fail(fehler, f.zeile, QStringLiteral("Der Buchungstag %1 ist kein Datum.").arg(m.captured(2)));
    }
    EuroType b;
    if (!betragLesen(m.captured(5), &b)) return fail(fehler, f.zeile, QStringLiteral("„%1“ ist kein Betrag.").arg(m.captured(5)));
    // RC reverses a credit (a debit entry), RD a debit (a credit entry).
    const QString cd = m.captured(3);
    u->storno = cd.startsWith(QLatin1Char('R'));
    u->betrag = (cd == QLatin1String("D") || cd == QLatin1String("RC")) ? -b : b;
    const QString ref = m.captured(7).section(QStringLiteral("//"), 0, 0).trimmed();
    const QString bankref = m.captured(7).section(QStringLiteral("//"), 1).trimmed();
    u->referenz = ref == QLatin1String("NONREF") ? bankref : ref;
    return true;
}

// The SEPA purpose: the text behind SVWZ+, the reference behind EREF+
// (KREF+ when there is none), each up to the next qualifier.
bool sepaZerlegen(const QString& zweck, QString* text, QString* referenz) {
    static const QRegularExpression q(QStringLiteral("(EREF|KREF|MREF|CRED|DEBT|SVWZ|ABWA|ABWE|COAM|OAMT|IBAN|BIC)\\+"));
    QRegularExpressionMatchIterator it = q.globalMatch(zweck);
    QList<QPair<QString, int>> marken;  // qualifier, start of its value
    QList<int> anfaenge;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        marken << qMakePair(m.captured(1), int(m.capturedEnd()));
        anfaenge << int(m.capturedStart());
    }
    if (marken.isEmpty()) return false;
    QString vorn = zweck.left(anfaenge.first()).trimmed(), eref, kref;
    for (int i = 0; i < marken.size(); ++i) {
        const int ende = i + 1 < marken.size() ? anfaenge[i + 1] : zweck.size();
        const QString wert = zweck.mid(marken[i].second, ende - marken[i].second).trimmed();
        if (marken[i].first == QLatin1String("SVWZ")) *text = wert;
        if (marken[i].first == QLatin1String("EREF")) eref = wert;
        if (marken[i].first == QLatin1String("KREF")) kref = wert;
    }
    if (text->isEmpty()) *text = vorn;
    if (eref.compare(QLatin1String("NOTPROVIDED"), Qt::CaseInsensitive) == 0) eref.clear();
    if (!eref.isEmpty()) *referenz = eref;
    else if (!kref.isEmpty()) *referenz = kref;
    return true;
}

void infoLesen(const Feld& f, Umsatz* u) {
    // Continuation lines are cut at a fixed width, not between words.
    const QString t = QString(f.inhalt).remove(QLatin1Char('\n'));
    static const QRegularExpression strukturiert(QStringLiteral("^([0-9]{3})([^A-Za-z0-9 ])"));
    const QRegularExpressionMatch m = strukturiert.match(t);
    if (!m.hasMatch()) {
        u->zweck << f.inhalt.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' ')).simplified();
        return;
    }
    const QChar trenner = m.captured(2).at(0);
    const QRegularExpression feld(QRegularExpression::escape(trenner) + QStringLiteral("([0-9]{2})"));
    QMap<int, QString> teile;
    QRegularExpressionMatchIterator it = feld.globalMatch(t, 3);
    QList<QPair<int, int>> marken;  // subfield, start of its value
    QList<int> anfaenge;
    while (it.hasNext()) {
        const QRegularExpressionMatch x = it.next();
        marken << qMakePair(x.captured(1).toInt(), int(x.capturedEnd()));
        anfaenge << int(x.capturedStart());
    }
    // The purpose lines in the order the bank wrote them: some number them
    // out of the standard's order or repeat ?20 for every line.
    QStringList zeilen;
    for (int i = 0; i < marken.size(); ++i) {
        const int ende = i + 1 < marken.size() ? anfaenge[i + 1] : t.size();
        const int k = marken[i].first;
        const QString wert = t.mid(marken[i].second, ende - marken[i].second);
        if ((k >= 20 && k <= 29) || (k >= 60 && k <= 63)) zeilen << wert;
        else teile[k] += wert;
    }
    QString sepaText, referenz;
    if (sepaZerlegen(zeilen.join(QString()), &sepaText, &referenz)) {
        if (!sepaText.isEmpty()) u->zweck << sepaText.simplified();
        if (!referenz.isEmpty()) u->referenz = referenz;
    } else {
        for (const QString& z : zeilen)
            if (!z.trimmed().isEmpty()) u->zweck << z.simplified();
    }
    if (u->zweck.isEmpty() && !teile.value(0).trimmed().isEmpty()) u->zweck << teile.value(0).simplified();
    u->name = (teile.value(32) + teile.value(33)).simplified();
    static const QRegularExpression ibanForm(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    const QString konto = teile.value(31).trimmed(), bank = teile.value(30).trimmed();
    if (ibanForm.match(normIban(konto)).hasMatch()) u->iban = normIban(konto);
    else u->kontonummer = konto;
    static const QRegularExpression blzForm(QStringLiteral("^[0-9]{8}$"));
    if (blzForm.match(bank).hasMatch()) u->blz = bank;
    else u->bic = bank;
    if (u->storno) u->zweck.prepend(QStringLiteral("Storno:"));
}

}  // namespace

namespace {
// Reads the message line by line into fields (a line that does not open a
// field continues the one before; SWIFT block headers ({1:…}{4:) and end
// marks (-}, -) are envelope, not content) and each field as it completes.
// A transaction goes to the receiver once nothing more can belong to it
// (the next :61:, its :86:, the closing balance, the next statement).
class Mt940 {
public:
    Mt940(AuszugEmpfaenger* e, QString* fehler) : m_weitergabe(e), m_fehler(fehler) {}

    bool zeile(QString z, int nr) {
        static const QRegularExpression tag(QStringLiteral("^:([0-9]{2}[A-Z]?):(.*)$"));
        z.remove(QLatin1Char('\r'));
        if (z.startsWith(QLatin1Char('{'))) {
            const int rumpf = z.indexOf(QLatin1String("{4:"));
            if (rumpf < 0) return true;
            z = z.mid(rumpf + 3);
        }
        if (z == QLatin1String("-") || z == QLatin1String("-}") || z.trimmed().isEmpty()) return true;
        const QRegularExpressionMatch m = tag.match(z);
        if (m.hasMatch()) {
            if (m_hatFeld && !feld(m_feld)) return false;
            m_feld = Feld{m.captured(1), m.captured(2), nr};
            m_hatFeld = true;
        } else if (!m_hatFeld) {
            return fail(m_fehler, nr, QStringLiteral("Vor dem ersten Feld (:20:) steht Text; die Datei ist kein MT940-Auszug."));
        } else {
            m_feld.inhalt += QLatin1Char('\n') + z;
        }
        return true;
    }

    // The end of the file: false with the content's refusal, else with the
    // receiver's.
    bool ende() {
        if (m_hatFeld && !feld(m_feld)) return false;
        if (!abschliessen()) return false;
        if (m_auszuege == 0) {
            *m_fehler = QStringLiteral("Die Datei enthält keinen MT940-Auszug (Feld :20:).");
            return false;
        }
        if (!m_weitergabe.fehler().isEmpty()) {
            *m_fehler = m_weitergabe.fehler();
            return false;
        }
        return true;
    }

private:
    bool kontoBekannt() const { return !m_a.iban.isEmpty() || !m_a.kontonummer.isEmpty(); }
    // The transaction read last is complete.
    void abgeben() {
        if (!m_offenerUmsatz) return;
        m_offenerUmsatz = false;
        // A :61: without a field 86 still needs its reversal mark in the text.
        if (m_u.storno && m_u.zweck.isEmpty()) m_u.zweck << QStringLiteral("Storno:");
        // Its account normally stands before the first transaction; where
        // it does not, the transactions wait for the statement's end.
        if (!m_weitergabe.begonnen() && kontoBekannt()) m_weitergabe.beginnen(m_a);
        m_weitergabe.umsatz(m_u);
    }
    bool abschliessen() {
        if (!m_offen) return true;
        abgeben();
        if (!kontoBekannt()) return fail(m_fehler, m_zeile20, QStringLiteral("Dem Auszug fehlt das Konto (:25:)."));
        if (!m_anfang) return fail(m_fehler, m_zeile20, QStringLiteral("Dem Auszug fehlt der Anfangssaldo (:60F:)."));
        if (!m_ende) return fail(m_fehler, m_zeile20, QStringLiteral("Dem Auszug fehlt der Schlusssaldo (:62F:)."));
        m_a.mitSalden = true;
        m_weitergabe.ende(m_a);
        m_offen = false;
        return true;
    }
    bool feld(const Feld& f) {
        if (f.tag == QLatin1String("20")) {
            if (!abschliessen()) return false;
            m_a = Auszug();
            m_offen = true;
            m_anfang = m_ende = m_infoFrei = false;
            m_zeile20 = f.zeile;
            ++m_auszuege;
            return true;
        }
        if (!m_offen) return fail(m_fehler, f.zeile, QStringLiteral("Das Feld :%1: steht vor dem Beginn eines Auszugs (:20:).").arg(f.tag));
        if (f.tag == QLatin1String("25")) {
            // "BLZ/Kontonummer" (the account may carry its currency) or the IBAN.
            const QString k = f.inhalt.trimmed();
            if (k.contains(QLatin1Char('/'))) {
                m_a.blz = k.section(QLatin1Char('/'), 0, 0).trimmed();
                m_a.kontonummer = k.section(QLatin1Char('/'), 1).remove(QRegularExpression(QStringLiteral("[A-Z]{3}$"))).trimmed();
            } else {
                m_a.iban = normIban(k);
            }
        } else if (f.tag == QLatin1String("60F") || f.tag == QLatin1String("60M")) {
            if (!saldoLesen(f, &m_a.anfangssaldo, m_fehler)) return false;
            m_anfang = true;
        } else if (f.tag == QLatin1String("62F") || f.tag == QLatin1String("62M")) {
            abgeben();
            if (!saldoLesen(f, &m_a.endsaldo, m_fehler)) return false;
            m_ende = true;
            m_infoFrei = false;
        } else if (f.tag == QLatin1String("61")) {
            if (!m_anfang) return fail(m_fehler, f.zeile, QStringLiteral("Der Umsatz (:61:) steht vor dem Anfangssaldo (:60F:)."));
            if (m_ende) return fail(m_fehler, f.zeile, QStringLiteral("Der Umsatz (:61:) steht nach dem Schlusssaldo (:62F:)."));
            abgeben();
            m_u = Umsatz();
            if (!umsatzLesen(f, &m_u, m_fehler)) return false;
            m_offenerUmsatz = true;
            m_infoFrei = true;
        } else if (f.tag == QLatin1String("86") && m_infoFrei) {
            // The field 86 after a :61: belongs to it; one after the closing
            // balance is a note on the whole statement.
            infoLesen(f, &m_u);
            m_infoFrei = false;
            abgeben();
        }
        return true;
    }

    intern::Weitergabe m_weitergabe;
    QString* m_fehler;
    Feld m_feld;
    bool m_hatFeld = false;
    Auszug m_a;  // the statement without its transactions
    Umsatz m_u;
    bool m_offenerUmsatz = false;
    bool m_offen = false, m_anfang = false, m_ende = false, m_infoFrei = false;
    int m_zeile20 = 0, m_auszuege = 0;
};
}  // namespace

bool leseMt940(QIODevice* datei, BuchungenCSV::Zeichensatz z, AuszugEmpfaenger* empfaenger, QString* fehler) {
    BuchungenCSV::TextLeser text(datei);
    if (!text.pruefen(z, fehler)) return false;
    Mt940 leser(empfaenger, fehler);
    QString zeile;
    for (int nr = 1; text.zeile(&zeile); ++nr)
        if (!leser.zeile(zeile, nr)) return false;
    return leser.ende();
}

bool leseMt940(const QByteArray& datei, BuchungenCSV::Zeichensatz z, QList<Auszug>* out, QString* fehler) {
    out->clear();
    QBuffer puffer;
    puffer.setData(datei);
    puffer.open(QIODevice::ReadOnly);
    AuszugSammler sammler(out);
    if (leseMt940(&puffer, z, &sammler, fehler)) return true;
    out->clear();
    return false;
}

}  // namespace Bank
