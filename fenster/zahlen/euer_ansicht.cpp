// The income-surplus statement view (see euer_ansicht.h).
#include "fenster/zahlen/euer_ansicht.h"

#include "fenster/sitzung.h"
#include "fenster/zahlen/werkzeug.h"
#include "host/app/ui.h"
#include "kontbaum/berichte/herkunft.h"
#include "kontbaum/berichte/zahlenlisten.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fenster {

namespace {
// On column 0 of a line: what its bookings are (an account or a category).
constexpr int kKonto = Qt::UserRole, kKategorie = Qt::UserRole + 1;
}  // namespace

EuerAnsicht::EuerAnsicht(Sitzung& sitzung, QWidget* eltern) : Ansicht(sitzung, eltern), m_s(sitzung) {
    auto* v = new QVBoxLayout(this);
    auto* oben = new QHBoxLayout;
    m_kopf = new QLabel(this);
    m_kopf->setTextFormat(Qt::RichText);
    m_kopf->setWordWrap(true);
    oben->addStretch(1);
    auto* zeigen = new QPushButton(symbolAus("edit-find", QStyle::SP_FileDialogContentsView), QStringLiteral("&Buchungen zeigen"), this);
    zeigen->setToolTip(QStringLiteral("Die Buchungen des gewählten Kontos oder der gewählten Kategorie (auch mit Doppelklick oder Eingabetaste)"));
    oben->addWidget(zeigen);
    // Print and export take the page that is shown.
    auto* ausgabe = new AusgabeLeiste(
        [this] {
            BerichtListe l;
            if (m_seiten->currentIndex() == 1) EuerFormular::liste(m_zeilen, m_jahr, &l);
            else Berichte::euer(m_rechnung, m_jahr, &l);
            return l;
        },
        [this] { return m_s.betriebsname(); }, this);
    oben->addWidget(ausgabe);
    v->addLayout(oben);
    v->addWidget(m_kopf);
    m_seiten = new QTabWidget(this);
    m_baum = new QTreeWidget(this);
    m_baum->setColumnCount(3);
    m_baum->setHeaderLabels({QStringLiteral("Konto"), QStringLiteral("Bezeichnung"), QStringLiteral("Betrag")});
    m_baum->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    m_baum->setAlternatingRowColors(true);
    m_baum->setUniformRowHeights(true);
    m_baum->header()->setStretchLastSection(false);
    m_seiten->addTab(m_baum, QStringLiteral("Nach &Konten"));
    m_formularModell = new ListenModell(this);
    m_formular = new QTableView(this);
    m_formular->setModel(m_formularModell);
    m_formular->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_formular->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_formular->setAlternatingRowColors(true);
    m_formular->verticalHeader()->setVisible(false);
    m_formular->verticalHeader()->setDefaultSectionSize(m_formular->fontMetrics().height() + 6);
    m_seiten->addTab(m_formular, QStringLiteral("&Anlage EÜR"));
    m_seiten->setTabToolTip(1, QStringLiteral("Die Zeilen des Formulars mit den Beträgen, die „euer --uebertragen“ in das Formular schreibt"));
    v->addWidget(m_seiten, 1);
    setTabOrder(m_seiten, m_baum);
    setTabOrder(m_baum, zeigen);
    connect(m_baum, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* i) { buchungenZeigen(i); });
    connect(zeigen, &QPushButton::clicked, this, [this] { buchungenZeigen(m_baum->currentItem()); });
}

QIcon EuerAnsicht::symbol() const { return symbolAus("office-chart-bar", QStyle::SP_FileDialogListView); }

