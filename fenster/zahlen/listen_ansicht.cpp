// The views over one report list (see listen_ansicht.h).
#include "fenster/zahlen/listen_ansicht.h"

#include "fenster/sitzung.h"
#include "host/app/ui.h"
#include "kontbaum/berichte/zahlenlisten.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/voranmeldungszahlen.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace fenster {

// --- the table ------------------------------------------------------------------------------

ListenAnsicht::ListenAnsicht(Sitzung& sitzung, bool mitZeitraum, QWidget* eltern) : Ansicht(sitzung, eltern), m_s(sitzung) {
    auto* v = new QVBoxLayout(this);
    m_leiste = new QHBoxLayout;
    if (mitZeitraum) {
        m_zeitraum = new ZeitraumWahl(true, this);
        m_leiste->addWidget(m_zeitraum);
        connect(m_zeitraum, &ZeitraumWahl::geaendert, this, &ListenAnsicht::aktualisieren);
    }
    m_leiste->addStretch(1);
    auto* zeigen = new QPushButton(symbolAus("edit-find", QStyle::SP_FileDialogContentsView), QStringLiteral("&Buchungen zeigen"), this);
    zeigen->setToolTip(QStringLiteral("Die Buchungen der gewählten Zeile (auch mit Doppelklick oder Eingabetaste)"));
    m_leiste->addWidget(zeigen);
    m_modell = new ListenModell(this);
    m_leiste->addWidget(new AusgabeLeiste([this] { return m_modell->liste(); }, [this] { return m_s.betriebsname(); }, this));
    v->addLayout(m_leiste);
    m_kopf = new QLabel(this);
    m_kopf->setTextFormat(Qt::RichText);
    v->addWidget(m_kopf);
    m_fehler = new QLabel(this);
    m_fehler->setWordWrap(true);
    m_fehler->setStyleSheet(QStringLiteral("QLabel { background: #fde2e2; border: 1px solid #d07070; padding: 4px; }"));
    m_fehler->setVisible(false);
    v->addWidget(m_fehler);
    m_tabelle = new QTableView(this);
    m_tabelle->setModel(m_modell);
    m_tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tabelle->setAlternatingRowColors(true);
    m_tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabelle->verticalHeader()->setVisible(false);
    m_tabelle->verticalHeader()->setDefaultSectionSize(m_tabelle->fontMetrics().height() + 6);
    m_tabelle->setWordWrap(false);
    v->addWidget(m_tabelle, 1);
    connect(m_tabelle, &QTableView::activated, this, [this](const QModelIndex& i) { buchungenZeigen(i.row()); });
    connect(zeigen, &QPushButton::clicked, this, [this] { buchungenZeigen(m_tabelle->currentIndex().row()); });
}

void ListenAnsicht::aktualisieren() {
    if (!m_s.istOffen()) return;
    BerichtListe l;
    QString fehler;
    bool ok = false;
    m_s.lesen([&](DBConnection* db) {
        if (m_zeitraum) m_zeitraum->setJahr(m_s.kg()->getSteuerjahr());
        ok = fuellen(db, &l, &fehler);
    });
    m_modell->setListe(ok ? l : BerichtListe());
    m_fehler->setText(fehler);
    m_fehler->setVisible(!ok && !fehler.isEmpty());
    QString kopf = ok ? kopfzeile() : QString();
    if (ok && kopf.isEmpty()) {
        kopf = QStringLiteral("<b>%1</b>").arg(l.titel.toHtmlEscaped());
        if (!l.untertitel.isEmpty()) kopf += QStringLiteral(" — ") + l.untertitel.toHtmlEscaped();
        if (l.anzahl() == 0) kopf += QStringLiteral(" — <i>die Liste ist leer</i>");
    }
    m_kopf->setText(kopf);
    m_tabelle->resizeColumnsToContents();
    // Long texts are cut (the full text is in the tooltip of the cell) so
    // the amounts stay in sight.
    const int hoechstens = qMax(260, m_tabelle->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 55);
    for (int c = 0; c < l.spalten.size(); ++c)
        if (l.spalten[c].art == BerichtSpalte::Text && m_tabelle->columnWidth(c) > hoechstens) m_tabelle->setColumnWidth(c, hoechstens);
    m_tabelle->horizontalHeader()->setStretchLastSection(false);
}

