#pragma once

#include "dbstate.h"
#include "fakemessageboxes.h"
#include "fakeprinter.h"
#include "listfixture.h"
#include "listsupport.h"

#include <QApplication>
#include <QListView>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

namespace zorv::test {

// Fake boxes, printer and card for the list windows, and a fresh registry folder.
struct ListsUi : ::testing::Test {
    TempFolder dir;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService{&boxes};
    FakePrinter printer;
    ScopedService<Printer> printerService{&printer};
    QList<int> cards; // NumCliente each time the card opened

    void SetUp() override
    {
        registry::db() = registry::DbState{};
        registry::db().FileClienti = dir.file(QStringLiteral("CLIENTI.DAT"));
        registry::lists::setCardOpener([this](QWidget *) { cards.append(registry::db().NumCliente); });
    }
    void TearDown() override { registry::lists::setCardOpener(nullptr); }

    void writeRegistry(const QList<Customer> &customers)
    {
        dir.write(QStringLiteral("CLIENTI.DAT"), registryBytes(customers));
    }

    static QStringList lines(QListView *view)
    {
        return static_cast<QStringListModel *>(view->model())->stringList();
    }
    static void select(QListView *view, int row)
    {
        view->setCurrentIndex(view->model()->index(row, 0));
    }
    static void doubleClickRow(QListView *view, int row)
    {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        const QRect rect = view->visualRect(index);
        // A real double click starts with a press and a release.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

// The modal window of type T now open, or nullptr.
template <class T>
T *modal()
{
    return qobject_cast<T *>(QApplication::activeModalWidget());
}

// Runs `action` on the modal window of type T as soon as it is open.
template <class T>
void onModal(std::function<void(T *)> action)
{
    whenIdle([action] {
        T *w = modal<T>();
        if (!w) {
            ADD_FAILURE() << "expected modal window not open";
            return;
        }
        action(w);
    });
}

} // namespace zorv::test
