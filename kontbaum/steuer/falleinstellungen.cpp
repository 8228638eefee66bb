// The settings that change how a case is taxed (see falleinstellungen.h).
#include "kontbaum/steuer/falleinstellungen.h"

#include "kontbaum/rahmen/kontglob.h"

#include <QStringList>

namespace Falleinstellungen {

QString setzeUstPflicht(KontoGlobal* kg, DBConnection* db, bool pflichtig) {
    if (pflichtig == kg->getUstPflicht()) return QString();
    if (kg->getJahresabschluss() != 0) return KontoGlobal::getJahresabschlussgrund(0, kg);
    if (!pflichtig) {
        // A year is taxed as a whole by one rule: bookings that already
        // charge or deduct VAT would stay in every figure.
        const QList<unsigned long> mitSteuer = KontoGlobal::buchungenMitUmsatzsteuer(db);
        if (!mitSteuer.isEmpty()) {
            QStringList erste;
            for (int i = 0; i < mitSteuer.size() && i < 10; ++i) erste << QString::number(mitSteuer[i]);
            return QStringLiteral("Der Fall kann nicht auf „nicht umsatzsteuerpflichtig“ umgestellt werden: %1 "
                                  "Buchung(en) weisen Umsatzsteuer oder Vorsteuer aus (Nr. %2%3). Stornieren Sie diese "
                                  "Buchungen und buchen Sie sie brutto ohne Steuerschlüssel neu.")
                .arg(mitSteuer.size())
                .arg(erste.join(QStringLiteral(", ")), mitSteuer.size() > erste.size() ? QStringLiteral(", …") : QString());
        }
    }
    kg->setUstPflicht(pflichtig);
    if (!kg->activateUstPflicht() || !KontoGlobal::abgleichKontoplanSteuerschluesselAktiv()) {
        // The caller drops the action, so the flag set above goes with it.
        return QStringLiteral("Der Kontenplan konnte nicht an die Umsatzsteuerpflicht angepasst werden; der Fall bleibt unverändert.");
    }
    return QString();
}

QString setzeKassenkonto(KontoGlobal* kg, unsigned long konto) {
    // A cash book over an account that is no register would mix cash with bank.
    if (!KontoGlobal::existsKonto(konto, true, nullptr) || KontoGlobal::getKategorie(konto) != 201)
        return QStringLiteral("Das Konto %1 ist keine aktive Kasse (Kategorie 201).").arg(konto);
    kg->setKassenkonto(int(konto));
    return QString();
}

}  // namespace Falleinstellungen
