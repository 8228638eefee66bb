// What the views of the subsystems share (see gemeinsam.h).
#include "fenster/ansichten/gemeinsam.h"

#include "fenster/sitzung.h"

#include "host/app/ui.h"
#include "kontbaum/berichte/liste.h"
#include "kontbaum/konten/kontoeditor.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

namespace fenster {
namespace gemeinsam {

QIcon symbol(const char* name, QStyle::StandardPixmap ersatz) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(ersatz));
}

QTableView* neueTabelle(QWidget* eltern) {
    auto* t = new QTableView(eltern);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setAlternatingRowColors(true);
    t->setTabKeyNavigation(false);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    return t;
}

QStandardItem* textZelle(const QString& text) {
    auto* i = new QStandardItem(text);
    i->setData(text, Qt::UserRole);
    return i;
}

QStandardItem* betragZelle(const EuroType& betrag, bool leerBeiNull) {
    auto* i = new QStandardItem(leerBeiNull && betrag.isNull() ? QString() : betrag.getText());
    i->setData(qlonglong(betrag.cent()), Qt::UserRole);
    i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (betrag < EuroType()) i->setForeground(QColor(Qt::darkRed));
    return i;
}

QStandardItem* zahlZelle(qlonglong zahl) {
    auto* i = new QStandardItem(QString::number(zahl));
    i->setData(zahl, Qt::UserRole);
    i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}

QStandardItem* datumZelle(const zDate& datum) {
    auto* i = new QStandardItem(datum.getText());
    i->setData(datum.qdate(), Qt::UserRole);
    return i;
}

void spaltenAnpassen(QTableView* t) {
    t->resizeColumnsToContents();
    const int grenze = qMax(200, t->viewport()->width() / 3);
    for (int c = 0; c < t->model()->columnCount(); ++c)
        if (t->columnWidth(c) > grenze) t->setColumnWidth(c, grenze);
}

void koepfe(QStandardItemModel* m, const QStringList& k) {
    m->clear();
    m->setHorizontalHeaderLabels(k);
}

void zeigeListe(const BerichtListe& l, QStandardItemModel* m) {
    QStringList k;
    for (const BerichtSpalte& s : l.spalten) k << s.kopf;
    koepfe(m, k);
    for (const BerichtListe::Zeile& z : l.zeilen) {
        QList<QStandardItem*> zellen;
        for (int c = 0; c < l.spalten.size(); ++c) {
            const QVariant v = z.werte.value(c);
            QStandardItem* i = nullptr;
            if (v.isNull()) i = new QStandardItem;
            else if (l.spalten[c].art == BerichtSpalte::Betrag) i = betragZelle(EuroType::ausDouble(v.toDouble()));
            else if (l.spalten[c].art == BerichtSpalte::Zahl) i = zahlZelle(v.toLongLong());
            else i = new QStandardItem(l.zelle(z, c));
            if (l.spalten[c].art == BerichtSpalte::Datum && !v.isNull()) i->setData(v.toDate(), Qt::UserRole);
            if (z.summe) {
                QFont f = i->font();
                f.setBold(true);
                i->setFont(f);
            }
            zellen << i;
        }
        m->appendRow(zellen);
    }
}

bool leseBetrag(const QLineEdit* feld, const QString& was, EuroType* betrag, QString* fehler) {
    if (EuroType::fromText(feld->text().trimmed(), betrag)) return true;
    *fehler = QStringLiteral("„%1“ ist kein Betrag für %2. Bitte geben Sie ihn wie 1.234,56 ein (höchstens zwei Nachkommastellen).")
                  .arg(feld->text().trimmed(), was);
    return false;
}

QDateEdit* neuesDatum(QWidget* eltern, const QDate& wert) {
    auto* d = new QDateEdit(wert.isValid() ? wert : QDate::currentDate(), eltern);
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setCalendarPopup(true);
    return d;
}

zDate datumAus(const QDateEdit* feld) { return zDate(feld->date()); }

QComboBox* zeitraumAuswahl(QWidget* eltern) {
    auto* c = new QComboBox(eltern);
    c->setObjectName(QStringLiteral("zeitraum"));
    c->addItem(QStringLiteral("Ganzes Jahr"), 0);
    for (int q = 1; q <= 4; ++q) c->addItem(QStringLiteral("%1. Quartal").arg(q), 100 + q);
    for (int m = 1; m <= 12; ++m) c->addItem(QLocale(QLocale::German).standaloneMonthName(m), m);
    return c;
}

BerichtZeitraum zeitraumAus(const QComboBox* auswahl) {
    BerichtZeitraum z;
    const int w = auswahl->currentData().toInt();
    if (w > 100) {
        z.art = 2;
        z.quartal = w - 101;
    } else if (w > 0) {
        z.art = 1;
        z.monat = w - 1;
    }
    return z;
}

QComboBox* kontoAuswahl(Sitzung& s, QWidget* eltern, unsigned long vonKategorie, unsigned long bisKategorie) {
    auto* c = new QComboBox(eltern);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    s.lesen([&](DBConnection*) {
        for (const Kontoeditor::Kontozeile& k : Kontoeditor::kontenliste(false))
            if (vonKategorie == 0 || (k.kategorie >= vonKategorie && k.kategorie <= bisKategorie))
                c->addItem(QStringLiteral("%1 %2").arg(k.nummer).arg(k.bezeichnung), qulonglong(k.nummer));
    });
    // Search as you type: the number or any part of the name.
    c->completer()->setCompletionMode(QCompleter::PopupCompletion);
    c->completer()->setFilterMode(Qt::MatchContains);
    c->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    c->setCurrentIndex(-1);
    return c;
}

unsigned long gewaehltesKonto(const QComboBox* auswahl) {
    const QString t = auswahl->currentText().trimmed();
    const int i = auswahl->findText(t);
    if (i >= 0) return auswahl->itemData(i).toULongLong();
    bool ok = false;
    const unsigned long nr = t.section(QLatin1Char(' '), 0, 0).toULong(&ok);
    return ok ? nr : 0;
}

BuchungsFilter eineBuchung(unsigned long nummer, const QString& woher) {
    BuchungsFilter f;
    f.titel = QStringLiteral("Buchung %1 (%2)").arg(nummer).arg(woher);
    f.nummern << nummer;
    return f;
}

bool ausfuehren(Sitzung& s, const std::function<bool(DBConnection* db, QString* fehler)>& aktion) {
    bool ok = false;
    const bool gespeichert = s.handeln([&](DBConnection* db) {
        QString fehler;
        ok = aktion(db, &fehler);
        if (ok) return QString();
        // A refusal always carries a reason, so that the action is dropped.
        return fehler.isEmpty() ? QStringLiteral("Die Aktion wurde abgebrochen; es wurde nichts geändert.") : fehler;
    });
    return gespeichert && ok;
}

void meldeFehler(const QString& text) { GetUi().rsError(text, QStringLiteral("Fehler")); }
void meldeHinweis(const QString& text) { GetUi().Hinweis(text, QStringLiteral("Hinweis")); }

}  // namespace gemeinsam
}  // namespace fenster
