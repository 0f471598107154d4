#include "service.h"

#include <QObject>

#include <gtest/gtest.h>

using namespace zorv;

namespace {

struct Greeter {
    virtual ~Greeter() = default;
    virtual QString hello() const = 0;
};
struct Plain : Greeter {
    QString hello() const override { return QStringLiteral("ciao"); }
};
struct Loud : Greeter {
    QString hello() const override { return QStringLiteral("CIAO"); }
};

struct Gadget : QObject {
    using QObject::QObject;
};
struct Widgetlike : Gadget {
    using Gadget::Gadget;
};

} // namespace

TEST(Service, AScopeInstallsOverTheOuterOneAndPutsItBack)
{
    Plain plain;
    Loud loud;
    const ScopedService<Greeter> outer(&plain);
    EXPECT_EQ(Service<Greeter>::get().hello(), QStringLiteral("ciao"));
    {
        const ScopedService<Greeter> inner(&loud);
        EXPECT_EQ(&Service<Greeter>::get(), &loud);
    }
    EXPECT_EQ(&Service<Greeter>::get(), &plain);
}

TEST(Service, OneUsedBeforeAnyoneInstalledItEndsTheProgramWithItsName)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(Service<Greeter>::get(), "Greeter.*used before it was installed");
    Plain plain;
    {
        const ScopedService<Greeter> installed(&plain);
    }
    EXPECT_DEATH(Service<Greeter>::get(), "used before it was installed");
}

TEST(Maker, MakesTheInstalledKindOwnedByTheParent)
{
    QObject parent;
    auto widgets = Maker<Gadget>::of<Widgetlike>();
    const ScopedService<Maker<Gadget>> installed(&widgets);
    Gadget *made = Service<Maker<Gadget>>::get().make(&parent);
    EXPECT_NE(dynamic_cast<Widgetlike *>(made), nullptr);
    EXPECT_EQ(made->parent(), &parent);

    int calls = 0;
    Maker<Gadget> counted([&](QObject *p) -> Gadget * {
        ++calls;
        return new Gadget(p);
    });
    {
        const ScopedService<Maker<Gadget>> inner(&counted);
        Service<Maker<Gadget>>::get().make(&parent);
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(&Service<Maker<Gadget>>::get(), &widgets);
}
