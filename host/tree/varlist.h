// Varlist: the named, typed variables of a data-tree node.
//
// A node registers its members once (initVars): plain values bound to a
// member (int, double, bool, text, amount, date), text lists, and child slots
// with the child class, a 16-bit variable number and the element index (1-based
// for array slots, 0 for scalar ones). Nodes whose field list is open (the
// form nodes) also accept dynamic variables: setVar on an unknown name creates
// one that the node owns.
//
// ioDataVar writes and reads the variables of a node and, recursively, its
// child nodes into an archive. Layout of one node record (inside a section
// tagged "NODE", so a damaged record is refused before it is interpreted):
//   quint32 count, then per variable: QString name, qint32 kind, payload
//     kind 1..7: a value (DatenTyp kind, then its value)
//     kind 100: a text list
//     kind 200: a child slot: bool present, then QString class and the
//               child's own node record
//   quint32 count of list entries (children in the generic slot array), then
//   per entry: qint32 slot, QString class, node record.
// Reading is tolerant of what it does not know: a value under an unknown
// name is read and dropped, so files of a later program version with extra
// fields still load. An unknown child class is refused (its record cannot be
// interpreted), and so is a kind the reader does not know.
#pragma once

#include "host/values/datentyp.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <map>

class DatenBase;
class RS_Archive;

class Varlist {
public:
    enum class VarArt { Wert, Liste, Knoten };

    struct Variable {
        QString name;
        VarArt art = VarArt::Wert;
        quint16 nummer = 0;
        int index = 0;                       // element of an array slot (1-based), 0 otherwise
        DatenTyp::Art typ = DatenTyp::Null;  // value kind of a Wert variable
        std::function<DatenTyp()> lesen;     // Wert
        std::function<void(const DatenTyp&)> schreiben;
        QStringList* liste = nullptr;        // Liste
        DatenBase** slot = nullptr;          // Knoten
        QString klasse;                      // class of the child in a Knoten slot
        bool dynamisch = false;
    };

    Varlist() = default;
    virtual ~Varlist() = default;
    Varlist(const Varlist&) = delete;
    Varlist& operator=(const Varlist&) = delete;

    // --- registration ------------------------------------------------------
    void addVar(const QString& name, int* wert, quint16 nummer = 0);
    void addVar(const QString& name, quint32* wert, quint16 nummer = 0);
    void addVar(const QString& name, double* wert, quint16 nummer = 0);
    void addVar(const QString& name, bool* wert, quint16 nummer = 0);
    void addVar(const QString& name, QString* wert, quint16 nummer = 0);
    void addVar(const QString& name, EuroType* wert, quint16 nummer = 0);
    void addVar(const QString& name, zDate* wert, quint16 nummer = 0);
    void addList(const QString& name, QStringList* liste, quint16 nummer = 0);
    void addSlot(const QString& name, DatenBase** slot, const QString& klasse, quint16 nummer, int index);
    // Whether setVar may create variables under names not registered.
    void setDynamisch(bool ja) { m_dynamisch = ja; }
    bool isDynamisch() const { return m_dynamisch; }

    // --- access --------------------------------------------------------------
    const Variable* findVar(const QString& name) const;
    bool hasVar(const QString& name) const { return findVar(name) != nullptr; }
    // The value of a Wert variable (a text list is joined by "\n"); Null for
    // unknown names and slots.
    DatenTyp getVar(const QString& name) const;
    // Sets a Wert variable (converted to its kind) or a text list (split at
    // "\n"); creates a dynamic variable when allowed. False otherwise.
    bool setVar(const QString& name, const DatenTyp& wert);
    // Names in registration order (dynamic ones after the registered ones,
    // in the order they were created).
    QStringList varNames() const;
    const QVector<Variable>& variablen() const { return m_vars; }
    // Child slots of class `klasse`, in registration order.
    QVector<const Variable*> slotsOf(const QString& klasse) const;
    // Removes the dynamic variables (the registered ones stay).
    void clearDynamisch();
    // The values of all Wert and Liste variables by name.
    QVariantMap werte() const;

    // Writes or reads this node's record (see the layout above).
    bool ioDataVar(RS_Archive& ar);

protected:
    // The node these variables belong to (children are attached to it).
    virtual DatenBase* varlistKnoten() = 0;

private:
    void add(Variable v);
    Variable* findVarMut(const QString& name);
    bool schreibeKnoten(RS_Archive& ar);
    bool leseKnoten(RS_Archive& ar);

    QVector<Variable> m_vars;
    std::map<QString, int> m_index;        // name -> position in m_vars
    std::map<QString, DatenTyp> m_werte;   // storage of the dynamic variables
    bool m_dynamisch = false;
};
