// The chart of accounts and the account statement (see konten.h).
#include "fenster/ansichten/konten.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "kontbaum/berichte/listen.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

KontenAnsicht::KontenAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    auto* layout = new QVBoxLayout(this);
    auto* teiler = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(teiler);

    auto* links = new QWidget(teiler);
    auto* ll = new QVBoxLayout(links);
    ll->setContentsMargins(0, 0, 0, 0);
    m_suche = new QLineEdit(links);
    m_suche->setObjectName(QStringLiteral("suche"));
    m_suche->setPlaceholderText(QStringLiteral("Konto suchen: Nummer oder Teil des Namens"));
    m_suche->setClearButtonEnabled(true);
    m_inaktive = new QCheckBox(QStringLiteral("auch &inaktive Konten"), links);
    m_aktiv = new QPushButton(links);
    m_aktiv->setObjectName(QStringLiteral("aktiv"));
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(m_inaktive);
    zeile->addStretch();
    zeile->addWidget(m_aktiv);
    ll->addWidget(m_suche);
    ll->addLayout(zeile);
    m_konten = neueTabelle(links);
    m_konten->setObjectName(QStringLiteral("konten"));
    m_kontenModell = new QStandardItemModel(this);
    m_konten->setModel(m_kontenModell);
    ll->addWidget(m_konten, 1);

    auto* rechts = new QWidget(teiler);
    auto* rl = new QVBoxLayout(rechts);
    rl->setContentsMargins(0, 0, 0, 0);
    auto* kopf = new QHBoxLayout;
    m_kopf = new QLabel(rechts);
    m_kopf->setObjectName(QStringLiteral("kopf"));
    m_zeitraum = zeitraumAuswahl(rechts);
    auto* zl = new QLabel(QStringLiteral("&Zeitraum:"), rechts);
    zl->setBuddy(m_zeitraum);
    kopf->addWidget(m_kopf, 1);
    kopf->addWidget(zl);
    kopf->addWidget(m_zeitraum);
    rl->addLayout(kopf);
    m_auszug = neueTabelle(rechts);
    m_auszug->setObjectName(QStringLiteral("kontoauszug"));
    m_auszugModell = new QStandardItemModel(this);
    m_auszug->setModel(m_auszugModell);
    rl->addWidget(m_auszug, 1);
    teiler->addWidget(links);
    teiler->addWidget(rechts);
    teiler->setStretchFactor(0, 2);
    teiler->setStretchFactor(1, 3);

    connect(m_suche, &QLineEdit::textChanged, this, [this] {
        // A search picks its first hit, so Enter leads straight to it.
        m_konto = 0;
        zeigeKontenplan();
        if (m_kontenModell->rowCount() > 0) m_konten->setCurrentIndex(m_kontenModell->index(0, 0));
    });
    connect(m_suche, &QLineEdit::returnPressed, this, [this] { m_konten->setFocus(); });
    connect(m_inaktive, &QCheckBox::toggled, this, &KontenAnsicht::zeigeKontenplan);
    connect(m_aktiv, &QPushButton::clicked, this, &KontenAnsicht::aktivUmschalten);
    m_aktiv->setText(QStringLiteral("&Konto deaktivieren"));
    connect(m_konten->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& i) {
        if (!i.isValid()) return;
        m_konto = m_kontenModell->item(i.row(), 0)->data(Qt::UserRole).toULongLong();
        const bool aktiv = m_kontenModell->item(i.row(), 4)->text() == QLatin1String("ja");
        m_aktiv->setText(aktiv ? QStringLiteral("&Konto deaktivieren") : QStringLiteral("&Konto aktivieren"));
        m_aktiv->setIcon(gemeinsam::symbol(aktiv ? "list-remove" : "list-add", aktiv ? QStyle::SP_DialogNoButton : QStyle::SP_DialogYesButton));
        zeigeKontoauszug();
    });
    connect(m_zeitraum, QOverload<int>::of(&QComboBox::activated), this, &KontenAnsicht::zeigeKontoauszug);
    // A statement line leads to its booking in the ledger.
    connect(m_auszug, &QTableView::activated, this, [this](const QModelIndex& i) {
        const QVariant nr = m_auszugModell->item(i.row(), 2)->data(Qt::UserRole);
        if (nr.isNull() || nr.toULongLong() == 0) return;
        emit zeigeBuchungen(eineBuchung(nr.toULongLong(), QStringLiteral("Konto %1").arg(m_konto)));
    });
    setTabOrder(m_suche, m_inaktive);
    setTabOrder(m_inaktive, m_konten);
    setTabOrder(m_konten, m_zeitraum);
    setTabOrder(m_zeitraum, m_auszug);
}

