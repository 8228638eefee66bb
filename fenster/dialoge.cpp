// The shell's dialogs (see dialoge.h).
#include "fenster/dialoge.h"

#include "fenster/ansicht.h"
#include "fenster/sitzung.h"
#include "host/app/global.h"
#include "host/app/ui.h"
#include "kontbaum/austausch/elster.h"
#include "kontbaum/faktura/faktura.h"
#include "kontbaum/fall/falldatei.h"
#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/jahr/jahr.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/rahmen/kontglob.h"
#include "kontbaum/steuer/anmeldezeitraum.h"
#include "kontbaum/steuer/falleinstellungen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUuid>
#include <QVBoxLayout>
#include <QWizard>

#include <memory>

namespace fenster {

namespace {
// The module's state for writing a new case file, as a command has it.
struct Werkbank {
    QTemporaryDir home{QDir(QDir::tempPath()).filePath(QStringLiteral("dalvo16-fenster-XXXXXX"))};
    KontoGlobal* kg = nullptr;
    std::unique_ptr<Kont_> root{Kont_::New()};
    Werkbank() {
        GlobalInst::reset(home.path());
        kg = GetKontoGlobal(0, false);
        DatenBase::setRootNode(QStringLiteral("Kont_"), root.get());
        KontoGlobal::setSichernHook([] { return true; });
    }
    ~Werkbank() {
        KontoGlobal::setSichernHook(nullptr);
        root.reset();
        GlobalInst::reset();
    }
    QString neu() {
        kg->createConnectionKonto(true);
        if (!kg->isConnected()) return QStringLiteral("Die Buchhaltungsdatenbank konnte nicht angelegt werden.");
        kg->setEurUID(QUuid::createUuid().toString(QUuid::WithoutBraces));
        return QString();
    }
};

// A new case file is never written over an existing one.
QString zielPruefen(const QString& pfad) {
    const QFileInfo fi(pfad);
    if (pfad.trimmed().isEmpty()) return QStringLiteral("Bitte geben Sie den Namen der neuen Falldatei an.");
    if (fi.exists() || fi.isSymLink())
        return QStringLiteral("Die Falldatei „%1“ existiert bereits; sie wird nicht überschrieben. Bitte geben Sie einen neuen Dateinamen an.")
            .arg(pfad);
    if (!QFileInfo(fi.absolutePath()).isDir()) return QStringLiteral("Das Verzeichnis der neuen Falldatei „%1“ existiert nicht.").arg(pfad);
    return QString();
}

QHBoxLayout* dateiZeile(QWidget* eltern, QLineEdit* feld, const QString& titel) {
    auto* zeile = new QHBoxLayout;
    auto* knopf = new QPushButton(fenster::symbol("document-save-as", QStyle::SP_DirOpenIcon), QStringLiteral("&Durchsuchen …"), eltern);
    zeile->addWidget(feld, 1);
    zeile->addWidget(knopf);
    QObject::connect(knopf, &QPushButton::clicked, eltern, [=] {
        const QString p = QFileDialog::getSaveFileName(eltern, titel, feld->text(), QStringLiteral("Falldateien (*.dalvo)"), nullptr,
                                                       QFileDialog::DontConfirmOverwrite);
        if (!p.isEmpty()) feld->setText(p.endsWith(QLatin1String(".dalvo")) ? p : p + QStringLiteral(".dalvo"));
    });
    return zeile;
}

QDialogButtonBox* knoepfe(QDialog* d, const QString& ok) {
    auto* k = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    k->button(QDialogButtonBox::Ok)->setText(ok);
    k->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(k, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(k, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return k;
}
}  // namespace

// --- a new case ---------------------------------------------------------------

bool NeuerFallDialog::fragen(QWidget* eltern, Angaben* angaben) {
    QDialog d(eltern);
    d.setWindowTitle(QStringLiteral("Neuer Fall"));
    auto* form = new QFormLayout;
    auto* datei = new QLineEdit(QDir::home().filePath(QStringLiteral("fall_%1.dalvo").arg(angaben->fall.jahr)), &d);
    auto* jahr = new QSpinBox(&d);
    int von = 2016, bis = 2016;
    KontoGlobal::unterstuetzteSteuerjahre(&von, &bis);
    jahr->setRange(von, bis);
    jahr->setValue(qBound(von, angaben->fall.jahr, bis));
    auto* rahmen = new QComboBox(&d);
    rahmen->addItems(Neuanlage::kontenrahmen());
    auto* ust = new QCheckBox(QStringLiteral("umsatzsteuerpflichtig (sonst Kleinunternehmer nach § 19 UStG)"), &d);
    ust->setChecked(true);
    auto* zeitraum = new QComboBox(&d);
    zeitraum->addItems({QStringLiteral("vierteljährlich"), QStringLiteral("monatlich")});
    auto* frist = new QCheckBox(QStringLiteral("Dauerfristverlängerung"), &d);
    auto* beispiele = new QCheckBox(QStringLiteral("Buchungsvorlagen des Kontenrahmens übernehmen"), &d);
    beispiele->setChecked(true);
    form->addRow(QStringLiteral("&Falldatei:"), dateiZeile(&d, datei, QStringLiteral("Neue Falldatei")));
    form->addRow(QStringLiteral("&Steuerjahr:"), jahr);
    form->addRow(QStringLiteral("&Kontenrahmen:"), rahmen);
    form->addRow(QString(), ust);
    form->addRow(QStringLiteral("&Voranmeldung:"), zeitraum);
    form->addRow(QString(), frist);
    form->addRow(QString(), beispiele);
    QObject::connect(ust, &QCheckBox::toggled, zeitraum, &QWidget::setEnabled);
    QObject::connect(ust, &QCheckBox::toggled, frist, &QWidget::setEnabled);
    auto* lay = new QVBoxLayout(&d);
    lay->addLayout(form);
    lay->addWidget(knoepfe(&d, QStringLiteral("Anlegen")));
    for (;;) {
        if (d.exec() != QDialog::Accepted) return false;
        const QString pfad = datei->text().trimmed();
        const QString grund = zielPruefen(pfad);
        if (grund.isEmpty()) {
            angaben->pfad = QFileInfo(pfad).absoluteFilePath();
            break;
        }
        GetUi().rsError(grund);
    }
    angaben->fall.jahr = jahr->value();
    angaben->fall.kontenrahmen = rahmen->currentText();
    angaben->fall.ustPflicht = ust->isChecked();
    angaben->fall.beispiele = beispiele->isChecked();
    angaben->monatlich = zeitraum->currentIndex() == 1;
    angaben->dauerfrist = frist->isChecked();
    return true;
}

QString NeuerFallDialog::anlegen(const Angaben& a) {
    QString grund = zielPruefen(a.pfad);
    if (!grund.isEmpty()) return grund;
    Werkbank w;
    grund = w.neu();
    if (!grund.isEmpty()) return grund;
    grund = Neuanlage::einrichten(w.kg, *w.root, a.fall);
    if (!grund.isEmpty()) return grund;
    DBConnection* db = w.kg->GetDBConnect_Ptr();
    if (a.fall.ustPflicht) {
        Anmeldung::setZeitraum(a.monatlich ? Anmeldung::Zeitraum::Monat : Anmeldung::Zeitraum::Quartal, db);
        Anmeldung::setDauerfrist(a.dauerfrist, db);
    }
    if (!Falldatei::anlegen(a.pfad, *w.root, &grund)) return grund;
    return QString();
}

QString kassenfallAnlegen(const QString& kassendatei, const QString& pfad) {
    QString grund = zielPruefen(pfad);
    if (!grund.isEmpty()) return grund;
    if (!QFileInfo(kassendatei).isFile()) return QStringLiteral("Die Datei „%1“ gibt es nicht.").arg(kassendatei);
    Werkbank w;
    grund = w.neu();
    if (!grund.isEmpty()) return grund;
    if (!Kasse::importiereKasse(kassendatei, &grund)) return grund;
    w.root->fillBlackList();
    if (!Falldatei::anlegen(pfad, *w.root, &grund)) return grund;
    return QString();
}

// --- the change of year -------------------------------------------------------

QString JahreswechselAssistent::wechseln(const QString& alt, const QString& neu, QString* bericht) {
    QString grund = zielPruefen(neu);
    if (!grund.isEmpty()) return grund;
    Werkbank w;
    grund = w.neu();
    if (!grund.isEmpty()) return grund;
    Jahr::Jahreswechsel erg;
    if (!Jahr::jahreswechsel(alt, *w.root, &erg, &grund)) return grund;
    if (!Falldatei::anlegen(neu, *w.root, &grund)) return grund;
    *bericht = QStringLiteral("<p>Neuer Fall für %1 aus %2 angelegt.</p><p>Übernommen: %3 Saldovortragsbuchungen, %4 Anlagen, %5 Einträge "
                              "Umlaufvermögen, %6 Investitionsabzugsbeträge, %7 Einträge Kfz-Kosten, %8 Bankverbindungen.</p>")
                   .arg(erg.neuesJahr)
                   .arg(erg.altesJahr)
                   .arg(erg.saldovortraege)
                   .arg(erg.anlagen)
                   .arg(erg.umlaufvermoegen)
                   .arg(erg.investitionsabzug)
                   .arg(erg.kfz)
                   .arg(erg.bankverbindungen) +
               erg.bericht;
    return QString();
}

QString JahreswechselAssistent::ausfuehren(Sitzung& sitzung, QWidget* eltern) {
    const QString alt = sitzung.pfad();
    const int jahr = sitzung.steuerjahr();
    QWizard wiz(eltern);
    wiz.setWindowTitle(QStringLiteral("Jahreswechsel"));
    wiz.setButtonText(QWizard::NextButton, QStringLiteral("&Weiter >"));
    wiz.setButtonText(QWizard::BackButton, QStringLiteral("< &Zurück"));
    wiz.setButtonText(QWizard::FinishButton, QStringLiteral("&Fertig"));
    wiz.setButtonText(QWizard::CancelButton, QStringLiteral("Abbrechen"));

    auto* start = new QWizardPage(&wiz);
    start->setTitle(QStringLiteral("Vom Jahr %1 ins Jahr %2").arg(jahr).arg(jahr + 1));
    start->setSubTitle(QStringLiteral("Der Fall des neuen Jahres wird aus diesem Fall angelegt: Einstellungen, Kontenplan, Saldovorträge, "
                                      "Anlagen, Umlaufvermögen, Investitionsabzugsbeträge, Kfz-Kosten und Bankverbindungen. Dieser Fall "
                                      "bleibt unverändert."));
    auto* datei = new QLineEdit(start);
    QString vorschlag = QFileInfo(alt).completeBaseName();
    vorschlag = vorschlag.contains(QString::number(jahr)) ? vorschlag.replace(QString::number(jahr), QString::number(jahr + 1))
                                                          : vorschlag + QStringLiteral("_%1").arg(jahr + 1);
    datei->setText(QFileInfo(alt).absoluteDir().filePath(vorschlag + QStringLiteral(".dalvo")));
    auto* form = new QFormLayout(start);
    form->addRow(QStringLiteral("Neue &Falldatei:"), dateiZeile(start, datei, QStringLiteral("Falldatei des neuen Jahres")));

    auto* ende = new QWizardPage(&wiz);
    ende->setTitle(QStringLiteral("Bericht des Jahreswechsels"));
    auto* text = new QTextBrowser(ende);
    (new QVBoxLayout(ende))->addWidget(text);
    wiz.addPage(start);
    wiz.addPage(ende);

    QString neu;
    bool gewechselt = false;
    QObject::connect(&wiz, &QWizard::currentIdChanged, &wiz, [&](int id) {
        if (id != 1 || gewechselt) return;
        const QString ziel = QFileInfo(datei->text().trimmed()).absoluteFilePath();
        QString bericht;
        // The change reads the old file as another case; the window's own
        // session gives the module's state up for that moment.
        sitzung.schliessen();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QString grund = wechseln(alt, ziel, &bericht);
        QApplication::restoreOverrideCursor();
        QString fehler;
        sitzung.oeffnen(alt, &fehler);
        if (!grund.isEmpty()) {
            text->setHtml(QStringLiteral("<p><b>Der Jahreswechsel ist nicht möglich.</b></p><p>%1</p>").arg(grund.toHtmlEscaped()));
            return;
        }
        gewechselt = true;
        neu = ziel;
        wiz.button(QWizard::BackButton)->setEnabled(false);
        text->setHtml(bericht);
    });
    wiz.exec();
    return neu;
}

// --- settings and firm data ---------------------------------------------------

void EinstellungenDialog::ausfuehren(Sitzung& sitzung, QWidget* eltern) {
    Faktura::Firma firma;
    bool ust = true, dauerfrist = false;
    Anmeldung::Zeitraum zeitraum = Anmeldung::Zeitraum::Offen;
    QString land;
    int kasse = 0;
    sitzung.lesen([&](DBConnection* db) {
        firma = Faktura::leseFirma(db);
        ust = sitzung.kg()->getUstPflicht();
        zeitraum = Anmeldung::zeitraum(db);
        dauerfrist = Anmeldung::dauerfrist(db);
        land = Elster::bundesland(db);
        kasse = sitzung.kg()->getKassenkonto();
    });
    QDialog d(eltern);
    d.setWindowTitle(QStringLiteral("Einstellungen und Firmendaten"));
    auto* tabs = new QTabWidget(&d);

    auto* fSeite = new QWidget(tabs);
    auto* fForm = new QFormLayout(fSeite);
    auto feld = [&](const QString& label, const QString& wert) {
        auto* e = new QLineEdit(wert, fSeite);
        // Named after its label, for tests and accessibility tools.
        e->setObjectName(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        fForm->addRow(label, e);
        return e;
    };
    QLineEdit* name = feld(QStringLiteral("&Name:"), firma.name);
    QLineEdit* strasse = feld(QStringLiteral("&Straße:"), firma.strasse);
    QLineEdit* plz = feld(QStringLiteral("&PLZ:"), firma.plz);
    QLineEdit* ort = feld(QStringLiteral("&Ort:"), firma.ort);
    QLineEdit* landF = feld(QStringLiteral("&Land:"), firma.land);
    QLineEdit* stnr = feld(QStringLiteral("S&teuernummer:"), firma.steuernummer);
    QLineEdit* ustid = feld(QStringLiteral("&USt-IdNr.:"), firma.ustid);
    QLineEdit* kontakt = feld(QStringLiteral("&Kontakt:"), firma.kontakt);
    QLineEdit* telefon = feld(QStringLiteral("T&elefon:"), firma.telefon);
    QLineEdit* email = feld(QStringLiteral("E-&Mail:"), firma.email);
    QLineEdit* iban = feld(QStringLiteral("&IBAN:"), firma.iban);
    QLineEdit* bic = feld(QStringLiteral("&BIC:"), firma.bic);
    QLineEdit* bank = feld(QStringLiteral("Ban&k:"), firma.bank);
    tabs->addTab(fSeite, QStringLiteral("Firma"));

    auto* eSeite = new QWidget(tabs);
    auto* eForm = new QFormLayout(eSeite);
    auto* ustBox = new QCheckBox(QStringLiteral("umsatzsteuerpflichtig (sonst Kleinunternehmer nach § 19 UStG)"), eSeite);
    ustBox->setChecked(ust);
    auto* zeitraumBox = new QComboBox(eSeite);
    zeitraumBox->setObjectName(QStringLiteral("Voranmeldung"));
    zeitraumBox->addItems({QStringLiteral("nicht festgelegt"), QStringLiteral("monatlich"), QStringLiteral("vierteljährlich")});
    zeitraumBox->setCurrentIndex(int(zeitraum));
    auto* fristBox = new QCheckBox(QStringLiteral("Dauerfristverlängerung"), eSeite);
    fristBox->setChecked(dauerfrist);
    auto* landBox = new QComboBox(eSeite);
    landBox->addItem(QStringLiteral("nicht festgelegt"), QString());
    for (const char* k : {"BW", "BY", "BE", "BB", "HB", "HH", "HE", "MV", "NI", "NW", "RP", "SL", "SN", "ST", "SH", "TH"})
        landBox->addItem(QLatin1String(k), QLatin1String(k));
    landBox->setCurrentIndex(qMax(0, landBox->findData(land)));
    auto* kasseFeld = new QLineEdit(kasse > 0 ? QString::number(kasse) : QString(), eSeite);
    eForm->addRow(QString(), ustBox);
    eForm->addRow(QStringLiteral("&Voranmeldung:"), zeitraumBox);
    eForm->addRow(QString(), fristBox);
    eForm->addRow(QStringLiteral("&Bundesland:"), landBox);
    eForm->addRow(QStringLiteral("K&assenkonto:"), kasseFeld);
    tabs->addTab(eSeite, QStringLiteral("Steuer"));

    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(tabs);
    lay->addWidget(knoepfe(&d, QStringLiteral("Speichern")));
    for (;;) {
        if (d.exec() != QDialog::Accepted) return;
        Faktura::Firma f = firma;
        f.name = name->text().trimmed();
        f.strasse = strasse->text().trimmed();
        f.plz = plz->text().trimmed();
        f.ort = ort->text().trimmed();
        f.land = landF->text().trimmed();
        f.steuernummer = stnr->text().trimmed();
        f.ustid = ustid->text().trimmed();
        f.kontakt = kontakt->text().trimmed();
        f.telefon = telefon->text().trimmed();
        f.email = email->text().trimmed();
        f.iban = iban->text().trimmed();
        f.bic = bic->text().trimmed();
        f.bank = bank->text().trimmed();
        // One action: everything is kept, or (on any refusal) nothing.
        const bool ok = sitzung.handeln([&](DBConnection* db) {
            KontoGlobal* kg = sitzung.kg();
            QString grund = Falleinstellungen::setzeUstPflicht(kg, db, ustBox->isChecked());
            if (!grund.isEmpty()) return grund;
            const unsigned long k = kasseFeld->text().trimmed().toULong();
            if (k != 0 && int(k) != kasse) {
                grund = Falleinstellungen::setzeKassenkonto(kg, k);
                if (!grund.isEmpty()) return grund;
            }
            if (zeitraumBox->currentIndex() > 0) Anmeldung::setZeitraum(Anmeldung::Zeitraum(zeitraumBox->currentIndex()), db);
            Anmeldung::setDauerfrist(fristBox->isChecked(), db);
            if (!landBox->currentData().toString().isEmpty()) Elster::setBundesland(landBox->currentData().toString(), db);
            if (!Faktura::schreibeFirma(db, f, &grund)) return grund;
            return QString();
        });
        if (ok) return;
    }
}

}  // namespace fenster
