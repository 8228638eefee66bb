// The registers of assets, cars and investment deductions (see register.h).
#include "fenster/ansichten/register.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "kontbaum/anlagen/anlagen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

namespace {
QStandardItemModel* reiter(QTabWidget* t, const QString& titel, const char* name, QHBoxLayout** knoepfe) {
    auto* seite = new QWidget(t);
    auto* l = new QVBoxLayout(seite);
    *knoepfe = new QHBoxLayout;
    l->addLayout(*knoepfe);
    auto* tabelle = neueTabelle(seite);
    tabelle->setObjectName(QLatin1String(name));
    auto* m = new QStandardItemModel(seite);
    tabelle->setModel(m);
    l->addWidget(tabelle, 1);
    t->addTab(seite, titel);
    return m;
}

const char* const kMethoden[] = {"linear", "Gebäude (Prozentsatz)", "keine Abschreibung", "Sofortabschreibung (GWG)", "Sammelposten"};
}  // namespace

RegisterAnsicht::RegisterAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    auto* layout = new QVBoxLayout(this);
    m_reiter = new QTabWidget(this);
    layout->addWidget(m_reiter);
    QHBoxLayout* k = nullptr;
    m_anlagen = reiter(m_reiter, QStringLiteral("Anla&gen"), "anlagen", &k);
    auto* neu = new QPushButton(gemeinsam::symbol("list-add", QStyle::SP_FileIcon), QStringLiteral("&Neue Anlage …"), this);
    neu->setObjectName(QStringLiteral("neueAnlage"));
    auto* afa = new QPushButton(gemeinsam::symbol("document-save", QStyle::SP_DialogApplyButton), QStringLiteral("Abschreibungen &buchen"), this);
    afa->setObjectName(QStringLiteral("afaBuchen"));
    k->addWidget(neu);
    k->addWidget(afa);
    k->addStretch();
    m_fahrzeuge = reiter(m_reiter, QStringLiteral("&Fahrzeuge"), "fahrzeuge", &k);
    auto* privat = new QPushButton(gemeinsam::symbol("document-save", QStyle::SP_DialogApplyButton), QStringLiteral("&Privatanteil buchen"), this);
    privat->setObjectName(QStringLiteral("privatanteil"));
    auto* fahrzeug = new QPushButton(gemeinsam::symbol("list-add", QStyle::SP_FileIcon), QStringLiteral("Neues Fahr&zeug …"), this);
    fahrzeug->setObjectName(QStringLiteral("neuesFahrzeug"));
    k->addWidget(fahrzeug);
    k->addWidget(privat);
    k->addStretch();
    m_abzuege = reiter(m_reiter, QStringLiteral("&Investitionsabzugsbeträge"), "abzuege", &k);
    auto* abzug = new QPushButton(gemeinsam::symbol("list-add", QStyle::SP_FileIcon), QStringLiteral("Neuer Ab&zug …"), this);
    abzug->setObjectName(QStringLiteral("neuerAbzug"));
    k->addWidget(abzug);
    k->addStretch();
    connect(fahrzeug, &QPushButton::clicked, this, &RegisterAnsicht::neuesFahrzeug);
    connect(abzug, &QPushButton::clicked, this, &RegisterAnsicht::neuerAbzug);
    connect(neu, &QPushButton::clicked, this, &RegisterAnsicht::neueAnlage);
    connect(afa, &QPushButton::clicked, this, &RegisterAnsicht::abschreibungenBuchen);
    connect(privat, &QPushButton::clicked, this, &RegisterAnsicht::privatanteilBuchen);
}

QString RegisterAnsicht::titel() const { return QStringLiteral("Anlagen"); }
QIcon RegisterAnsicht::symbol() const { return gemeinsam::symbol("folder", QStyle::SP_DirIcon); }

