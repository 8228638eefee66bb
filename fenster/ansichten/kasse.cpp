// The cash book view and the cash closing dialog (see kasse.h).
#include "fenster/ansichten/kasse.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "kontbaum/berichte/listen.h"
#include "kontbaum/kasse/kasse.h"
#include "kontbaum/konten/kontoeditor.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QFileInfo>
#include <QDir>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace fenster {

using namespace gemeinsam;

KassenAnsicht::KassenAnsicht(Sitzung& s, QWidget* eltern) : Ansicht(s, eltern) {
    auto* layout = new QVBoxLayout(this);
    auto* kopf = new QHBoxLayout;
    m_kasse = new QComboBox(this);
    m_kasse->setObjectName(QStringLiteral("kasse"));
    m_zeitraum = zeitraumAuswahl(this);
    auto* kasseLabel = new QLabel(QStringLiteral("&Kasse:"), this);
    kasseLabel->setBuddy(m_kasse);
    auto* zeitLabel = new QLabel(QStringLiteral("&Zeitraum:"), this);
    zeitLabel->setBuddy(m_zeitraum);
    m_abschluss = new QPushButton(gemeinsam::symbol("document-save", QStyle::SP_DialogApplyButton), QStringLiteral("Kassenab&schluss …"), this);
    m_abschluss->setObjectName(QStringLiteral("abschluss"));
    m_pdf = new QPushButton(gemeinsam::symbol("document-print", QStyle::SP_FileIcon), QStringLiteral("Als &PDF …"), this);
    m_pdf->setObjectName(QStringLiteral("pdf"));
    kopf->addWidget(kasseLabel);
    kopf->addWidget(m_kasse, 1);
    kopf->addWidget(zeitLabel);
    kopf->addWidget(m_zeitraum);
    kopf->addStretch();
    kopf->addWidget(m_abschluss);
    kopf->addWidget(m_pdf);
    // The exchange with a cash installation, in the order of its round trip.
    auto* programm = new QPushButton(gemeinsam::symbol("network-transmit-receive", QStyle::SP_DriveNetIcon), QStringLiteral("Kassenpro&gramm"), this);
    programm->setObjectName(QStringLiteral("kassenprogramm"));
    auto* menu = new QMenu(programm);
    menu->setObjectName(QStringLiteral("kassenprogrammMenu"));
    auto eintrag = [&](const char* name, const QString& text, const QString& hilfe, std::function<void()> tun) {
        QAction* a = menu->addAction(text, this, std::move(tun));
        a->setObjectName(QLatin1String(name));
        a->setStatusTip(hilfe);
        a->setToolTip(hilfe);
    };
    eintrag("kasseUebergeben", QStringLiteral("Kasse an Kassenprogramm &übergeben …"),
            QStringLiteral("Schreibt die gewählte Kasse in eine .kasse-Datei für das Kassenprogramm."), [this] { kasseUebergeben(); });
    eintrag("kassenfallAnlegen", QStringLiteral("Kassenfall aus Übergabedatei &anlegen …"),
            QStringLiteral("Legt am Kassenplatz aus einer .kasse-Datei einen neuen Kassenfall an."), [this] { emit kassenfallGewuenscht(); });
    eintrag("buchungenZurueckgeben", QStringLiteral("Abgeschlossene Kassenbuchungen &zurückgeben …"),
            QStringLiteral("Im Kassenfall: schreibt die Buchungen bis zum letzten Kassenabschluss in eine .buchungen-Datei."),
            [this] { buchungenZurueckgeben(); });
    eintrag("buchungenEinlesen", QStringLiteral("Kassenbuchungen &einlesen …"),
            QStringLiteral("Im Hauptfall: übernimmt die Buchungen einer .buchungen-Datei des Kassenprogramms."), [this] { buchungenEinlesen(); });
    menu->addSeparator();
    eintrag("kasseFreigeben", QStringLiteral("Kasse &freigeben …"),
            QStringLiteral("Die gewählte Kasse wird nicht mehr an ein Kassenprogramm exportiert."), [this] { kasseFreigeben(); });
    programm->setMenu(menu);
    kopf->addWidget(programm);
    layout->addLayout(kopf);

    m_tabelle = neueTabelle(this);
    m_tabelle->setObjectName(QStringLiteral("kassenbuch"));
    m_modell = new QStandardItemModel(this);
    m_tabelle->setModel(m_modell);
    layout->addWidget(m_tabelle, 1);
    m_summen = new QLabel(this);
    m_summen->setObjectName(QStringLiteral("summen"));
    layout->addWidget(m_summen);

    connect(m_kasse, QOverload<int>::of(&QComboBox::activated), this, [this] { zeigeKassenbuch(); });
    connect(m_zeitraum, QOverload<int>::of(&QComboBox::activated), this, [this] { zeigeKassenbuch(); });
    connect(m_tabelle, &QTableView::activated, this, [this](const QModelIndex& i) {
        const unsigned long nr = m_modell->item(i.row(), 2)->data(Qt::UserRole).toULongLong();
        if (nr) emit zeigeBuchungen(eineBuchung(nr, QStringLiteral("Kassenbuch")));
    });
    connect(m_abschluss, &QPushButton::clicked, this, &KassenAnsicht::abschlussDialog);
    connect(m_pdf, &QPushButton::clicked, this, &KassenAnsicht::alsPdf);
    setTabOrder(m_kasse, m_zeitraum);
    setTabOrder(m_zeitraum, m_tabelle);
    setTabOrder(m_tabelle, m_abschluss);
    setTabOrder(m_abschluss, m_pdf);
    setTabOrder(m_pdf, programm);
}

