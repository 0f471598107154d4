#pragma once

#include "dbstate.h"
#include "record.h"
#include "registryfile.h"

#include "fakelauncher.h"
#include "fakemessageboxes.h"
#include "service.h"
#include "testsupport.h"

#include <QByteArray>
#include <QDir>

#include <gtest/gtest.h>

namespace zorv::test {

// A fresh data folder as the current folder, with fake boxes and program starts.
class RegistryFixture : public ::testing::Test {
protected:
    RegistryFixture()
        : m_boxes(&boxes), m_launcher(&programs), m_previousDir(QDir::currentPath())
    {
        QDir::setCurrent(folder.path());
        registry::db() = registry::DbState{};
        registry::db().Percorso = folder.path() + u'/';
        registry::db().FileClienti = folder.file(QStringLiteral("CLIENTI.DAT"));
    }
    ~RegistryFixture() override { QDir::setCurrent(m_previousDir); }

    registry::RegistryFile file() const { return registry::RegistryFile(registry::db().FileClienti); }

    static registry::Record customer(const QByteArray &nome, const QByteArray &citta = "ROMA")
    {
        registry::CustomerInput in;
        in.nome = nome;
        in.citta = citta;
        in.indirizzo = "VIA " + nome;
        in.accessi = "10";
        in.relay = "1";
        return registry::Record::compose(in);
    }

    // Customers CLIENTE 1 .. CLIENTE n.
    void fill(int n) const
    {
        QByteArray data;
        for (int i = 1; i <= n; ++i)
            data += customer("CLIENTE " + QByteArray::number(i)).bytes();
        folder.write(QStringLiteral("CLIENTI.DAT"), data);
    }
    QByteArray stored() const { return folder.read(QStringLiteral("CLIENTI.DAT")); }

    TempFolder folder;
    FakeMessageBoxes boxes;
    FakeLauncher programs;

private:
    ScopedService<MessageBoxes> m_boxes;
    ScopedService<ProgramLauncher> m_launcher;
    QString m_previousDir;
};

} // namespace zorv::test