QString KontenAnsicht::titel() const { return QStringLiteral("Kontenplan"); }
QIcon KontenAnsicht::symbol() const { return gemeinsam::symbol("accessories-dictionary", QStyle::SP_FileDialogListView); }

void KontenAnsicht::aktualisieren() {
    // Opened first, the view shows the cash account, the one a user looks at most.
    if (m_konto == 0) sitzung().lesen([&](DBConnection*) { m_konto = (unsigned long)qMax(0, sitzung().kg()->getKassenkonto()); });
    zeigeKontenplan();
    zeigeKontoauszug();
}

void KontenAnsicht::zeigeKontenplan() {
    koepfe(m_kontenModell, {QStringLiteral("Konto"), QStringLiteral("Bezeichnung"), QStringLiteral("Kategorie"), QStringLiteral("Schlüssel"),
                            QStringLiteral("aktiv")});
    int zeile = -1;
    sitzung().lesen([&](DBConnection*) {
        const QString s = m_suche->text().trimmed();
        QList<Kontoeditor::Kontozeile> l = s.isEmpty() ? Kontoeditor::kontenliste(m_inaktive->isChecked()) : Kontoeditor::kontensuche(s);
        for (const Kontoeditor::Kontozeile& k : l) {
            if (!k.aktiv && !m_inaktive->isChecked()) continue;
            if (k.nummer == m_konto) zeile = m_kontenModell->rowCount();
            auto* nr = zahlZelle(k.nummer);
            m_kontenModell->appendRow({nr, textZelle(k.bezeichnung),
                                       textZelle(QStringLiteral("%1 %2").arg(k.kategorie).arg(KontoGlobal::getKategorieBezeichnung(k.kategorie))),
                                       textZelle(k.steuerschluessel ? QString::number(k.steuerschluessel) +
                                                                          (k.steuerautomatik ? QStringLiteral(" (fest)") : QString())
                                                                    : QString()),
                                       textZelle(k.aktiv ? QStringLiteral("ja") : QStringLiteral("nein"))});
        }
    });
    spaltenAnpassen(m_konten);
    if (zeile >= 0) m_konten->setCurrentIndex(m_kontenModell->index(zeile, 0));
}

void KontenAnsicht::aktivUmschalten() {
    const QModelIndex i = m_konten->currentIndex();
    if (!i.isValid()) return;
    const unsigned long konto = m_kontenModell->item(i.row(), 0)->data(Qt::UserRole).toULongLong();
    const bool aktiv = m_kontenModell->item(i.row(), 4)->text() == QLatin1String("ja");
    if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Kontoeditor::setzeKontenAktiv({konto}, !aktiv, fehler); })) {
        // A deactivated account stays in sight until the user looks elsewhere.
        if (aktiv) m_inaktive->setChecked(true);
        m_konto = konto;
        zeigeKontenplan();
    }
}

void KontenAnsicht::zeigeKonto(unsigned long konto) {
    m_konto = konto;
    m_suche->clear();
    zeigeKontenplan();
    zeigeKontoauszug();
}

void KontenAnsicht::zeigeKontoauszug() {
    m_auszugModell->clear();
    if (m_konto == 0) {
        m_kopf->setText(QStringLiteral("Wählen Sie links ein Konto, um seine Buchungen zu sehen."));
        return;
    }
    BerichtParameter p;
    p.jahr = sitzung().steuerjahr();
    p.zeitraum = zeitraumAus(m_zeitraum);
    p.vonKonto = p.bisKonto = m_konto;
    BerichtListe l;
    QString fehler;
    bool ok = false;
    sitzung().lesen([&](DBConnection*) { ok = Berichte::findeBericht(QStringLiteral("kontenabfrage"))->fuellen(p, &l, &fehler); });
    if (!ok) {
        m_kopf->setText(fehler);
        return;
    }
    zeigeListe(l, m_auszugModell);
    // One account: its number in every row says nothing.
    m_auszug->setColumnHidden(0, true);
    spaltenAnpassen(m_auszug);
    m_auszug->scrollToBottom();
    m_kopf->setText(QStringLiteral("<b>Kontoauszug</b> %1").arg(l.untertitel.toHtmlEscaped()));
}

}  // namespace fenster