void RegisterAnsicht::aktualisieren() {
    koepfe(m_anlagen, {QStringLiteral("Nr."), QStringLiteral("Bezeichnung"), QStringLiteral("Gruppe"), QStringLiteral("Konto"),
                       QStringLiteral("Anschaffung"), QStringLiteral("Kosten"), QStringLiteral("Methode"), QStringLiteral("Buchwert 1.1."),
                       QStringLiteral("Zugang"), QStringLiteral("AfA"), QStringLiteral("Abgang"), QStringLiteral("Buchwert 31.12.")});
    koepfe(m_fahrzeuge, {QStringLiteral("Nr."), QStringLiteral("Fahrzeug"), QStringLiteral("Methode"), QStringLiteral("Listenpreis"),
                         QStringLiteral("Monate"), QStringLiteral("Entfernung km")});
    koepfe(m_abzuege, {QStringLiteral("Nr."), QStringLiteral("Jahr"), QStringLiteral("Investition"), QStringLiteral("Erwartete Kosten"),
                       QStringLiteral("Abzug"), QStringLiteral("Hinzugerechnet"), QStringLiteral("Offen"), QStringLiteral("Stand")});
    const int jahr = sitzung().steuerjahr();
    sitzung().lesen([&](DBConnection*) {
        for (const Anlagen::Anlage& a : Anlagen::liste()) {
            const Anlagen::Jahreswerte w = Anlagen::werte(a, jahr);
            m_anlagen->appendRow({zahlZelle(a.nummer), textZelle(a.bezeichnung), textZelle(Anlagen::gruppenText(Anlagen::gruppe(a))), zahlZelle(a.konto),
                                  datumZelle(a.anschaffung), betragZelle(a.kosten),
                                  textZelle(QString::fromUtf8(kMethoden[a.methode]) +
                                            (a.methode == Anlagen::Linear ? QStringLiteral(", %1 Jahre").arg(a.nutzungsdauer) : QString())),
                                  betragZelle(w.anfang), betragZelle(w.zugang, true), betragZelle(w.afa + w.sonder, true), betragZelle(w.abgang, true),
                                  betragZelle(w.ende)});
        }
        // Current assets stand in the same list, as in the Anlage AVEÜR.
        for (const Anlagen::UmlaufGut& u : Anlagen::umlaufListe()) {
            const Anlagen::Jahreswerte w = Anlagen::werte(u, jahr);
            m_anlagen->appendRow({textZelle(QStringLiteral("U%1").arg(u.nummer)), textZelle(u.bezeichnung),
                                  textZelle(Anlagen::gruppenText(Anlagen::Umlauf)), zahlZelle(u.konto), datumZelle(u.anschaffung),
                                  betragZelle(u.kosten), textZelle(QStringLiteral("keine Abschreibung")), betragZelle(w.anfang),
                                  betragZelle(w.zugang, true), betragZelle(w.afa + w.sonder, true), betragZelle(w.abgang, true), betragZelle(w.ende)});
        }
        for (const Anlagen::Fahrzeug& f : Anlagen::fahrzeuge())
            m_fahrzeuge->appendRow({zahlZelle(f.nummer), textZelle(f.bezeichnung),
                                    textZelle(f.fahrtenbuch ? QStringLiteral("Fahrtenbuch, %1 % privat").arg(f.privatProzent)
                                                            : QStringLiteral("1-%-Regelung")),
                                    betragZelle(f.listenpreis), textZelle(QStringLiteral("%1 bis %2").arg(f.vonMonat).arg(f.bisMonat)),
                                    zahlZelle(f.entfernung)});
        for (const Anlagen::Abzug& a : Anlagen::abzuege())
            m_abzuege->appendRow({zahlZelle(a.nummer), zahlZelle(a.jahr), textZelle(a.bezeichnung), betragZelle(a.kosten), betragZelle(a.betrag),
                                  betragZelle(a.hinzurechnung, true), betragZelle(a.offen()),
                                  textZelle(a.rueckgaengig                      ? QStringLiteral("rückgängig gemacht")
                                            : Anlagen::fristAbgelaufen(a, jahr) ? QStringLiteral("Frist abgelaufen")
                                                                                : QStringLiteral("offen"))});
    });
    for (QTableView* t : findChildren<QTableView*>()) spaltenAnpassen(t);
}