void ListenAnsicht::buchungenZeigen(int zeile) {
    if (zeile < 0 || zeile >= m_modell->rowCount()) return;
    BuchungsFilter f;
    if (!filterFuer(zeile, &f)) return;
    if (f.nummern.isEmpty() && f.konto == 0) {
        Ui::current()->Hinweis(QStringLiteral("%1: keine Buchung.").arg(f.titel));
        return;
    }
    emit zeigeBuchungen(f);
}

// --- annual VAT return ----------------------------------------------------------------------

QIcon UStErklaerungAnsicht::symbol() const { return symbolAus("x-office-document", QStyle::SP_FileDialogDetailedView); }

bool UStErklaerungAnsicht::fuellen(DBConnection*, BerichtListe* l, QString* fehler) {
    if (!UStErklaerung::berechne(m_s.kg()->getSlot(), &m_ergebnis)) {
        *fehler = QStringLiteral("Die Umsatzsteuererklärung konnte nicht berechnet werden.");
        return false;
    }
    UStErklaerung::liste(m_ergebnis, l);
    return true;
}

QString UStErklaerungAnsicht::kopfzeile() const {
    const UStErklaerung::Ergebnis& e = m_ergebnis;
    return QStringLiteral("<b>Umsatzsteuererklärung %1</b> — Umsatzsteuer des Jahres %2 €, Vorauszahlungssoll %3 € — <b>%4 %5 €</b>")
        .arg(e.jahr)
        .arg(e.steuer.getText(), e.vorauszahlungssoll.getText(),
             e.verbleibend < EuroType() ? QStringLiteral("Erstattung") : QStringLiteral("noch zu entrichten"), e.verbleibend.abs().getText());
}

bool UStErklaerungAnsicht::filterFuer(int zeile, BuchungsFilter* f) {
    const int spalte = modell()->spalte(QStringLiteral("kennziffer"));
    const QVariant kz = modell()->wert(zeile, spalte);
    if (spalte < 0 || !kz.isValid() || kz.isNull()) return false;
    // A line holds a base and the tax booked beside it.
    QList<int> codes{kz.toInt()};
    for (const UStErklaerung::Kennzahl& k : UStErklaerung::kennzahlen())
        if (k.basisVon == kz.toInt()) codes << k.kennziffer;
    f->titel = QStringLiteral("Kennzahl %1, Umsatzsteuererklärung %2").arg(kz.toInt()).arg(m_ergebnis.jahr);
    m_s.lesen([&](DBConnection*) { f->nummern = UStVA::buchungenZu(m_s.kg()->getSlot(), 1, UStVA::Periode::jahr(), codes); });
    return true;
}

// --- balance list ---------------------------------------------------------------------------

QIcon SaldenlisteAnsicht::symbol() const { return symbolAus("view-list-details", QStyle::SP_FileDialogListView); }

bool SaldenlisteAnsicht::fuellen(DBConnection*, BerichtListe* l, QString*) {
    Berichte::saldenliste(m_zeitraum->zeitraum(), l);
    return true;
}

bool SaldenlisteAnsicht::filterFuer(int zeile, BuchungsFilter* f) {
    const QVariant konto = modell()->wert(zeile, modell()->spalte(QStringLiteral("konto")));
    if (!konto.isValid() || konto.isNull()) return false;
    // The list sums from the start of the year to the end of the period.
    f->konto = konto.toULongLong();
    f->von = zDate(m_zeitraum->jahr(), 1, 1);
    f->bis = m_zeitraum->bis();
    f->titel = QStringLiteral("Konto %1, %2 bis %3").arg(f->konto).arg(f->von.getText(), f->bis.getText());
    return true;
}

// --- every report ---------------------------------------------------------------------------

