// The registers of assets, cars and investment deductions (see register.h).
#include "fenster/ansichten/register.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/ui.h"
#include "kontbaum/anlagen/abgang.h"
#include "kontbaum/anlagen/anlagen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
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
    auto* umlauf = new QPushButton(gemeinsam::symbol("list-add", QStyle::SP_FileIcon), QStringLiteral("Neues &Umlaufvermögen …"), this);
    umlauf->setObjectName(QStringLiteral("neuesUmlaufgut"));
    auto* abgang = new QPushButton(gemeinsam::symbol("list-remove", QStyle::SP_TrashIcon), QStringLiteral("Ab&gang …"), this);
    abgang->setObjectName(QStringLiteral("abgang"));
    abgang->setToolTip(QStringLiteral("Verkauf, Entnahme oder Verschrottung des gewählten Eintrags"));
    k->addWidget(neu);
    k->addWidget(umlauf);
    k->addWidget(abgang);
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
    auto* hinzu = new QPushButton(gemeinsam::symbol("go-next", QStyle::SP_ArrowRight), QStringLiteral("&Hinzurechnen …"), this);
    hinzu->setObjectName(QStringLiteral("hinzurechnen"));
    hinzu->setToolTip(QStringLiteral("Den gewählten Abzug für eine in diesem Jahr angeschaffte Anlage hinzurechnen"));
    auto* zurueck = new QPushButton(gemeinsam::symbol("edit-undo", QStyle::SP_ArrowBack), QStringLiteral("&Rückgängig machen"), this);
    zurueck->setObjectName(QStringLiteral("rueckgaengig"));
    k->addWidget(abzug);
    k->addWidget(hinzu);
    k->addWidget(zurueck);
    k->addStretch();
    connect(hinzu, &QPushButton::clicked, this, &RegisterAnsicht::hinzurechnen);
    connect(zurueck, &QPushButton::clicked, this, &RegisterAnsicht::rueckgaengig);
    connect(umlauf, &QPushButton::clicked, this, &RegisterAnsicht::neuesUmlaufgut);
    connect(abgang, &QPushButton::clicked, this, &RegisterAnsicht::abgang);
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
                       QStringLiteral("Zugang"), QStringLiteral("Herabsetzung"), QStringLiteral("AfA"), QStringLiteral("Abgang"), QStringLiteral("Buchwert 31.12.")});
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
                                  betragZelle(w.anfang), betragZelle(w.zugang, true), betragZelle(w.herabsetzung, true), betragZelle(w.afa + w.sonder, true), betragZelle(w.abgang, true),
                                  betragZelle(w.ende)});
        }
        // Current assets stand in the same list, as in the Anlage AVEÜR.
        for (const Anlagen::UmlaufGut& u : Anlagen::umlaufListe()) {
            const Anlagen::Jahreswerte w = Anlagen::werte(u, jahr);
            QStandardItem* nr = textZelle(QStringLiteral("U%1").arg(u.nummer));
            // The number and the mark of a current asset, for the disposal.
            nr->setData(u.nummer, Qt::UserRole);
            nr->setData(true, Qt::UserRole + 1);
            m_anlagen->appendRow({nr, textZelle(u.bezeichnung),
                                  textZelle(Anlagen::gruppenText(Anlagen::Umlauf)), zahlZelle(u.konto), datumZelle(u.anschaffung),
                                  betragZelle(u.kosten), textZelle(QStringLiteral("keine Abschreibung")), betragZelle(w.anfang),
                                  betragZelle(w.zugang, true), betragZelle(w.herabsetzung, true), betragZelle(w.afa + w.sonder, true), betragZelle(w.abgang, true), betragZelle(w.ende)});
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
    // An open deduction of an earlier year may be added back for this purchase.
    auto* iab = new QComboBox(&d);
    iab->setObjectName(QStringLiteral("iab"));
    iab->addItem(QStringLiteral("keiner"), 0);
    sitzung().lesen([&](DBConnection*) {
        for (const Anlagen::Abzug& x : Anlagen::abzuege())
            if (x.jahr < jahr && !x.offen().isNull())
                iab->addItem(QStringLiteral("Nr. %1 aus %2: %3 (offen %4 €)").arg(x.nummer).arg(x.jahr).arg(x.bezeichnung, x.offen().getText()), x.nummer);
    });
    iab->setEnabled(iab->count() > 1);
    form->addRow(QStringLiteral("&Investitionsabzugsbetrag hinzurechnen:"), iab);
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    k->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Eintragen"));
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(k, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(k);
    EuroType hinzu;
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
                if (!Anlagen::speichern(a, fehler)) return false;
                hinzu = iab->currentData().toInt() == 0 ? EuroType() : Anlagen::hinzurechnen(iab->currentData().toInt(), a.nummer, fehler);
                return iab->currentData().toInt() == 0 || !hinzu.isNull();
            }))
            d.accept();
    });
    if (d.exec() != QDialog::Accepted) return;
    aktualisieren();
    if (!hinzu.isNull())
        meldeHinweis(QStringLiteral("%1 € des Investitionsabzugsbetrags hinzugerechnet; die Anschaffungskosten sind um %1 € herabgesetzt. "
                                    "„Abschreibungen buchen“ bucht die Herabsetzung.")
                         .arg(hinzu.getText()));
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

