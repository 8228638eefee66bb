#!/usr/bin/env python3
"""Checks the folder structure of the library by its #include lines.

The rules (README, "Layout"):
  - the folders of host/ and kontbaum/ form no cycle: if folder A includes a
    header of folder B, nothing B includes leads back to A;
  - host/ includes nothing of kontbaum/;
  - host/db includes nothing of this project but host/values;
  - a folder includes another folder's public header only, never its
    intern.h (the files a subsystem shares with itself alone);
  - the two hosts (app/, fenster/) include nothing of each other: what both
    need belongs in the library.

Run from anywhere: check_includes.py [SOURCE_DIR]. Exit 0 when every rule
holds, 1 with one line per breach (a cycle printed as its path of folders,
each step with the file and line that makes it).
"""

import os
import re
import sys

# Folders whose files are checked for intern.h includes; the folder graph is
# built from host/ and kontbaum/ only.
QUELLORDNER = ("host", "kontbaum", "app", "fenster", "tests", "bench", "tools")
HOSTS = ("app", "fenster")
BIBLIOTHEK = ("host", "kontbaum")
ENDUNGEN = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def ordner_von(pfad):
    """'kontbaum/bank/intern.h' -> 'kontbaum/bank'; None outside a library folder."""
    teile = pfad.split("/")
    if len(teile) >= 3 and teile[0] in BIBLIOTHEK:
        return teile[0] + "/" + teile[1]
    return None


def includes(wurzel):
    """Every project include: (file, line, own folder path, included path)."""
    for oben in QUELLORDNER:
        start = os.path.join(wurzel, oben)
        for verz, unterverz, dateien in os.walk(start):
            unterverz[:] = sorted(d for d in unterverz if not d.startswith("."))
            for name in sorted(dateien):
                if not name.endswith(ENDUNGEN):
                    continue
                datei = os.path.relpath(os.path.join(verz, name), wurzel).replace(os.sep, "/")
                with open(os.path.join(verz, name), encoding="utf-8", errors="replace") as f:
                    for nr, zeile in enumerate(f, 1):
                        m = INCLUDE.match(zeile)
                        if not m:
                            continue
                        ziel = m.group(1)
                        if "/" not in ziel:
                            # A bare name is a file beside the includer (or a
                            # system header, which has no bearing here).
                            if os.path.exists(os.path.join(verz, ziel)):
                                ziel = os.path.dirname(datei) + "/" + ziel
                            else:
                                continue
                        if ziel.split("/")[0] not in QUELLORDNER:
                            continue
                        yield datei, nr, ziel


def komponenten(kanten):
    """The strongly connected components of the folder graph with more than
    one folder (Tarjan): every folder that lies on some cycle is in one."""
    index, tief, stapel, auf, ergebnis = {}, {}, [], set(), []

    def besuche(k):
        index[k] = tief[k] = len(index)
        stapel.append(k)
        auf.add(k)
        for n in sorted(kanten.get(k, {})):
            if n not in index:
                besuche(n)
                tief[k] = min(tief[k], tief[n])
            elif n in auf:
                tief[k] = min(tief[k], index[n])
        if tief[k] == index[k]:
            teil = []
            while True:
                n = stapel.pop()
                auf.discard(n)
                teil.append(n)
                if n == k:
                    break
            if len(teil) > 1:
                ergebnis.append(sorted(teil))

    for k in sorted(kanten):
        if k not in index:
            besuche(k)
    return ergebnis


def zyklus_in(kanten, teil):
    """The shortest cycle through the first folder of the component `teil`,
    as a list of folders whose first and last are that folder."""
    start = teil[0]
    menge = set(teil)
    vorher = {start: None}
    rand = [start]
    while rand:
        neu = []
        for k in rand:
            for n in sorted(kanten.get(k, {})):
                if n == start:
                    weg = [k]
                    while vorher[weg[-1]] is not None:
                        weg.append(vorher[weg[-1]])
                    return list(reversed(weg)) + [start]
                if n in menge and n not in vorher:
                    vorher[n] = k
                    neu.append(n)
        rand = neu
    return None  # not reached: a component's folders reach each other


def pruefe(wurzel):
    fehler = []
    kanten = {}  # folder -> {included folder: "file:line"}
    for datei, nr, ziel in includes(wurzel):
        stelle = "%s:%d" % (datei, nr)
        von = ordner_von(datei)
        nach = ordner_von(ziel)
        eigener = os.path.dirname(datei)
        if os.path.basename(ziel) == "intern.h" and os.path.dirname(ziel) != eigener:
            fehler.append("%s: bindet %s ein, die interne Datei eines anderen Ordners "
                          "(nur dessen öffentlicher Header ist erlaubt)" % (stelle, ziel))
        oben, zielOben = datei.split("/")[0], ziel.split("/")[0]
        if oben in HOSTS and zielOben in HOSTS and oben != zielOben:
            fehler.append("%s: %s/ bindet %s des anderen Hosts ein (was beide brauchen, gehört in die "
                          "Bibliothek)" % (stelle, oben, ziel))
        if von is None or nach is None or von == nach:
            continue
        if von.startswith("host/") and nach.startswith("kontbaum/"):
            fehler.append("%s: host/ bindet %s aus kontbaum/ ein (die Host-Schicht hängt von keinem "
                          "Teil des Moduls ab)" % (stelle, ziel))
        if von == "host/db" and nach != "host/values":
            fehler.append("%s: host/db bindet %s ein (host/db hängt nur von host/values und SQLite ab)"
                          % (stelle, ziel))
        kanten.setdefault(von, {}).setdefault(nach, stelle)
    for teil in komponenten(kanten):
        zyklus = zyklus_in(kanten, teil)
        schritte = ["%s -> %s (%s)" % (a, b, kanten[a][b]) for a, b in zip(zyklus, zyklus[1:])]
        fehler.append("Include-Zyklus zwischen den Ordnern " + ", ".join(teil) + ", zum Beispiel:\n    " +
                      "\n    ".join(schritte))
    return fehler


def main():
    wurzel = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    wurzel = os.path.abspath(wurzel)
    if not os.path.isdir(os.path.join(wurzel, "kontbaum")):
        print("check_includes: %s ist kein Quellverzeichnis von dalvo16" % wurzel, file=sys.stderr)
        return 2
    fehler = pruefe(wurzel)
    for f in fehler:
        print(f)
    if fehler:
        print("check_includes: %d %s gegen die Ordnerstruktur" % (len(fehler), "Verstoß" if len(fehler) == 1 else "Verstöße"))
        return 1
    print("check_includes: keine Zyklen, keine verbotenen Includes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