QString KassenAnsicht::titel() const { return QStringLiteral("Kassenbuch"); }
QIcon KassenAnsicht::symbol() const { return gemeinsam::symbol("wallet-open", QStyle::SP_DriveHDIcon); }

namespace {
// The first and last day of the period chosen in `auswahl`.
void zeitraumTage(const QComboBox* auswahl, int jahr, zDate* von, zDate* bis) {
    BerichtParameter p;
    p.jahr = jahr;
    p.zeitraum = zeitraumAus(auswahl);
    *von = p.von();
    *bis = p.bis();
}
}  // namespace

unsigned long KassenAnsicht::gewaehlteKasse() const { return m_kasse->currentData().toULongLong(); }

void KassenAnsicht::aktualisieren() {
    const unsigned long vorher = gewaehlteKasse();
    unsigned long standard = 0;
    m_kasse->clear();
    sitzung().lesen([&](DBConnection*) {
        standard = (unsigned long)qMax(0, sitzung().kg()->getKassenkonto());
        for (const Kasse::Kassenstand& k : Kasse::kassenuebersicht()) {
            if (!k.aktiv && k.bestand.isNull()) continue;
            m_kasse->addItem(QStringLiteral("%1 %2").arg(k.konto).arg(k.bezeichnung), qulonglong(k.konto));
        }
    });
    int i = m_kasse->findData(qulonglong(vorher ? vorher : standard));
    m_kasse->setCurrentIndex(qMax(0, i));
    zeigeKassenbuch();
}

