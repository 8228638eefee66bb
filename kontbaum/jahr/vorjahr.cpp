// The previous year's case opened beside the current one (see jahr.h).
#include "kontbaum/jahr/jahr.h"

#include "kontbaum/fall/falldatei.h"
#include "kontbaum/rahmen/kontglob.h"

#include <QFileInfo>

namespace Jahr {

bool oeffneVorjahr(KontoGlobal& kg, const QString& datei, Vorjahr* vj, QString* fehler) {
    std::unique_ptr<Kont_> baum(Kont_::New());
    KontRecord::Einstellungen e;
    const QString ziel = kg.getImportDatenbankNameProg();
    if (!Falldatei::leseFremd(datei, ziel, *baum, &e, fehler)) {
        kg.deleteImportDB();
        return false;
    }
    vj->datei = datei;
    vj->einstellungen = e;
    vj->baum = std::move(baum);
    return true;
}

QString pruefeSteuerjahr(int jahr) {
    int von = 0, bis = 0;
    if (!KontoGlobal::unterstuetzteSteuerjahre(&von, &bis))
        return QStringLiteral("Die Referenzdatenbank des Programms fehlt; Saldovorträge können nicht berechnet werden.");
    if (jahr < von || jahr > bis)
        return QStringLiteral("Das Steuerjahr %1 wird nicht unterstützt: dalvo16 kennt Kontenrahmen und Formulare der "
                              "Steuerjahre %2 bis %3.")
            .arg(jahr)
            .arg(von)
            .arg(bis);
    return QString();
}

QString pruefeVorjahr(const Vorjahr& vj, int jahr) {
    if (vj.einstellungen.steuerjahr != jahr - 1)
        return QStringLiteral("Die Datei „%1“ ist der Fall des Jahres %2. Für das Jahr %3 wird der Fall des Vorjahres %4 "
                              "gebraucht; bitte geben Sie diese Datei an.")
            .arg(vj.datei)
            .arg(vj.einstellungen.steuerjahr)
            .arg(jahr)
            .arg(jahr - 1);
    return QString();
}

}  // namespace Jahr
