#include "ActionTestSupport.h"

#include "actions/uActionList.h"
#include "actions/uNvSwitch.h"
#include "actions/uScriptAction.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace {

TIntegerAction *addInteger(TNvActionList &list, const QString &name, const QString &sw = {})
{
    auto *action = new TIntegerAction(&list);
    action->InternalId = name;
    action->ScriptName = name;
    action->Switch = sw;
    list.AddAction(action);
    return action;
}

} // namespace

TEST(ActionLists, FindByInternalIdIsCaseSensitive)
{
    TNvActionList list;
    auto *digits = addInteger(list, "iaDigits");
    EXPECT_EQ(list.FindByInternalId("iaDigits"), digits);
    EXPECT_EQ(list.FindByInternalId("iadigits"), nullptr);
    EXPECT_EQ(list.Find<TIntegerAction>("iaDigits"), digits);
    EXPECT_EQ(list.Find<TBooleanAction>("iaDigits"), nullptr);
}

TEST(ActionLists, LoadAllSkipsUnstoredActionsAndGoesOnAfterFailures)
{
    TNvActionList list;
    auto *a = addInteger(list, "A");
    auto *hidden = addInteger(list, "Hidden");
    auto *c = addInteger(list, "C");
    hidden->IncludePrefs = false;
    a->SetDefaultValue(1);
    c->SetDefaultValue(3);
    MemoryStore store;
    store.values["Hidden"] = 99;
    EXPECT_TRUE(list.LoadAll(store));
    EXPECT_EQ(hidden->Value(), 0);

    store.failOn = "A";
    store.values["C"] = 30;
    EXPECT_FALSE(list.LoadAll(store));
    EXPECT_EQ(c->Value(), 30);

    store.failOn.clear();
    list.OnSaveToPrefs = [](TActionStore &) { return false; };
    EXPECT_FALSE(list.SaveAll(store));
    EXPECT_EQ(store.values["C"].toInt(), 30);
    EXPECT_FALSE(store.values.contains("Hidden") && store.values["Hidden"].toInt() != 99);
}

TEST(ActionLists, CompileHandlersChainInAttachOrder)
{
    RecordingHost host;
    host.OnCompile = [](TScriptHost *h) { h->DeclareProcedure("procedure Own;", {}); };
    TNvActionList a, b;
    addInteger(a, "InA");
    addInteger(b, "InB");
    a.SetPascalScript(&host);
    b.SetPascalScript(&host);
    host.Compile();
    EXPECT_EQ(host.declarations,
              (QStringList{"procedure Own;", "procedure InA(const aInteger:integer);",
                           "procedure InB(const aInteger:integer);"}));
    b.SetPascalScript(nullptr);
    host.Compile();
    EXPECT_EQ(host.declarations,
              (QStringList{"procedure Own;", "procedure InA(const aInteger:integer);"}));
}

TEST(ActionLists, ADestroyedHostIsForgotten)
{
    TNvActionList list;
    {
        RecordingHost host;
        list.SetPascalScript(&host);
        EXPECT_EQ(list.PascalScript(), &host);
    }
    EXPECT_EQ(list.PascalScript(), nullptr);
}

TEST(ActionLists, SwitchProcessorAttachment)
{
    TNvActionList list;
    addInteger(list, "iaDigits", "dig");
    TNvSwitch first, second;
    list.SetSwitch(&first);
    list.SetSwitch(&first); // again: nothing changes (no double entry)
    ASSERT_TRUE(first.Parse("/dig=5"));
    list.SetSwitch(&second);
    EXPECT_FALSE(first.Parse("/dig=5"));
    EXPECT_TRUE(second.Parse("/DIG=5"));
}

namespace {

class Sink : public TNvActionComponent
{
public:
    QList<TNvMessage> received;

protected:
    void WndProc(const TNvMessage &message) override { received << message; }
};

} // namespace

TEST(ActionComponents, MessagesPostedFromAnotherThreadArriveOnTheOwnersThread)
{
    Sink sink;
    std::atomic<bool> posted{false};
    QThread *poster = QThread::create([&] {
        sink.PostMessage({0x2421, 400000, 0, QVariant::fromValue(QStringLiteral("copy"))});
        posted = true;
    });
    poster->start();
    poster->wait();
    delete poster;
    ASSERT_TRUE(posted);
    EXPECT_TRUE(sink.received.isEmpty()); // not before the UI thread handles its events
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.received.size(), 1);
    EXPECT_EQ(sink.received[0].msg, 0x2421u);
    EXPECT_EQ(sink.received[0].wParam, 400000);
    EXPECT_EQ(sink.received[0].data.toString(), "copy");
}