BerichteAnsicht::BerichteAnsicht(Sitzung& sitzung, QWidget* eltern) : ListenAnsicht(sitzung, true, eltern) {
    auto* zeile = new QHBoxLayout;
    auto* l = new QLabel(QStringLiteral("&Liste:"), this);
    m_bericht = new QComboBox(this);
    l->setBuddy(m_bericht);
    for (const Berichte::BerichtArt& a : Berichte::berichtArten()) {
        QString b = QString::fromUtf8(a.beschreibung);
        m_bericht->addItem(b.left(1).toUpper() + b.mid(1), QLatin1String(a.name));
    }
    m_bericht->setMaxVisibleItems(20);
    // A list of sums to begin with: the ledger lists of a whole year can be long.
    m_bericht->setCurrentIndex(qMax(0, m_bericht->findData(QStringLiteral("ustliste"))));
    zeile->addWidget(l);
    zeile->addWidget(m_bericht, 1);
    auto feld = [&](const QString& text, QWidget* w, const QString& tipp) {
        auto* lab = new QLabel(text, this);
        lab->setBuddy(w);
        w->setToolTip(tipp);
        zeile->addWidget(lab);
        zeile->addWidget(w);
        m_optionen << lab << w;
    };
    m_konto = new QLineEdit(this);
    m_konto->setPlaceholderText(QStringLiteral("1200 oder 1200-1299"));
    feld(QStringLiteral("&Konto:"), m_konto, QStringLiteral("Eine Kontonummer oder ein Bereich wie 1200-1299"));
    m_beleg = new QLineEdit(this);
    m_beleg->setPlaceholderText(QStringLiteral("etwa RE-"));
    feld(QStringLiteral("B&eleg:"), m_beleg, QStringLiteral("Nur Belegnummern, die so beginnen"));
    m_grenze = new QLineEdit(this);
    m_grenze->setPlaceholderText(QStringLiteral("GWG-Grenze"));
    feld(QStringLiteral("&Grenze:"), m_grenze, QStringLiteral("Ausgaben über diesem Betrag; leer: die GWG-Grenze des Falls"));
    m_sortierung = new QComboBox(this);
    m_sortierung->addItem(QStringLiteral("nach Nummer"), QStringLiteral("nummer"));
    m_sortierung->addItem(QStringLiteral("nach Zahlungsdatum"), QStringLiteral("zahlungsdatum"));
    m_sortierung->addItem(QStringLiteral("nach Beleg"), QStringLiteral("beleg"));
    feld(QStringLiteral("&Sortierung:"), m_sortierung, QStringLiteral("Reihenfolge des Journals"));
    m_nach = new QComboBox(this);
    m_nach->addItem(QStringLiteral("Belegdatum"), QStringLiteral("belegdatum"));
    m_nach->addItem(QStringLiteral("Buchungsdatum"), QStringLiteral("buchungsdatum"));
    feld(QStringLiteral("&Nach:"), m_nach, QStringLiteral("Welches Datum den Zeitraum bestimmt"));
    m_belegart = new QComboBox(this);
    for (const char* a : {"rechnung", "angebot", "auftrag", "lieferschein", "mahnung"}) {
        const QString n = QLatin1String(a);
        m_belegart->addItem(n.left(1).toUpper() + n.mid(1), n);
    }
    feld(QStringLiteral("&Art:"), m_belegart, QStringLiteral("Welche Belege der Fakturierung"));
    auto* v = static_cast<QVBoxLayout*>(layout());
    v->insertLayout(0, zeile);
    optionenZeigen();
    connect(m_bericht, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        optionenZeigen();
        aktualisieren();
    });
    for (QLineEdit* e : {m_konto, m_beleg, m_grenze}) connect(e, &QLineEdit::editingFinished, this, &BerichteAnsicht::aktualisieren);
    for (QComboBox* c : {m_sortierung, m_nach, m_belegart})
        connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &BerichteAnsicht::aktualisieren);
    setTabOrder(m_bericht, m_konto);
    setTabOrder(m_konto, m_beleg);
    setTabOrder(m_beleg, m_grenze);
    setTabOrder(m_grenze, m_sortierung);
    setTabOrder(m_sortierung, m_nach);
    setTabOrder(m_nach, m_belegart);
    setTabOrder(m_belegart, m_zeitraum->auswahl());
    setTabOrder(m_zeitraum->auswahl(), tabelle());
}

QIcon BerichteAnsicht::symbol() const { return symbolAus("x-office-spreadsheet", QStyle::SP_FileDialogListView); }

const Berichte::BerichtArt* BerichteAnsicht::art() const { return Berichte::findeBericht(m_bericht->currentData().toString()); }

bool BerichteAnsicht::waehle(const QString& name) {
    const int i = m_bericht->findData(name);
    if (i < 0) return false;
    m_bericht->setCurrentIndex(i);
    aktualisieren();
    return true;
}

