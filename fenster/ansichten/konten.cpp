// The chart of accounts and the account statement (see konten.h).
#include "fenster/ansichten/konten.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/ui.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMap>
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
    m_neu = new QPushButton(gemeinsam::symbol("document-new", QStyle::SP_FileIcon), QStringLiteral("&Neues Konto …"), links);
    m_neu->setObjectName(QStringLiteral("neuesKonto"));
    m_aendern = new QPushButton(gemeinsam::symbol("document-properties", QStyle::SP_FileDialogDetailedView), QStringLiteral("Konto ä&ndern …"), links);
    m_aendern->setObjectName(QStringLiteral("kontoAendern"));
    zeile->addWidget(m_neu);
    zeile->addWidget(m_aendern);
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
    connect(m_neu, &QPushButton::clicked, this, &KontenAnsicht::neuesKonto);
    connect(m_aendern, &QPushButton::clicked, this, &KontenAnsicht::kontoAendern);
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
    setTabOrder(m_inaktive, m_aktiv);
    setTabOrder(m_aktiv, m_neu);
    setTabOrder(m_neu, m_aendern);
    setTabOrder(m_aendern, m_konten);
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

void KontenAnsicht::neuesKonto() { kontoBearbeiten(0); }

void KontenAnsicht::kontoAendern() {
    const QModelIndex i = m_konten->currentIndex();
    if (!i.isValid()) return meldeHinweis(QStringLiteral("Bitte zuerst links das Konto wählen, das geändert wird."));
    kontoBearbeiten(m_kontenModell->item(i.row(), 0)->data(Qt::UserRole).toULongLong());
}

