// Subsystem "konten": the chart of accounts of a case. Generation from the
// reference database for a framework (SKR03, SKR04, EKR03, SKR80, SKR81)
// and tax year, take-over from another case, categories and classes,
// look-ups, the account selections of the booking kinds, search, and the
// rules of the chart editor (numbers, keys, (de)activation, deletion).
//
// Relies on: rahmen (the manager, its case database and the reference
// database of connection slot 22) and fall (a chart taken over is refreshed
// through Kont_::UpdateDBAfterLoading). The start-page function and the
// status overview (getkont.cpp, startseite.h) show the figures of
// buchungen, steuer, bank and faktura and include their headers; nothing
// includes this folder but the hosts. Its operations are static and member
// functions of KontoGlobal, declared in rahmen/kontglob.h under "chart of
// accounts" and "special accounts".
#pragma once

#include "kontbaum/rahmen/kontglob.h"