void KassenAnsicht::zeigeKassenbuch() {
    koepfe(m_modell, {QStringLiteral("Datum"), QStringLiteral("Beleg"), QStringLiteral("Buchung"), QStringLiteral("Gegenkonto"),
                      QStringLiteral("USt %"), QStringLiteral("Einnahme"), QStringLiteral("Ausgabe"), QStringLiteral("Bestand"),
                      QStringLiteral("Buchungstext")});
    const unsigned long konto = gewaehlteKasse();
    m_abschluss->setEnabled(konto != 0);
    m_pdf->setEnabled(konto != 0);
    if (konto == 0) {
        m_summen->setText(QStringLiteral("Der Fall hat keine Kasse (Konto der Kategorie 201)."));
        return;
    }
    zDate von, bis;
    zeitraumTage(m_zeitraum, sitzung().steuerjahr(), &von, &bis);
    Kassenbuch kb(konto, von, bis);
    bool ok = false;
    zDate abgeschlossenBis;
    sitzung().lesen([&](DBConnection*) {
        ok = kb.Fuellen();
        for (const Kasse::Kassenstand& k : Kasse::kassenuebersicht())
            if (k.konto == konto) abgeschlossenBis = k.abgeschlossenBis;
    });
    if (!ok) {
        m_summen->setText(QStringLiteral("Das Kassenbuch konnte nicht gelesen werden. Bitte prüfen Sie den Fall (Buchungen prüfen)."));
        return;
    }
    for (const KBBuchung& b : kb.zeilen())
        m_modell->appendRow({datumZelle(b.datum), textZelle(b.belegnummer), b.buchungsnummer ? zahlZelle(b.buchungsnummer) : textZelle(QString()),
                             textZelle(b.gegenkonto), textZelle(b.buchungsnummer ? QString::number(b.steuersatz, 'g', 4) : QString()),
                             betragZelle(b.einnahme, b.buchungsnummer != 0), betragZelle(b.ausgabe, true), betragZelle(b.bestand),
                             textZelle(b.buchungstext)});
    QString abschluesse;
    for (const Kassenbuch::Abschluss& a : kb.abschluesse())
        abschluesse += QStringLiteral(", Abschluss %1: gezählt %2 €").arg(a.datum.getText(), a.gezaehlt.getText());
    const EuroType anfang = kb.zeilen().isEmpty() ? EuroType() : kb.zeilen().first().bestand;
    const EuroType ende = kb.zeilen().isEmpty() ? EuroType() : kb.zeilen().last().bestand;
    const QString abgeschlossen =
        abgeschlossenBis.isValid() ? QStringLiteral("  –  abgeschlossen bis %1").arg(abgeschlossenBis.getText()) : QString();
    m_summen->setText(QStringLiteral("Anfangsbestand %1 €  –  Endbestand %2 €%3%4")
                          .arg(anfang.getText(), ende.getText(), abgeschlossen, abschluesse));
    spaltenAnpassen(m_tabelle);
    m_tabelle->scrollToBottom();
}

void KassenAnsicht::abschlussDialog() {
    const unsigned long konto = gewaehlteKasse();
    if (konto == 0) return;
    KassenabschlussDialog d(sitzung(), konto, this);
    if (!d.beginnFehler().isEmpty()) {
        meldeFehler(d.beginnFehler());
        return;
    }
    if (d.exec() == QDialog::Accepted) aktualisieren();
}

void KassenAnsicht::alsPdf() {
    const unsigned long konto = gewaehlteKasse();
    if (konto == 0) return;
    const QString pfad = QFileDialog::getSaveFileName(this, QStringLiteral("Kassenbuch als PDF speichern"),
                                                      QStringLiteral("Kassenbuch %1.pdf").arg(konto), QStringLiteral("PDF-Dateien (*.pdf)"));
    if (pfad.isEmpty()) return;
    zDate von, bis;
    zeitraumTage(m_zeitraum, sitzung().steuerjahr(), &von, &bis);
    Kassenbuch kb(konto, von, bis);
    QByteArray pdf;
    QString e;
    bool ok = false;
    sitzung().lesen([&](DBConnection*) {
        if (!kb.Fuellen()) e = QStringLiteral("Das Kassenbuch konnte nicht gelesen werden.");
        else ok = kb.alsPdf(sitzung().betriebsname(), &pdf, &e);
    });
    if (ok && rsWriteFileAtomic(pfad, pdf, &e)) return meldeHinweis(QStringLiteral("Das Kassenbuch wurde in der Datei %1 gespeichert.").arg(pfad));
    meldeFehler(e);
}

// --- closing -----------------------------------------------------------------