int RegisterAnsicht::gewaehlteZeile(const char* tabelle) const {
    auto* t = findChild<QTableView*>(QLatin1String(tabelle));
    const QModelIndex i = t ? t->currentIndex() : QModelIndex();
    return i.isValid() ? i.row() : -1;
}

void RegisterAnsicht::neuesUmlaufgut() {
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Neues Umlaufvermögen"));
    auto* form = new QFormLayout(&d);
    auto* bezeichnung = new QLineEdit(&d);
    bezeichnung->setObjectName(QStringLiteral("bezeichnung"));
    auto* art = new QComboBox(&d);
    art->setObjectName(QStringLiteral("art"));
    const QStringList arten = {QStringLiteral("Grund und Boden, Gebäude"), QStringLiteral("Anteile an Kapitalgesellschaften"),
                               QStringLiteral("Wertpapiere"), QStringLiteral("sonstiges Umlaufvermögen")};
    for (int i = 0; i < arten.size(); ++i) art->addItem(arten[i], i + 1);
    art->setCurrentIndex(3);
    // The holding accounts: securities (category 205) and other current assets (1110).
    auto* konto = kontoAuswahl(sitzung(), &d, 205, 205);
    QComboBox* sonstige = kontoAuswahl(sitzung(), &d, 1110, 1110);
    for (int i = 0; i < sonstige->count(); ++i) konto->addItem(sonstige->itemText(i), sonstige->itemData(i));
    delete sonstige;
    konto->setCurrentIndex(-1);
    konto->setObjectName(QStringLiteral("konto"));
    const int jahr = sitzung().steuerjahr();
    auto* datum = neuesDatum(&d, QDate(jahr, 1, 1));
    auto* kosten = new QLineEdit(&d);
    kosten->setObjectName(QStringLiteral("kosten"));
    auto* buchen = new QCheckBox(QStringLiteral("Anschaffung gleich &buchen"), &d);
    auto* geld = kontoAuswahl(sitzung(), &d);
    geld->setEnabled(false);
    connect(buchen, &QCheckBox::toggled, geld, &QWidget::setEnabled);
    form->addRow(QStringLiteral("&Bezeichnung:"), bezeichnung);
    form->addRow(QStringLiteral("&Art:"), art);
    form->addRow(QStringLiteral("Bestands&konto:"), konto);
    form->addRow(QStringLiteral("A&nschaffung am:"), datum);
    form->addRow(QStringLiteral("Anschaffungs&kosten:"), kosten);
    form->addRow(buchen);
    form->addRow(QStringLiteral("bezahlt über &Geldkonto:"), geld);
    auto* k = knoepfe(&d, QStringLiteral("Eintragen"));
    form->addRow(k);
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        Anlagen::UmlaufGut u;
        u.bezeichnung = bezeichnung->text().trimmed();
        u.art = art->currentData().toInt();
        u.konto = gewaehltesKonto(konto);
        u.anschaffung = datumAus(datum);
        QString e;
        if (!leseBetrag(kosten, QStringLiteral("Anschaffungskosten"), &u.kosten, &e)) return meldeFehler(e);
        const unsigned long geldkonto = buchen->isChecked() ? gewaehltesKonto(geld) : 0;
        if (buchen->isChecked() && geldkonto == 0) return meldeFehler(QStringLiteral("Bitte das Geldkonto wählen, über das bezahlt wurde."));
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
                return Anlagen::umlaufSpeichern(u, fehler) && (geldkonto == 0 || Anlagen::bucheUmlaufAnschaffung(u, geldkonto, fehler) != 0);
            }))
            d.accept();
    });
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

