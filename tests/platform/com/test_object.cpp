#include <gtest/gtest.h>

#include "platform/com/object.h"

namespace {

struct IFoo : IUnknown {
    static constexpr IID iid = com::makeGuid("6A1F0C31-0B5E-4C1A-9E2B-000000000001");
    virtual int foo() = 0;
};
struct IBar : IUnknown {
    static constexpr IID iid = com::makeGuid("6A1F0C31-0B5E-4C1A-9E2B-000000000002");
    virtual int bar() = 0;
};
struct IOuter : IUnknown {
    static constexpr IID iid = com::makeGuid("6A1F0C31-0B5E-4C1A-9E2B-000000000003");
    virtual IUnknown* innerUnknown() = 0;
};
struct IUnanswered : IUnknown {
    static constexpr IID iid = com::makeGuid("6A1F0C31-0B5E-4C1A-9E2B-000000000004");
};

int liveInner = 0;

class Inner : public com::ComObjectRoot, public IFoo, public IBar {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<Inner, IFoo>(),
            com::entry<Inner, IBar>(),
        };
        return table;
    }
    Inner() { ++liveInner; }
    ~Inner() override { --liveInner; }
    int foo() override { return 1; }
    int bar() override { return 2; }
};

class Outer : public com::ComObjectRoot, public IOuter {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<Outer, IOuter>(),
            com::entryAggregate<Outer, &Outer::inner_>(IFoo::iid),
            com::entryAggregate<Outer, &Outer::inner_>(IBar::iid),
        };
        return table;
    }
    IUnknown* innerUnknown() override { return inner_.get(); }

protected:
    HRESULT finalConstruct() override {
        return com::ComInstance<Inner>::create(controllingUnknown(), IUnknown::iid, inner_.putVoid());
    }

private:
    com::ComPtr<IUnknown> inner_;
};

class NotAggregatable : public com::ComObjectRoot, public IFoo {
public:
    static constexpr bool allowsAggregation = false;
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {com::entry<NotAggregatable, IFoo>()};
        return table;
    }
    int foo() override { return 3; }
};

com::ComPtr<IUnknown> unknownOf(IUnknown* p) {
    com::ComPtr<IUnknown> u;
    p->QueryInterface(IUnknown::iid, u.putVoid());
    return u;
}

TEST(Aggregation, IdentityIsTheControllingUnknown) {
    auto outer = com::ComInstance<Outer>::make<IOuter>();
    ASSERT_TRUE(outer);
    auto foo = outer.as<IFoo>();
    auto bar = foo.as<IBar>();
    ASSERT_TRUE(foo);
    ASSERT_TRUE(bar);
    EXPECT_EQ(foo->foo(), 1);
    EXPECT_EQ(bar->bar(), 2);
    const auto identity = unknownOf(outer.get());
    EXPECT_EQ(unknownOf(foo.get()), identity) << "IUnknown through the inner object is the outer one";
    EXPECT_EQ(unknownOf(bar.get()), identity);
    EXPECT_NE(outer->innerUnknown(), identity.get()) << "the outer object holds the non-delegating unknown";
    EXPECT_TRUE(foo.as<IOuter>()) << "inner interfaces delegate QueryInterface to the outer object";
    EXPECT_FALSE(foo.as<IUnanswered>());
}

TEST(Aggregation, ReferencesLandOnTheOuterObject) {
    IOuter* raw = nullptr;
    ASSERT_EQ(com::ComInstance<Outer>::create(nullptr, IOuter::iid, reinterpret_cast<void**>(&raw)), S_OK);
    IFoo* foo = nullptr;
    ASSERT_EQ(raw->QueryInterface(IFoo::iid, reinterpret_cast<void**>(&foo)), S_OK);
    EXPECT_EQ(raw->Release(), 1u) << "the IFoo reference counts on the outer object";
    EXPECT_EQ(liveInner, 1);
    EXPECT_EQ(foo->AddRef(), 2u);
    EXPECT_EQ(foo->Release(), 1u);
    EXPECT_EQ(foo->Release(), 0u);
    EXPECT_EQ(liveInner, 0) << "releasing the last outer reference destroys the inner object";
}

TEST(Aggregation, InnerRefusesAnInterfaceOtherThanIUnknownWhenAggregated) {
    auto outer = com::ComInstance<Outer>::make<IOuter>();
    com::ComPtr<IFoo> foo;
    EXPECT_EQ(com::ComInstance<Inner>::create(outer.get(), IFoo::iid, foo.putVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(foo);
}

TEST(Aggregation, QueryTableFirstMatchAndNullOut) {
    auto inner = com::ComInstance<Inner>::make<IFoo>();
    EXPECT_EQ(inner->QueryInterface(IBar::iid, nullptr), E_POINTER);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(inner->QueryInterface(IUnanswered::iid, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
}

TEST(ClassFactory, RefusesAnOuterObjectWhereTheClassSaysSo) {
    auto factory = com::ComInstance<com::ClassFactory<NotAggregatable>>::make<IClassFactory>();
    auto outer = com::ComInstance<Outer>::make<IOuter>();
    com::ComPtr<IUnknown> made;
    EXPECT_EQ(factory->CreateInstance(outer.get(), IUnknown::iid, made.putVoid()), CLASS_E_NOAGGREGATION);
    com::ComPtr<IFoo> plain;
    ASSERT_EQ(factory->CreateInstance(nullptr, IFoo::iid, plain.putVoid()), S_OK);
    EXPECT_EQ(plain->foo(), 3);
}

TEST(ClassFactory, ObjectsAndLocksKeepTheModuleLoaded) {
    ASSERT_TRUE(com::thisModule().canUnload());
    {
        auto factory = com::ComInstance<com::ClassFactory<Inner>>::make<IClassFactory>();
        EXPECT_FALSE(com::thisModule().canUnload());
        factory->LockServer(TRUE);
        com::ComPtr<IFoo> made;
        ASSERT_EQ(factory->CreateInstance(nullptr, IFoo::iid, made.putVoid()), S_OK);
        EXPECT_EQ(com::thisModule().objects(), 2);
        factory->LockServer(FALSE);
    }
    EXPECT_TRUE(com::thisModule().canUnload());
}

}  // namespace