void KontenAnsicht::kontoBearbeiten(unsigned long nummer) {
    const bool neu = nummer == 0;
    Kontoeditor::Konto k;
    QMap<unsigned long, QString> kategorien;
    QList<Kontoeditor::Schluesselzeile> schluessel;
    sitzung().lesen([&](DBConnection*) {
        if (!neu) Kontoeditor::lese(nummer, &k);
        // The categories the chart uses, each with its name.
        for (const Kontoeditor::Kontozeile& z : Kontoeditor::kontenliste(true))
            if (!kategorien.contains(z.kategorie)) kategorien.insert(z.kategorie, KontoGlobal::getKategorieBezeichnung(z.kategorie));
        schluessel = Kontoeditor::schluesselliste();
    });
    QDialog d(this);
    d.setWindowTitle(neu ? QStringLiteral("Neues Konto") : QStringLiteral("Konto %1 ändern").arg(nummer));
    auto* form = new QFormLayout(&d);
    auto* nr = new QLineEdit(&d);
    nr->setObjectName(QStringLiteral("nummer"));
    nr->setMaxLength(5);
    if (!neu) {
        nr->setText(QString::number(nummer));
        nr->setReadOnly(true);
    }
    auto* bezeichnung = new QLineEdit(k.bezeichnung, &d);
    bezeichnung->setObjectName(QStringLiteral("bezeichnung"));
    auto* kurz = new QLineEdit(k.kurzbezeichnung, &d);
    kurz->setObjectName(QStringLiteral("kurz"));
    kurz->setPlaceholderText(QStringLiteral("leer: die Bezeichnung, auf 25 Zeichen gekürzt"));
    auto* kategorie = new QComboBox(&d);
    kategorie->setObjectName(QStringLiteral("kategorie"));
    kategorie->setEditable(true);
    kategorie->setInsertPolicy(QComboBox::NoInsert);
    for (auto it = kategorien.cbegin(); it != kategorien.cend(); ++it)
        kategorie->addItem(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()), qulonglong(it.key()));
    kategorie->completer()->setCompletionMode(QCompleter::PopupCompletion);
    kategorie->completer()->setFilterMode(Qt::MatchContains);
    kategorie->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    kategorie->setCurrentIndex(neu ? -1 : kategorie->findData(qulonglong(k.kategorie)));
    auto* schl = new QComboBox(&d);
    schl->setObjectName(QStringLiteral("schluessel"));
    schl->addItem(QStringLiteral("kein Steuerschlüssel"), 0);
    for (const Kontoeditor::Schluesselzeile& z : schluessel)
        if (z.aktiv || z.schluessel == k.steuerschluessel)
            schl->addItem(QStringLiteral("%1 %2").arg(z.schluessel).arg(z.bezeichnung), qulonglong(z.schluessel));
    schl->setCurrentIndex(qMax(0, schl->findData(qulonglong(k.steuerschluessel))));
    auto* fest = new QCheckBox(QStringLiteral("Steuerschlüssel &fest (sonst nur vorbelegt)"), &d);
    fest->setChecked(k.steuerautomatik == 1);
    QComboBox* vorbild = nullptr;
    form->addRow(QStringLiteral("Konto&nummer:"), nr);
    form->addRow(QStringLiteral("&Bezeichnung:"), bezeichnung);
    form->addRow(QStringLiteral("K&urzbezeichnung:"), kurz);
    form->addRow(QStringLiteral("&Kategorie:"), kategorie);
    form->addRow(QStringLiteral("&Steuerschlüssel:"), schl);
    form->addRow(fest);
    if (neu) {
        vorbild = kontoAuswahl(sitzung(), &d);
        vorbild->lineEdit()->setPlaceholderText(QStringLiteral("leer: das erste Konto der Kategorie"));
        form->addRow(QStringLiteral("Formular&zuordnung wie Konto:"), vorbild);
    }
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    knoepfe->button(QDialogButtonBox::Ok)->setText(neu ? QStringLiteral("Anlegen") : QStringLiteral("Speichern"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(knoepfe, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(knoepfe);
    const unsigned long alterSchluessel = k.steuerschluessel;
    const int alteAutomatik = k.steuerautomatik;
    unsigned long vorbildGenommen = 0;
    connect(knoepfe, &QDialogButtonBox::accepted, &d, [&] {
        Kontoeditor::Konto z = k;
        bool ok = false;
        z.nummer = nr->text().trimmed().toULong(&ok);
        if (!ok || z.nummer == 0) return meldeFehler(QStringLiteral("Bitte eine Kontonummer von 1 bis 99999 eingeben."));
        z.bezeichnung = bezeichnung->text().trimmed();
        z.kurzbezeichnung = kurz->text().trimmed();
        const QString kt = kategorie->currentText().trimmed();
        const int ki = kategorie->findText(kt);
        z.kategorie = ki >= 0 ? kategorie->itemData(ki).toULongLong() : kt.section(QLatin1Char(' '), 0, 0).toULong();
        z.steuerschluessel = schl->currentData().toULongLong();
        z.steuerautomatik = fest->isChecked() ? 1 : 0;
        z.vorbild = vorbild ? gewaehltesKonto(vorbild) : 0;
        // The rules are checked and the class warning answered before the
        // write lock is taken; the action checks again.
        QString fehler, warnung;
        sitzung().lesen([&](DBConnection*) {
            fehler = Kontoeditor::pruefe(z, neu);
            if (fehler.isEmpty()) warnung = Kontoeditor::klassenWarnung(z);
        });
        if (!fehler.isEmpty()) return meldeFehler(fehler);
        if (!warnung.isEmpty() && !GetUi().frage(warnung + QStringLiteral("\n\nSoll das Konto trotzdem gespeichert werden?"), QStringLiteral("Achtung")))
            return;
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* f) {
                const QString e = Kontoeditor::pruefe(z, neu);
                if (!e.isEmpty()) {
                    *f = e;
                    return false;
                }
                if (neu ? !Kontoeditor::anlegen(z, &vorbildGenommen, f) : !Kontoeditor::aendern(z, f)) return false;
                // Bookings and templates keep their keys; the user learns
                // which no longer match the account's fixed key.
                if (!neu && z.steuerautomatik == 1 && (z.steuerschluessel != alterSchluessel || alteAutomatik != 1))
                    sitzung().kg()->checkSteuerautokonten();
                return true;
            })) {
            k = z;
            d.accept();
        }
    });
    if (d.exec() != QDialog::Accepted) return;
    if (neu)
        meldeHinweis(vorbildGenommen ? QStringLiteral("Konto %1 angelegt; die Zuordnung zu den Formularen (UStVA, USt, EÜR) wurde von Konto %2 "
                                                      "übernommen.")
                                           .arg(k.nummer)
                                           .arg(vorbildGenommen)
                                     : QStringLiteral("Konto %1 angelegt. Die Kategorie hat kein Konto, dessen Zuordnung zu den Formularen "
                                                      "übernommen werden kann; das Konto erscheint in keiner Formularzeile.")
                                           .arg(k.nummer));
    m_suche->clear();
    zeigeKonto(k.nummer);
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