KassenabschlussDialog::KassenabschlussDialog(Sitzung& sitzung, unsigned long konto, QWidget* eltern)
    : QDialog(eltern), m_sitzung(sitzung), m_konto(konto) {
    setWindowTitle(QStringLiteral("Kassenabschluss"));
    KassenabschlussDaten d;
    m_sitzung.lesen([&](DBConnection*) { m_beginnFehler = Kasse::abschlussBeginnen(konto, &d); });
    auto* form = new QFormLayout;
    auto* kasse = new QLabel(d.bezeichnung, this);
    form->addRow(QStringLiteral("Kasse:"), kasse);
    form->addRow(QStringLiteral("Letzter Abschluss:"),
                 new QLabel(d.letzterAbschluss.isValid() ? d.letzterAbschluss.getText() : QStringLiteral("keiner"), this));
    const int jahr = m_sitzung.steuerjahr();
    QDate vorschlag = QDate::currentDate();
    if (vorschlag.year() != jahr) vorschlag = QDate(jahr, 12, 31);
    m_datum = neuesDatum(this, vorschlag);
    m_datum->setObjectName(QStringLiteral("datum"));
    form->addRow(QStringLiteral("Abschluss&datum:"), m_datum);
    m_saldo = new QLabel(this);
    m_saldo->setObjectName(QStringLiteral("saldo"));
    form->addRow(QStringLiteral("Kontostand laut Buchungen:"), m_saldo);
    m_gezaehlt = new QLineEdit(this);
    m_gezaehlt->setObjectName(QStringLiteral("gezaehlt"));
    m_gezaehlt->setPlaceholderText(QStringLiteral("0,00"));
    form->addRow(QStringLiteral("&Gezählter Betrag:"), m_gezaehlt);
    m_differenz = new QLabel(this);
    form->addRow(QStringLiteral("Differenz:"), m_differenz);
    m_gegenkonto = new QComboBox(this);
    m_gegenkonto->setObjectName(QStringLiteral("gegenkonto"));
    form->addRow(QStringLiteral("Gegen&konto der Ausgleichsbuchung:"), m_gegenkonto);
    m_hinweis = new QLabel(this);
    m_hinweis->setWordWrap(true);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Abschluss durchführen"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_hinweis);
    layout->addWidget(knoepfe);
    connect(m_datum, &QDateEdit::dateChanged, this, &KassenabschlussDialog::neuBerechnen);
    connect(m_gezaehlt, &QLineEdit::textChanged, this, &KassenabschlussDialog::neuBerechnen);
    setTabOrder(m_datum, m_gezaehlt);
    setTabOrder(m_gezaehlt, m_gegenkonto);
    m_gezaehlt->setFocus();
    neuBerechnen();
}

void KassenabschlussDialog::neuBerechnen() {
    m_sitzung.lesen([&](DBConnection*) { berechnen(); });
}

void KassenabschlussDialog::berechnen() {
    KassenabschlussDaten d;
    if (!Kasse::abschlussBeginnen(m_konto, &d).isEmpty()) return;
    d.datum = datumAus(m_datum);
    const QString datumFehler = Kasse::abschlussDatumPruefen(d);
    m_hinweis->setText(Ui::plainText(datumFehler));
    if (!datumFehler.isEmpty()) {
        m_saldo->clear();
        return;
    }
    Kasse::abschlussSaldoErmitteln(&d);
    m_saldo->setText(d.saldoBuchungen.getText() + QStringLiteral(" €"));
    EuroType gezaehlt;
    QString e;
    if (m_gezaehlt->text().trimmed().isEmpty() || !leseBetrag(m_gezaehlt, QStringLiteral("Gezählter Betrag"), &gezaehlt, &e)) {
        m_differenz->clear();
        m_gegenkonto->clear();
        m_gegenkonto->setEnabled(false);
        return;
    }
    d.gezaehlt = gezaehlt;
    const EuroType diff = gezaehlt - d.saldoBuchungen;
    m_differenz->setText(diff.isNull() ? QStringLiteral("keine")
                                       : QStringLiteral("%1 € %2").arg(diff.abs().getText(), diff < EuroType() ? QStringLiteral("Fehlbetrag")
                                                                                                             : QStringLiteral("Überschuss")));
    const bool fehlbetrag = diff < EuroType();
    const unsigned long vorher = m_gegenkonto->currentData().toULongLong();
    m_gegenkonto->clear();
    m_gegenkonto->setEnabled(!diff.isNull());
    if (diff.isNull()) return;
    // The library names the fitting accounts by category: expenses for a
    // shortfall, income for a surplus; it decides again on carrying out.
    for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false)) {
        const bool passt = fehlbetrag ? (k.kategorie >= 5000 && k.kategorie <= 6999) : (k.kategorie >= 4000 && k.kategorie <= 4999);
        if (passt) m_gegenkonto->addItem(QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung), qulonglong(k.nummer));
    }
    QString kein;
    const unsigned long vorschlag = vorher ? vorher : Kasse::ausgleichsGegenkonto(d, 0, &kein);
    m_gegenkonto->setCurrentIndex(qMax(0, m_gegenkonto->findData(qulonglong(vorschlag))));
}

