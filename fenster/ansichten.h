// The one place where the window's views are registered: each view is one
// line of ansichten.cpp (key, and how to make it), in the order of the
// navigation. The main window and the screenshot target take them from here.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

namespace fenster {

class Ansicht;
class Sitzung;

struct AnsichtEintrag {
    QString schluessel;  // stable key, also the file name of its screenshot
    std::function<Ansicht*(Sitzung&)> erzeugen;
};
// Every view, in the order of the navigation.
QList<AnsichtEintrag> alleAnsichten();

// Small parts of the start page under the recent cases (a chart, what is
// due): each one line of ansichten.cpp as well. Each gets the session and
// reads again on Sitzung::geaendert.
struct StartseitenTeil {
    QString schluessel;
    std::function<QWidget*(Sitzung&)> erzeugen;
};
QList<StartseitenTeil> alleStartseitenTeile();

}  // namespace fenster
