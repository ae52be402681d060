#include <gtest/gtest.h>

#include "support/DebugCapture.h"
#include "template/CAppCallbackRegistry.h"
#include "template/function_callback.h"

using namespace Corvane::Base::Template;

namespace {

struct Counters {
    int invoked = 0;
    int deleted = 0;
};

class Counting : public function_callback_v {
public:
    explicit Counting(Counters* c) : m_c(c) {}
    void Invoke() override { ++m_c->invoked; }
    ~Counting() override { ++m_c->deleted; }

private:
    Counters* m_c;
};

struct Target {
    int calls = 0;
    void Hit() { ++calls; }
};

struct Base0 { int pad = 7; virtual ~Base0() {} };
struct Base1 {
    int hits = 0;
    void Hit() { ++hits; }
};
struct Derived : Base0, Base1 {};

}  // namespace

TEST(Callback, LastHandleDeletesTheCallbackOnce)
{
    Counters c;
    {
        function_callback_obj<void> a(new Counting(&c));
        EXPECT_EQ(1, a.GetRefCount());
        {
            function_callback_obj<void> b(a);
            function_callback_obj<void> d;
            d = b;
            EXPECT_EQ(3, a.GetRefCount());
            d.Invoke();
        }
        EXPECT_EQ(1, a.GetRefCount());
        EXPECT_EQ(0, c.deleted);
        a.Release();
        EXPECT_EQ(1, c.deleted);
        EXPECT_TRUE(a.IsNull());
    }
    EXPECT_EQ(1, c.deleted);
    EXPECT_EQ(1, c.invoked);
}

TEST(Callback, AssigningASecondCallbackDeletesTheFirstAtOnce)
{
    Counters first, second;
    function_callback_obj<void> a;
    function_callback_obj<void> b(a);
    EXPECT_FALSE(a.HasCallback());
    a.Assign(new Counting(&first));
    b.Invoke();  // the shared holder sees it
    EXPECT_EQ(1, first.invoked);
    b.Assign(new Counting(&second));
    EXPECT_EQ(1, first.deleted);
    a.Invoke();
    EXPECT_EQ(1, second.invoked);
    EXPECT_EQ(0, second.deleted);
}

TEST(Callback, MemberCallbacksBindObjectsAndBaseMethods)
{
    Target t1, t2;
    function_callback_vm0<Target> cb(&t1, &Target::Hit);
    cb.Invoke();
    cb.inner_bind(&t2);
    cb.Invoke();
    EXPECT_EQ(1, t1.calls);
    EXPECT_EQ(1, t2.calls);

    Derived d;
    function_callback_vm0<Derived> adjusted(&d, &Derived::Hit);  // method of a non-leading base
    adjusted.Invoke();
    EXPECT_EQ(1, d.hits);
    EXPECT_EQ(7, d.pad);
}

TEST(Callback, BaseInnerBindOnlyReports)
{
    TestSupport::DebugCapture capture;
    Counters c;
    Counting cb(&c);
    cb.inner_bind(&c);
    cb.Invoke();
    EXPECT_EQ(1, capture.Count("function_callback::inner_bind() グローバルな関数に対してbindは行えない"));
    EXPECT_EQ(1, c.invoked);
}

TEST(CallbackRegistry, EachListRunsOnceInOrderAndReleasesItsCallbacks)
{
    CAppCallbackRegistry registry;
    Counters a, b, s;
    registry.AddStartupCallback(new Counting(&a));
    registry.AddStartupCallback(nullptr);
    registry.AddStartupCallback(new Counting(&b));
    registry.AddShutdownCallback(new Counting(&s));
    registry.RunStartupCallbacks();
    EXPECT_EQ(1, a.invoked);
    EXPECT_EQ(1, b.invoked);
    EXPECT_EQ(1, a.deleted);
    EXPECT_EQ(1, b.deleted);
    EXPECT_EQ(0, s.invoked);
    registry.RunStartupCallbacks();
    EXPECT_EQ(1, a.invoked);
    registry.RunShutdownCallbacks();
    EXPECT_EQ(1, s.invoked);
    EXPECT_EQ(1, s.deleted);
    EXPECT_NE(nullptr, GetAppCallbackRegistry());
    EXPECT_EQ(GetAppCallbackRegistry(), GetAppCallbackRegistry());
}