void RegisterAnsicht::neueAnlage() {
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Neue Anlage"));
    auto* form = new QFormLayout(&d);
    auto* bezeichnung = new QLineEdit(&d);
    bezeichnung->setObjectName(QStringLiteral("bezeichnung"));
    auto* konto = kontoAuswahl(sitzung(), &d, 100, 199);
    konto->setObjectName(QStringLiteral("konto"));
    const int jahr = sitzung().steuerjahr();
    auto* datum = neuesDatum(&d, QDate(jahr, 1, 1));
    auto* kosten = new QLineEdit(&d);
    kosten->setObjectName(QStringLiteral("kosten"));
    auto* vorsteuer = new QLineEdit(&d);
    auto* methode = new QComboBox(&d);
    for (int i = 0; i < 5; ++i) methode->addItem(QString::fromUtf8(kMethoden[i]), i);
    auto* dauer = new QSpinBox(&d);
    dauer->setRange(0, 100);
    dauer->setSpecialValueText(QStringLiteral("–"));
    dauer->setSuffix(QStringLiteral(" Jahre"));
    form->addRow(QStringLiteral("&Bezeichnung:"), bezeichnung);
    form->addRow(QStringLiteral("Anlage&konto:"), konto);
    form->addRow(QStringLiteral("&Anschaffung am:"), datum);
    form->addRow(QStringLiteral("&Kosten netto:"), kosten);
    form->addRow(QStringLiteral("&Vorsteuer:"), vorsteuer);
    form->addRow(QStringLiteral("&Methode:"), methode);
    form->addRow(QStringLiteral("&Nutzungsdauer:"), dauer);
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    k->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Eintragen"));
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(k, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Anlagen::Anlage a;
        a.bezeichnung = bezeichnung->text().trimmed();
        a.konto = gewaehltesKonto(konto);
        a.anschaffung = datumAus(datum);
        a.methode = Anlagen::Methode(methode->currentData().toInt());
        a.nutzungsdauer = dauer->value();
        QString e;
        if (!leseBetrag(kosten, QStringLiteral("Kosten"), &a.kosten, &e)) return meldeFehler(e);
        if (!vorsteuer->text().trimmed().isEmpty() && !leseBetrag(vorsteuer, QStringLiteral("Vorsteuer"), &a.vorsteuer, &e)) return meldeFehler(e);
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
                if (a.afaKonto == 0) a.afaKonto = Anlagen::vorschlagAfaKonto(a);
                return Anlagen::speichern(a, fehler);
            }))
            d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