void RegisterAnsicht::abgang() {
    const int zeile = gewaehlteZeile("anlagen");
    if (zeile < 0) return meldeHinweis(QStringLiteral("Bitte zuerst in der Liste die Anlage wählen, die abgeht."));
    const QStandardItem* nrZelle = m_anlagen->item(zeile, 0);
    const bool umlauf = nrZelle->data(Qt::UserRole + 1).toBool();
    const int nr = nrZelle->data(Qt::UserRole).toInt();
    const QString name = m_anlagen->item(zeile, 1)->text();
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Abgang: %1").arg(name));
    auto* form = new QFormLayout(&d);
    auto* art = new QComboBox(&d);
    art->setObjectName(QStringLiteral("art"));
    art->addItem(QStringLiteral("Verkauf"), int(Anlagen::Verkauf));
    art->addItem(QStringLiteral("Entnahme ins Privatvermögen"), int(Anlagen::Entnahme));
    if (!umlauf) art->addItem(QStringLiteral("Verschrottung"), int(Anlagen::Verschrottung));
    const int jahr = sitzung().steuerjahr();
    auto* datum = neuesDatum(&d, QDate(jahr, 12, 31));
    datum->setObjectName(QStringLiteral("datum"));
    auto* erloes = new QLineEdit(&d);
    erloes->setObjectName(QStringLiteral("erloes"));
    erloes->setPlaceholderText(QStringLiteral("netto; bei einer Entnahme der Teilwert"));
    auto* geld = kontoAuswahl(sitzung(), &d);
    geld->setObjectName(QStringLiteral("geldkonto"));
    geld->lineEdit()->setPlaceholderText(QStringLiteral("bei einer Entnahme das Privatkonto"));
    QComboBox* erloeskonto = nullptr;
    form->addRow(QStringLiteral("&Art:"), art);
    form->addRow(QStringLiteral("Abgang a&m:"), datum);
    form->addRow(QStringLiteral("&Erlös / Entnahmewert:"), erloes);
    form->addRow(QStringLiteral("&Geldkonto:"), geld);
    if (!umlauf) {
        // Proceeds of fixed assets: category 4202, EÜR line 102.
        erloeskonto = kontoAuswahl(sitzung(), &d, 4202, 4202);
        erloeskonto->lineEdit()->setPlaceholderText(QStringLiteral("Vorgabe: Erlöse aus Anlagenverkäufen"));
        form->addRow(QStringLiteral("Erlös&konto:"), erloeskonto);
    }
    auto* buchen = new QCheckBox(umlauf ? QStringLiteral("Anschaffungskosten und Erlös gleich &buchen")
                                        : QStringLiteral("Abschreibung, Restbuchwert und Erlös gleich &buchen"),
                                 &d);
    buchen->setObjectName(QStringLiteral("buchen"));
    buchen->setChecked(true);
    form->addRow(buchen);
    connect(art, QOverload<int>::of(&QComboBox::currentIndexChanged), &d, [&] {
        const bool schrott = art->currentData().toInt() == int(Anlagen::Verschrottung);
        erloes->setEnabled(!schrott);
        geld->setEnabled(!schrott);
        if (erloeskonto) erloeskonto->setEnabled(!schrott);
    });
    auto* k = knoepfe(&d, QStringLiteral("Abgang eintragen"));
    form->addRow(k);
    Anlagen::Lauf lauf;
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        const auto ab = Anlagen::Abgangsart(art->currentData().toInt());
        EuroType betrag;
        QString e;
        if (erloes->isEnabled() && !erloes->text().trimmed().isEmpty() && !leseBetrag(erloes, QStringLiteral("Erlös"), &betrag, &e))
            return meldeFehler(e);
        const unsigned long g = geld->isEnabled() ? gewaehltesKonto(geld) : 0;
        const unsigned long ek = erloeskonto && erloeskonto->isEnabled() ? gewaehltesKonto(erloeskonto) : 0;
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
                const bool ok = umlauf ? Anlagen::umlaufAbgangEintragen(nr, datumAus(datum), ab, betrag, g, fehler)
                                       : Anlagen::abgangEintragen(nr, datumAus(datum), ab, betrag, g, ek, fehler);
                return ok && (!buchen->isChecked() || Anlagen::buchen(jahr, &lauf, fehler));
            }))
            d.accept();
    });
    if (d.exec() != QDialog::Accepted) return;
    aktualisieren();
    meldeHinweis(!buchen->isChecked() ? QStringLiteral("Der Abgang ist eingetragen; „Abschreibungen buchen“ bucht ihn.")
                 : lauf.buchungen.isEmpty()
                     ? QStringLiteral("Der Abgang ist eingetragen; es war nichts mehr zu buchen.")
                     : QStringLiteral("Der Abgang ist eingetragen und mit %1 Buchungen gebucht.").arg(lauf.buchungen.size()));
}

