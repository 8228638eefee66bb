// A new case (see neuanlage.h).
#include "kontbaum/fall/neuanlage.h"

#include "kontbaum/fall/kontbaum.h"
#include "kontbaum/rahmen/kontglob.h"

namespace Neuanlage {

const QStringList& kontenrahmen() {
    static const QStringList liste = {QStringLiteral("SKR03"), QStringLiteral("SKR04"), QStringLiteral("EKR03"), QStringLiteral("SKR80"),
                                      QStringLiteral("SKR81")};
    return liste;
}

QString einrichten(KontoGlobal* kg, Kont_& root, const Angaben& a) {
    int vonJahr = 0, bisJahr = 0;
    if (!KontoGlobal::unterstuetzteSteuerjahre(&vonJahr, &bisJahr))
        return QStringLiteral("Die Referenzdatenbank des Programms fehlt; ein Fall kann nicht angelegt werden.");
    if (a.jahr < vonJahr || a.jahr > bisJahr)
        return QStringLiteral("Das Steuerjahr %1 wird nicht unterstützt: dalvo16 kennt Kontenrahmen und Formulare der Steuerjahre %2 bis %3.")
            .arg(a.jahr)
            .arg(vonJahr)
            .arg(bisJahr);
    if (!kontenrahmen().contains(a.kontenrahmen))
        return QStringLiteral("Unbekannter Kontenrahmen „%1“ (erlaubt: %2).").arg(a.kontenrahmen, kontenrahmen().join(QStringLiteral(", ")));
    kg->setSteuerjahr(a.jahr);
    kg->setKontenplanName(a.kontenrahmen);
    kg->setUstPflicht(a.ustPflicht);
    switch (kg->selectKontenplan(QString::number(a.jahr), a.kontenrahmen, QString(), false, a.beispiele ? 1 : 0)) {
    case 0:
        break;
    case 1:
        return QStringLiteral("Die Referenzdatenbank des Programms fehlt; der Kontenplan kann nicht erstellt werden.");
    default:
        return QStringLiteral("Der Kontenplan %1 konnte nicht erstellt werden.").arg(a.kontenrahmen);
    }
    kg->abgleichKontoplanSteuerschluesselAktiv();
    kg->setKassenkonto(int(kg->getSpezialKonto(1000)));
    root.fillBlackList();
    return QString();
}

}  // namespace Neuanlage