void KassenabschlussDialog::accept() {
    EuroType gezaehlt;
    QString e;
    if (!leseBetrag(m_gezaehlt, QStringLiteral("Gezählter Betrag"), &gezaehlt, &e)) return meldeFehler(e);
    if (gezaehlt < EuroType()) return meldeFehler(QStringLiteral("Der gezählte Betrag kann nicht negativ sein."));
    const zDate datum = datumAus(m_datum);
    const unsigned long gewaehlt = m_gegenkonto->currentData().toULongLong();
    Kasse::AbschlussErgebnis erg;
    // Every step runs again inside the action: the case may have changed
    // since the dialog showed its figures.
    const bool ok = ausfuehren(m_sitzung, [&](DBConnection*, QString* fehler) {
        KassenabschlussDaten d;
        *fehler = Kasse::abschlussBeginnen(m_konto, &d);
        if (!fehler->isEmpty()) return false;
        d.datum = datum;
        *fehler = Kasse::abschlussDatumPruefen(d);
        if (!fehler->isEmpty()) return false;
        Kasse::abschlussSaldoErmitteln(&d);
        d.gezaehlt = gezaehlt;
        unsigned long gegenkonto = 0;
        if (d.gezaehlt != d.saldoBuchungen && (gegenkonto = Kasse::ausgleichsGegenkonto(d, gewaehlt, fehler)) == 0) return false;
        QString frage = QStringLiteral("Kasse: %1<br>Abschlussdatum: %2<br>Kontostand laut Buchungen: %3 €<br>Gezählter Betrag: %4 €")
                            .arg(d.bezeichnung, d.datum.getText(), d.saldoBuchungen.getText(), d.gezaehlt.getText());
        if (gegenkonto)
            frage += QStringLiteral("<br>Aufgrund der Differenz wird eine Ausgleichsbuchung über %1 € gegen das Konto %2 erzeugt.")
                         .arg((d.saldoBuchungen - d.gezaehlt).abs().getText())
                         .arg(gegenkonto);
        // A closing cannot be undone: the user confirms what it will do.
        if (!GetUi().frage(frage + QStringLiteral("<p>Soll der Kassenabschluss jetzt durchgeführt werden? Er kann nicht rückgängig gemacht werden.</p>"),
                           QStringLiteral("Kassenabschluss"))) {
            *fehler = QStringLiteral("Der Kassenabschluss wurde nicht durchgeführt.");
            return false;
        }
        return Kasse::abschlussDurchfuehren(d, gegenkonto, &erg, fehler);
    });
    if (!ok) return;
    meldeHinweis(erg.ausgleichsbuchung ? QStringLiteral("Der Kassenabschluss zum %1 wurde durchgeführt; die Differenz ist als Buchung %2 gebucht.")
                                             .arg(datum.getText())
                                             .arg(erg.ausgleichsbuchung)
                                       : QStringLiteral("Der Kassenabschluss zum %1 wurde durchgeführt.").arg(datum.getText()));
    QDialog::accept();
}

