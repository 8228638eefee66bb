// The SEPA transfer dialog (see ueberweisung.h).
#include "fenster/ansichten/ueberweisung.h"

#include "fenster/ansichten/gemeinsam.h"
#include "fenster/sitzung.h"

#include "host/app/atomicfile.h"
#include "host/app/ui.h"
#include "kontbaum/bank/bank.h"
#include "kontbaum/bank/sepa.h"
#include "kontbaum/eingang/eingang.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace fenster {

using namespace gemeinsam;

UeberweisungDialog::UeberweisungDialog(Sitzung& s, const QList<unsigned long>& vorgewaehlt, QWidget* eltern) : QDialog(eltern), m_sitzung(s) {
    setWindowTitle(QStringLiteral("SEPA-Überweisung erstellen"));
    auto* form = new QFormLayout(this);
    m_rechnungen = new QListWidget(this);
    m_rechnungen->setObjectName(QStringLiteral("rechnungen"));
    m_konto = new QComboBox(this);
    m_konto->setObjectName(QStringLiteral("konto"));
    int offen = 0;
    m_sitzung.lesen([&](DBConnection* db) {
        for (const Eingang::Gespeichert& g : Eingang::liste(db, true)) {
            // A credit note is money coming in; there is nothing to transfer.
            if (g.gutschrift) continue;
            auto* z = new QListWidgetItem(QStringLiteral("%1 – %2 – %3 € – fällig %4")
                                              .arg(g.nummer, g.lieferant, g.zahlbetrag.getText(),
                                                   (g.faellig.isValid() ? g.faellig : g.datum).getText()),
                                          m_rechnungen);
            z->setData(Qt::UserRole, qulonglong(g.id));
            z->setFlags(z->flags() | Qt::ItemIsUserCheckable);
            z->setCheckState(vorgewaehlt.contains(g.id) ? Qt::Checked : Qt::Unchecked);
            if (g.iban.isEmpty()) z->setToolTip(QStringLiteral("Die Rechnung nennt keine IBAN; sie kann nicht überwiesen werden."));
            ++offen;
        }
        for (const Bank::Verbindung& v : Bank::verbindungen(db))
            if (!v.iban.isEmpty())
                m_konto->addItem(QStringLiteral("%1 %2 (%3)").arg(v.konto).arg(v.bezeichnung, v.iban), qulonglong(v.konto));
    });
    if (offen == 0) {
        meldeHinweis(QStringLiteral("Es gibt keine offene Eingangsrechnung, die zu überweisen wäre."));
        return;
    }
    if (m_konto->count() == 0) {
        meldeHinweis(QStringLiteral("Es ist noch kein Bankkonto mit IBAN eingerichtet. Richten Sie es in der Ansicht „Bank“ mit „Bankkonto "
                                    "einrichten …“ ein; von ihm wird überwiesen."));
        return;
    }
    m_bereit = true;
    // Whole lines: number, supplier, amount and due date side by side.
    m_rechnungen->setMinimumWidth(m_rechnungen->sizeHintForColumn(0) + 2 * m_rechnungen->frameWidth() + 24);
    // Banks refuse an execution date in the past; today is the earliest.
    m_ausfuehrung = neuesDatum(this, QDate::currentDate());
    m_ausfuehrung->setObjectName(QStringLiteral("ausfuehrung"));
    m_datei = new QLineEdit(this);
    m_datei->setObjectName(QStringLiteral("datei"));
    auto* waehlen = new QPushButton(QStringLiteral("&Durchsuchen …"), this);
    waehlen->setObjectName(QStringLiteral("dateiWaehlen"));
    connect(waehlen, &QPushButton::clicked, this, &UeberweisungDialog::dateiWaehlen);
    auto* dateiZeile = new QHBoxLayout;
    dateiZeile->addWidget(m_datei, 1);
    dateiZeile->addWidget(waehlen);
    form->addRow(QStringLiteral("Offene &Eingangsrechnungen:"), m_rechnungen);
    form->addRow(QStringLiteral("&Von Bankkonto:"), m_konto);
    form->addRow(QStringLiteral("&Ausführung am:"), m_ausfuehrung);
    auto* dateiLabel = new QLabel(QStringLiteral("Da&tei (pain.001):"), this);
    dateiLabel->setBuddy(m_datei);
    form->addRow(dateiLabel, dateiZeile);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Datei &schreiben"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(knoepfe, &QDialogButtonBox::accepted, this, &UeberweisungDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(knoepfe);
    m_rechnungen->setFocus();
    if (m_rechnungen->count()) m_rechnungen->setCurrentRow(0);
}

