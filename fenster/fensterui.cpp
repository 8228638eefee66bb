// Dialogs for the module's messages (see fensterui.h).
#include "fenster/fensterui.h"

#include "host/app/global.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace fenster {

namespace {
// The module writes $Y() for the tax year; HTML stays HTML for the box.
QString anzeigeText(const QString& text) {
    const int jahr = GetGlobal().getSteuerjahr();
    QString t = text;
    t.replace(QStringLiteral("$Y(-1)"), QString::number(jahr - 1)).replace(QStringLiteral("$Y()"), QString::number(jahr));
    return t;
}

void box(QWidget* eltern, QMessageBox::Icon icon, const QString& text, const QString& titel) {
    QMessageBox m(icon, titel, anzeigeText(text), QMessageBox::Ok, eltern);
    m.setTextFormat(Qt::AutoText);
    m.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    m.exec();
    QApplication::restoreOverrideCursor();
}
}  // namespace

void FensterUi::rsError(const QString& text, const QString& title) { box(m_eltern, QMessageBox::Critical, text, title); }
void FensterUi::Hinweis(const QString& text, const QString& title) { box(m_eltern, QMessageBox::Information, text, title); }
void FensterUi::rsWarning(const QString& text, const QString& title) { box(m_eltern, QMessageBox::Warning, text, title); }

bool FensterUi::frage(const QString& text, const QString& title) {
    QMessageBox m(QMessageBox::Question, title, anzeigeText(text), QMessageBox::Yes | QMessageBox::No, m_eltern);
    m.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    m.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    // A question that changes a filed period defaults to the safe answer.
    m.setDefaultButton(QMessageBox::No);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool ja = m.exec() == QMessageBox::Yes;
    QApplication::restoreOverrideCursor();
    return ja;
}

void FensterUi::progress(const QString& what, long done, long total) {
    // Long work runs inside one action; the status line shows how far it is
    // (the event loop keeps the window painted).
    Q_UNUSED(what);
    Q_UNUSED(done);
    Q_UNUSED(total);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FensterUi::waitCursor(bool on) {
    if (on) {
        if (m_warten++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_warten > 0 && --m_warten == 0) {
        QApplication::restoreOverrideCursor();
    }
}

QList<int> FensterUi::auswahl(const QString& text, const QStringList& punkte, const QString& title) {
    QDialog d(m_eltern);
    d.setWindowTitle(title);
    auto* lay = new QVBoxLayout(&d);
    auto* label = new QLabel(anzeigeText(text), &d);
    label->setWordWrap(true);
    lay->addWidget(label);
    auto* liste = new QListWidget(&d);
    for (const QString& p : punkte) {
        auto* item = new QListWidgetItem(p, liste);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    lay->addWidget(liste);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(knoepfe, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(knoepfe, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    lay->addWidget(knoepfe);
    QList<int> gewaehlt;
    if (d.exec() != QDialog::Accepted) return gewaehlt;
    for (int i = 0; i < liste->count(); ++i)
        if (liste->item(i)->checkState() == Qt::Checked) gewaehlt.append(i);
    return gewaehlt;
}

}  // namespace fenster