bool KassenAnsicht::kasseUebergeben(const QString& verzeichnis) {
    const unsigned long konto = gewaehlteKasse();
    if (konto == 0) {
        meldeHinweis(QStringLiteral("Bitte wählen Sie die Kasse, die übergeben werden soll."));
        return false;
    }
    const QString ziel = !verzeichnis.isEmpty() ? verzeichnis
                                                : QFileDialog::getExistingDirectory(this, QStringLiteral("Verzeichnis für die Übergabedatei der Kasse %1").arg(konto));
    if (ziel.isEmpty()) return false;
    if (!QFileInfo(ziel).isDir()) {
        meldeFehler(QStringLiteral("Das Zielverzeichnis „%1“ existiert nicht.").arg(ziel));
        return false;
    }
    // The file is named as the command line names it: date, case, register, year.
    const QString pfad =
        QDir(ziel).filePath(Kasse::kassenDateiname(zDate::today(), QFileInfo(sitzung().pfad()).completeBaseName(), konto, sitzung().steuerjahr()));
    if (QFileInfo(pfad).canonicalFilePath() == QFileInfo(sitzung().pfad()).canonicalFilePath()) {
        meldeFehler(QStringLiteral("„%1“ ist die geöffnete Falldatei; sie wird nicht überschrieben.").arg(pfad));
        return false;
    }
    QString geschrieben;
    if (!ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
            geschrieben = Kasse::exportiereKasse(konto, pfad, false, fehler);
            return !geschrieben.isEmpty();
        }))
        return false;
    meldeHinweis(QStringLiteral("Der Export wurde erfolgreich abgeschlossen. Die Kasse %1 steht in der Datei<br>%2<br>Legen Sie am Kassenplatz daraus "
                                "mit „Kassenfall aus Übergabedatei anlegen …“ den Kassenfall an.")
                     .arg(konto)
                     .arg(geschrieben.toHtmlEscaped()));
    aktualisieren();
    return true;
}

bool KassenAnsicht::buchungenEinlesen(const QString& vorgabe) {
    const QString datei = !vorgabe.isEmpty() ? vorgabe
                                             : QFileDialog::getOpenFileName(this, QStringLiteral("Kassenbuchungen einlesen"), QString(),
                                                                            QStringLiteral("Kassenbuchungen (*.buchungen);;Alle Dateien (*)"));
    if (datei.isEmpty()) return false;
    QString meldung;
    if (!ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
            const long anzahl = Kasse::importiereKassenbuchungen(datei, &meldung);
            if (anzahl < 0) *fehler = meldung;
            return anzahl >= 0;
        }))
        return false;
    meldeHinweis(meldung);
    aktualisieren();
    return true;
}

bool KassenAnsicht::buchungenZurueckgeben(const QString& verzeichnis) {
    const QString ziel = !verzeichnis.isEmpty() ? verzeichnis
                                                : QFileDialog::getExistingDirectory(this, QStringLiteral("Verzeichnis für die Kassenbuchungen"));
    if (ziel.isEmpty()) return false;
    Kasse::BuchungsExportPlan plan;
    QString pfad;
    if (!ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) {
            pfad = Kasse::exportiereKassenbuchungen(ziel, false, fehler, &plan);
            if (pfad.isEmpty() && fehler->isEmpty()) *fehler = QStringLiteral("Die Kassenbuchungen konnten nicht exportiert werden.");
            return !pfad.isEmpty();
        }))
        return false;
    meldeHinweis(plan.bericht + QStringLiteral("<p>Die Buchungen stehen in der Datei<br>%1<br>Lesen Sie sie im Hauptfall mit „Kassenbuchungen "
                                               "einlesen …“ ein.</p>")
                                    .arg(pfad.toHtmlEscaped()));
    aktualisieren();
    return true;
}

bool KassenAnsicht::kasseFreigeben() {
    const unsigned long konto = gewaehlteKasse();
    if (konto == 0) {
        meldeHinweis(QStringLiteral("Bitte wählen Sie die Kasse, die freigegeben werden soll."));
        return false;
    }
    if (!ausfuehren(sitzung(), [&](DBConnection*, QString* fehler) { return Kasse::kasseFreigeben(konto, fehler); })) return false;
    meldeHinweis(QStringLiteral("Die Kasse %1 ist freigegeben; sie wird nicht mehr exportiert.").arg(konto));
    aktualisieren();
    return true;
}

}  // namespace fenster