void RegisterAnsicht::hinzurechnen() {
    const int zeile = gewaehlteZeile("abzuege");
    if (zeile < 0) return meldeHinweis(QStringLiteral("Bitte zuerst in der Liste den Abzug wählen, der hinzugerechnet wird."));
    const int nr = m_abzuege->item(zeile, 0)->data(Qt::UserRole).toInt();
    const int jahr = sitzung().steuerjahr();
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Investitionsabzugsbetrag Nr. %1 hinzurechnen").arg(nr));
    auto* form = new QFormLayout(&d);
    auto* anlage = new QComboBox(&d);
    anlage->setObjectName(QStringLiteral("anlage"));
    // Added back is only for an asset bought in the case's year.
    sitzung().lesen([&](DBConnection*) {
        for (const Anlagen::Anlage& a : Anlagen::liste())
            if (a.anschaffung.year() == jahr)
                anlage->addItem(QStringLiteral("%1 %2 (%3, %4 €)").arg(a.nummer).arg(a.bezeichnung, a.anschaffung.getText(), a.kosten.getText()),
                                a.nummer);
    });
    if (anlage->count() == 0)
        return meldeHinweis(QStringLiteral("Im Jahr %1 ist keine Anlage angeschafft worden; tragen Sie die Anschaffung zuerst unter "
                                           "„Neue Anlage“ ein.")
                                .arg(jahr));
    form->addRow(QStringLiteral("Angeschaffte &Anlage:"), anlage);
    auto* k = knoepfe(&d, QStringLiteral("Hinzurechnen"));
    form->addRow(k);
    EuroType betrag;
    connect(k, &QDialogButtonBox::accepted, &d, [&] {
        if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
                betrag = Anlagen::hinzurechnen(nr, anlage->currentData().toInt(), fehler);
                return !betrag.isNull();
            }))
            d.accept();
    });
    if (d.exec() != QDialog::Accepted) return;
    aktualisieren();
    meldeHinweis(QStringLiteral("%1 € hinzugerechnet; die Anschaffungskosten sind um %1 € herabgesetzt. „Abschreibungen buchen“ bucht die "
                                "Herabsetzung.")
                     .arg(betrag.getText()));
}

void RegisterAnsicht::rueckgaengig() {
    const int zeile = gewaehlteZeile("abzuege");
    if (zeile < 0) return meldeHinweis(QStringLiteral("Bitte zuerst in der Liste den Abzug wählen, der rückgängig gemacht wird."));
    const int nr = m_abzuege->item(zeile, 0)->data(Qt::UserRole).toInt();
    if (!GetUi().frage(QStringLiteral("Den Investitionsabzugsbetrag Nr. %1 als rückgängig gemacht vermerken? Der Bescheid des Jahres des "
                                      "Abzugs wird geändert (§ 7g Abs. 3 EStG); das Journal dieses Jahres bleibt, wie es ist.")
                           .arg(nr),
                       QStringLiteral("Rückgängig machen")))
        return;
    if (ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Anlagen::rueckgaengig(nr, fehler); })) aktualisieren();
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
