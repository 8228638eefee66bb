// Shared test fixtures.
//
// TestEnv gives each test a fresh writable home directory, a reset global
// instance and a recording Ui; everything is undone in the destructor.
#pragma once

#include "host/app/global.h"
#include "host/app/log.h"
#include "host/app/ui.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString home() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    ScriptedUi& ui() { return m_ui; }

private:
    QTemporaryDir m_dir;
    ScriptedUi m_ui;
    Ui* m_prevUi;
};