void EuerAnsicht::aktualisieren() {
    if (!m_s.istOffen()) return;
    m_s.lesen([this](DBConnection* db) {
        m_jahr = m_s.kg()->getSteuerjahr();
        m_rechnung.Fuellen();
        m_zeilen = EuerFormular::zeilen(db);
    });
    BerichtListe formular;
    EuerFormular::liste(m_zeilen, m_jahr, &formular);
    m_formularModell->setListe(formular);
    m_formular->resizeColumnsToContents();
    m_formular->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_baum->clear();
    QFont fett = m_baum->font();
    fett.setBold(true);
    auto zeile = [&](QTreeWidgetItem* in, const QString& konto, const QString& text, const EuroType* betrag, bool summe) {
        auto* i = new QTreeWidgetItem(in ? in : m_baum->invisibleRootItem(), {konto, text, betrag ? betrag->getText() : QString()});
        i->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        i->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (summe)
            for (int c = 0; c < 3; ++c) i->setFont(c, fett);
        return i;
    };
    const EUERechnung2& r = m_rechnung;
    for (bool einnahmen : {true, false}) {
        const EuroType summe = einnahmen ? r.einnahmen() : r.ausgaben();
        QTreeWidgetItem* seite = zeile(nullptr, QString(), einnahmen ? QStringLiteral("Betriebseinnahmen") : QStringLiteral("Betriebsausgaben"),
                                       &summe, true);
        for (const EUERechnung2::Kategorie& c : r.kategorien()) {
            if (c.einnahme != einnahmen) continue;
            QTreeWidgetItem* k = zeile(seite, QString::number(c.kategorie), c.bezeichnung, &c.summe, true);
            k->setData(0, kKategorie, qulonglong(c.kategorie));
            k->setToolTip(1, QStringLiteral("Kategorie %1; Doppelklick: ihre Buchungen").arg(c.kategorie));
            for (const EUERechnung2::KontoSumme& ks : c.konten) {
                QTreeWidgetItem* a = zeile(k, QString::number(ks.konto), ks.bezeichnung, &ks.summe, false);
                a->setData(0, kKonto, qulonglong(ks.konto));
                a->setToolTip(1, QStringLiteral("Doppelklick: die Buchungen des Kontos %1").arg(ks.konto));
            }
        }
        seite->setExpanded(true);
    }
    const EuroType iab = r.iab(), aufloesung = r.iabAufloesung();
    if (!iab.isNull()) zeile(nullptr, QString(), QStringLiteral("Investitionsabzugsbeträge"), &iab, true);
    if (!aufloesung.isNull()) zeile(nullptr, QString(), QStringLiteral("Hinzurechnung von Investitionsabzugsbeträgen"), &aufloesung, true);
    const EuroType g = r.gewinn();
    zeile(nullptr, QString(), g < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), &g, true);
    m_baum->expandAll();
    for (int c = 0; c < 3; ++c) m_baum->resizeColumnToContents(c);
    m_baum->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_kopf->setText(QStringLiteral("<b>Einnahmenüberschussrechnung %1</b> — Einnahmen %2 €, Ausgaben %3 €, <b>%4 %5 €</b>")
                        .arg(m_jahr)
                        .arg(r.einnahmen().getText(), r.ausgaben().getText(),
                             g < EuroType() ? QStringLiteral("Verlust") : QStringLiteral("Gewinn"), g.getText()));
}

namespace {
QTreeWidgetItem* suche(QTreeWidgetItem* i, int rolle, qulonglong wert) {
    if (i->data(0, rolle).isValid() && i->data(0, rolle).toULongLong() == wert) return i;
    for (int k = 0; k < i->childCount(); ++k)
        if (QTreeWidgetItem* t = suche(i->child(k), rolle, wert)) return t;
    return nullptr;
}
}  // namespace

QTreeWidgetItem* EuerAnsicht::kontoZeile(unsigned long konto) const { return suche(m_baum->invisibleRootItem(), kKonto, konto); }

QTreeWidgetItem* EuerAnsicht::kategorieZeile(unsigned long kategorie) const { return suche(m_baum->invisibleRootItem(), kKategorie, kategorie); }

void EuerAnsicht::buchungenZeigen(QTreeWidgetItem* zeile) {
    if (!zeile) return;
    QList<unsigned long> konten;
    QString titel;
    if (zeile->data(0, kKonto).isValid()) {
        konten << zeile->data(0, kKonto).toULongLong();
        titel = QStringLiteral("Konto %1 %2, EÜR %3").arg(konten.first()).arg(zeile->text(1)).arg(m_jahr);
    } else if (zeile->data(0, kKategorie).isValid()) {
        for (int k = 0; k < zeile->childCount(); ++k) konten << zeile->child(k)->data(0, kKonto).toULongLong();
        titel = QStringLiteral("Kategorie %1 %2, EÜR %3").arg(zeile->text(0), zeile->text(1)).arg(m_jahr);
    } else {
        return;
    }
    // The bookings the statement counts: cancelled ones and their
    // cancellations are not among them.
    BuchungsFilter f;
    f.titel = titel;
    m_s.lesen([&](DBConnection* db) { f.nummern = Berichte::buchungenAufKonten(db, konten, zDate(), zDate()); });
    if (f.nummern.isEmpty()) {
        Ui::current()->Hinweis(QStringLiteral("%1: keine Buchung.").arg(titel));
        return;
    }
    emit zeigeBuchungen(f);
}

}  // namespace fenster