void BerichteAnsicht::optionenZeigen() {
    const Berichte::BerichtArt* a = art();
    const unsigned o = a ? a->optionen : 0;
    const unsigned je[] = {Berichte::OptKonten | Berichte::OptKontoPflicht, Berichte::OptBeleg, Berichte::OptGrenze, Berichte::OptSortierung, Berichte::OptNach,
                           Berichte::OptBelegart};
    for (int i = 0; i < 6; ++i) {
        m_optionen[2 * i]->setVisible(o & je[i]);
        m_optionen[2 * i + 1]->setVisible(o & je[i]);
    }
    m_zeitraum->setVisible(o & Berichte::OptZeitraum);
}

bool BerichteAnsicht::fuellen(DBConnection*, BerichtListe* l, QString* fehler) {
    const Berichte::BerichtArt* a = art();
    if (!a) return false;
    BerichtParameter p;
    p.jahr = m_s.kg()->getSteuerjahr();
    p.zeitraum = m_zeitraum->zeitraum();
    if (a->optionen & (Berichte::OptKonten | Berichte::OptKontoPflicht)) {
        const QStringList t = m_konto->text().trimmed().split(QLatin1Char('-'));
        bool ok1 = true, ok2 = true;
        if (!m_konto->text().trimmed().isEmpty()) {
            p.vonKonto = t.first().trimmed().toULong(&ok1);
            p.bisKonto = t.size() == 2 ? t.last().trimmed().toULong(&ok2) : p.vonKonto;
        }
        if (t.size() > 2 || !ok1 || !ok2 || p.vonKonto > 9999 || p.bisKonto > 9999 || p.bisKonto < p.vonKonto) {
            *fehler = QStringLiteral("Bitte eine Kontonummer (1 bis 9999) oder einen Bereich wie 1200-1299 angeben, nicht „%1“.").arg(m_konto->text());
            return false;
        }
        if ((a->optionen & Berichte::OptKontoPflicht) && p.vonKonto == 0) {
            *fehler = QStringLiteral("Diese Liste braucht ein Konto: bitte im Feld „Konto“ eine Kontonummer angeben.");
            return false;
        }
        if ((a->optionen & Berichte::OptKontoPflicht) && p.bisKonto != p.vonKonto) {
            *fehler = QStringLiteral("Diese Liste gilt für genau ein Konto.");
            return false;
        }
    }
    if ((a->optionen & Berichte::OptGrenze) && !m_grenze->text().trimmed().isEmpty()) {
        if (!EuroType::fromText(m_grenze->text().trimmed(), &p.grenze) || p.grenze < EuroType()) {
            *fehler = QStringLiteral("Die Grenze „%1“ ist kein Betrag wie 410,00.").arg(m_grenze->text());
            return false;
        }
    }
    if (a->optionen & Berichte::OptBeleg) p.belegPrefix = m_beleg->text().trimmed();
    if (a->optionen & Berichte::OptSortierung) p.sortierung = m_sortierung->currentData().toString();
    if (a->optionen & Berichte::OptNach) p.nach = m_nach->currentData().toString();
    if (a->optionen & Berichte::OptBelegart) p.belegart = m_belegart->currentData().toString();
    m_parameter = p;
    return a->fuellen(p, l, fehler);
}

QString BerichteAnsicht::kopfzeile() const { return QString(); }

bool BerichteAnsicht::filterFuer(int zeile, BuchungsFilter* f) {
    const int nr = modell()->spalte(QStringLiteral("buchungsnummer"));
    const QVariant n = modell()->wert(zeile, nr);
    if (nr >= 0 && n.isValid() && !n.isNull() && n.toULongLong() > 0) {
        f->nummern << n.toULongLong();
        f->titel = QStringLiteral("Buchung %1").arg(n.toULongLong());
        return true;
    }
    const QVariant konto = modell()->wert(zeile, modell()->spalte(QStringLiteral("konto")));
    bool ok = false;
    const unsigned long k = konto.toString().toULong(&ok);
    if (!ok || k == 0 || modell()->istSumme(zeile)) return false;
    f->konto = k;
    const Berichte::BerichtArt* a = art();
    if (a && (a->optionen & Berichte::OptZeitraum)) {
        f->von = m_parameter.von();
        f->bis = m_parameter.bis();
    }
    f->titel = QStringLiteral("Konto %1, %2").arg(k).arg(m_parameter.zeitraumText());
    return true;
}

}  // namespace fenster