void UeberweisungDialog::dateiWaehlen() {
    const QString pfad = QFileDialog::getSaveFileName(this, QStringLiteral("SEPA-Überweisung speichern"),
                                                      m_datei->text().isEmpty() ? QStringLiteral("ueberweisung.xml") : m_datei->text(),
                                                      QStringLiteral("SEPA-Dateien (*.xml)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!pfad.isEmpty()) m_datei->setText(pfad);
}

void UeberweisungDialog::accept() {
    QList<unsigned long> ids;
    for (int i = 0; i < m_rechnungen->count(); ++i)
        if (m_rechnungen->item(i)->checkState() == Qt::Checked) ids << m_rechnungen->item(i)->data(Qt::UserRole).toULongLong();
    if (ids.isEmpty()) return meldeFehler(QStringLiteral("Bitte haken Sie die Eingangsrechnungen an, die überwiesen werden sollen."));
    const QString pfad = m_datei->text().trimmed();
    if (pfad.isEmpty()) return meldeFehler(QStringLiteral("Bitte geben Sie die Datei an, in die die Überweisung geschrieben wird."));
    const QFileInfo ziel(pfad);
    if (ziel.exists() && ziel.canonicalFilePath() == QFileInfo(m_sitzung.pfad()).canonicalFilePath())
        return meldeFehler(QStringLiteral("„%1“ ist die geöffnete Falldatei; bitte wählen Sie eine andere Datei.").arg(pfad));
    if (ziel.isDir()) return meldeFehler(QStringLiteral("„%1“ ist ein Verzeichnis; bitte geben Sie einen Dateinamen an.").arg(pfad));
    Bank::SepaAuftrag auftrag;
    auftrag.ausfuehrung = datumAus(m_ausfuehrung);
    auftrag.erstellt = QDateTime::currentDateTime();
    QByteArray xml;
    QString e;
    bool ok = false;
    const unsigned long konto = m_konto->currentData().toULongLong();
    m_sitzung.lesen([&](DBConnection* db) {
        ok = Bank::eingangsrechnungenZahlen(db, ids, &auftrag, &e) && Bank::sepaAuftraggeber(db, konto, &auftrag, &e) &&
             Bank::schreibePain001(auftrag, &xml, &e);
    });
    if (!ok) return meldeFehler(e + QStringLiteral(" Es wurde keine Datei geschrieben."));
    // Typed or chosen, an existing file is replaced only when the user says so.
    if (ziel.exists() && !GetUi().frage(QStringLiteral("Die Datei „%1“ gibt es schon. Soll sie ersetzt werden?").arg(pfad), QStringLiteral("Ersetzen")))
        return;
    if (!rsWriteFileAtomic(pfad, xml, &e)) return meldeFehler(e);
    m_geschrieben = pfad;
    meldeHinweis(QStringLiteral("Die SEPA-Überweisung (pain.001.001.03, %1 Überweisung(en)) wurde in der Datei %2 gespeichert; laden Sie sie im "
                                "Online-Banking hoch.")
                     .arg(ids.size())
                     .arg(pfad));
    QDialog::accept();
}

bool ueberweisungErstellen(Sitzung& s, const QList<unsigned long>& vorgewaehlt, QWidget* eltern) {
    UeberweisungDialog d(s, vorgewaehlt, eltern);
    return d.bereit() && d.exec() == QDialog::Accepted;
}

}  // namespace fenster