namespace {
QDialogButtonBox* knoepfe(QDialog* d, const QString& ok) {
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    k->button(QDialogButtonBox::Ok)->setText(ok);
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(k, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return k;
}
}  // namespace

void RegisterAnsicht::neuesFahrzeug() {
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Neues Fahrzeug"));
    auto* form = new QFormLayout(&d);
    auto* bezeichnung = new QLineEdit(&d);
    auto* fahrtenbuch = new QCheckBox(QStringLiteral("Fahrtenbuch statt 1-%-Regelung"), &d);
    auto* listenpreis = new QLineEdit(&d);
    auto* privat = new QSpinBox(&d);
    privat->setRange(0, 100);
    privat->setSuffix(QStringLiteral(" %"));
    auto* von = new QSpinBox(&d);
    von->setRange(1, 12);
    auto* bis = new QSpinBox(&d);
    bis->setRange(1, 12);
    bis->setValue(12);
    auto* entfernung = new QSpinBox(&d);
    entfernung->setRange(0, 1000);
    entfernung->setSuffix(QStringLiteral(" km"));
    auto* tage = new QSpinBox(&d);
    tage->setRange(0, 366);
    form->addRow(QStringLiteral("&Bezeichnung:"), bezeichnung);
    form->addRow(fahrtenbuch);
    form->addRow(QStringLiteral("Bruttol&istenpreis:"), listenpreis);
    form->addRow(QStringLiteral("&Privatanteil laut Fahrtenbuch:"), privat);
    form->addRow(QStringLiteral("Im Betrieb &von Monat:"), von);
    form->addRow(QStringLiteral("bis &Monat:"), bis);
    form->addRow(QStringLiteral("Wohnung–Betrieb &einfach:"), entfernung);
    form->addRow(QStringLiteral("&Arbeitstage:"), tage);
    auto* k = knoepfe(&d, QStringLiteral("Anlegen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Anlagen::Fahrzeug f;
        f.bezeichnung = bezeichnung->text().trimmed();
        f.fahrtenbuch = fahrtenbuch->isChecked();
        f.privatProzent = privat->value();
        f.vonMonat = von->value();
        f.bisMonat = bis->value();
        f.entfernung = entfernung->value();
        f.arbeitstage = tage->value();
        QString e;
        if (!f.fahrtenbuch && !leseBetrag(listenpreis, QStringLiteral("Bruttolistenpreis"), &f.listenpreis, &e)) return meldeFehler(e);
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Anlagen::fahrzeugAnlegen(f, fehler) != 0; })) d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

void RegisterAnsicht::neuerAbzug() {
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Neuer Investitionsabzugsbetrag %1").arg(sitzung().steuerjahr()));
    auto* form = new QFormLayout(&d);
    auto* bezeichnung = new QLineEdit(&d);
    auto* kosten = new QLineEdit(&d);
    auto* betrag = new QLineEdit(&d);
    betrag->setPlaceholderText(QStringLiteral("höchstens 40 % der Kosten"));
    form->addRow(QStringLiteral("Geplante &Investition:"), bezeichnung);
    form->addRow(QStringLiteral("Voraussichtliche &Kosten:"), kosten);
    form->addRow(QStringLiteral("&Abzugsbetrag:"), betrag);
    auto* k = knoepfe(&d, QStringLiteral("Abziehen und buchen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Anlagen::Abzug a;
        a.bezeichnung = bezeichnung->text().trimmed();
        QString e;
        if (!leseBetrag(kosten, QStringLiteral("Kosten"), &a.kosten, &e) || !leseBetrag(betrag, QStringLiteral("Abzugsbetrag"), &a.betrag, &e))
            return meldeFehler(e);
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Anlagen::abzugAnlegen(a, fehler) != 0; })) d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

void RegisterAnsicht::abschreibungenBuchen() {
    Anlagen::Lauf lauf;
    const int jahr = sitzung().steuerjahr();
    if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Anlagen::buchen(jahr, &lauf, fehler); }))
        meldeHinweis(lauf.buchungen.isEmpty() ? QStringLiteral("Alle Abschreibungen des Jahres %1 sind bereits gebucht.").arg(jahr)
                                              : QStringLiteral("%1 Buchungen erzeugt; sie mindern den Gewinn um %2 €.")
                                                    .arg(lauf.buchungen.size())
                                                    .arg(lauf.summe.getText()));
    aktualisieren();
}

void RegisterAnsicht::privatanteilBuchen() {
    Anlagen::Lauf lauf;
    if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Anlagen::privatanteilBuchen(&lauf, fehler); }))
        meldeHinweis(lauf.buchungen.isEmpty() ? QStringLiteral("Der Privatanteil ist bereits vollständig gebucht.")
                                              : QStringLiteral("%1 Buchungen des Privatanteils erzeugt.").arg(lauf.buchungen.size()));
    aktualisieren();
}

}  // namespace fenster
