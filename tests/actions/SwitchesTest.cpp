#include "actions/uActionList.h"
#include "actions/uNvSwitch.h"
#include "actions/uScriptAction.h"

#include <gtest/gtest.h>

namespace {

// A main-window-like list with the switches the tests use.
struct CommandLine {
    TNvActionList list;
    TNvSwitch processor;
    TWidestringAction *open = new TWidestringAction(&list);
    TWidestringAction *p1 = new TWidestringAction(&list);
    TNopeAction *grab = new TNopeAction(&list);
    TCheckAction *sliders = new TCheckAction(&list);
    TBooleanAction *confirm = new TBooleanAction(&list);
    QStringList trace;
    int closed = 0, noCommandLine = 0;

    CommandLine()
    {
        const std::pair<TCustomAbstractAction *, const char *> switches[] = {
            {open, "o"}, {p1, "p1"}, {grab, "g"}, {sliders, "isl"}, {confirm, "ci"}};
        for (auto [action, sw] : switches) {
            action->Switch = sw;
            list.AddAction(action);
        }
        confirm->SetValue(true);
        open->InternalApply = [this](const QString &v) { trace << "open " + v; };
        grab->InternalApply = [this] { trace << "grab"; };
        list.SetSwitch(&processor);
        processor.OnCloseMainWindow = [this] { ++closed; };
        processor.OnNoCommandLine = [this](QObject *) { ++noCommandLine; };
    }
    void run(const QStringList &arguments)
    {
        processor.SetArguments(arguments);
        processor.ApplicationActivated();
    }
};

} // namespace

TEST(Switches, ParsingAndLookUp)
{
    CommandLine cl;
    struct Case {
        QString argument;
        TCustomAbstractAction *action;
        TActionEx::EntryKind kind;
        QString value;
    };
    const Case cases[] = {
        {"/G", cl.grab, TActionEx::Slash, ""},
        {"+isl", cl.sliders, TActionEx::Plus, ""},
        {"-isl=x", cl.sliders, TActionEx::Minus, "x"},
        {"/p1=a=b", cl.p1, TActionEx::Slash, "a=b"},
        {"/p1= spaced ", cl.p1, TActionEx::Slash, " spaced "},
        {"/o=/clips/a b.avi", cl.open, TActionEx::Slash, "/clips/a b.avi"},
    };
    for (const Case &c : cases) {
        const auto entry = cl.processor.Parse(c.argument);
        ASSERT_TRUE(entry) << c.argument.toStdString();
        EXPECT_EQ(entry->action, c.action) << c.argument.toStdString();
        EXPECT_EQ(entry->kind, c.kind);
        EXPECT_EQ(entry->value, c.value);
    }
    for (const QString dropped : {"/ g", "/nosuch", "clip.avi", "quit"})
        EXPECT_FALSE(cl.processor.Parse(dropped)) << dropped.toStdString();
    EXPECT_FALSE(cl.processor.QuitRequested); // bare "quit" does not quit
    EXPECT_FALSE(cl.processor.Parse("-QUIT"));
    EXPECT_TRUE(cl.processor.QuitRequested);
}

TEST(Switches, RunsEntriesInOrderThenQuits)
{
    CommandLine cl;
    cl.run({"/o=/clips/a b.avi", "/g", "/quit"});
    EXPECT_EQ(cl.trace, (QStringList{"open /clips/a b.avi", "grab"}));
    EXPECT_EQ(cl.closed, 1);
    EXPECT_FALSE(cl.processor.Executing());
    EXPECT_TRUE(cl.processor.Entries().empty());

    cl.run({"/g"}); // only the first activation runs the command line
    EXPECT_EQ(cl.trace.size(), 2);
}

TEST(Switches, CheckActionsAndBooleans)
{
    CommandLine cl;
    cl.run({"+isl", "/ci"});
    EXPECT_TRUE(cl.sliders->Checked());
    EXPECT_FALSE(cl.confirm->Value()); // no "=": the empty text reads false

    const std::pair<QString, bool> steps[] = {
        {"-isl", false}, {"/isl", true}, {"/isl=false", false}, {"+isl", true}};
    for (const auto &[argument, expected] : steps) {
        CommandLine fresh;
        fresh.sliders->SetDefaultValue(!expected); // every step changes the state
        fresh.run({argument});
        EXPECT_EQ(fresh.sliders->Checked(), expected) << argument.toStdString();
    }
}

TEST(Switches, DisabledActionsAreSkipped)
{
    CommandLine cl;
    cl.grab->setEnabled(false);
    cl.run({"/g", "/o=x"});
    EXPECT_EQ(cl.trace, QStringList{"open x"});
}

TEST(Switches, NothingToRunCallsOnNoCommandLineAndQuitsOnlyWhenAsked)
{
    struct Case {
        QStringList arguments;
        int closed;
    };
    // "/quit" alone makes no entry but still closes, so a batch run never hangs.
    for (const Case &c : {Case{{}, 0}, Case{{"/quit"}, 1}, Case{{"x.avi"}, 0}}) {
        CommandLine cl;
        cl.run(c.arguments);
        EXPECT_EQ(cl.noCommandLine, 1);
        EXPECT_EQ(cl.closed, c.closed) << c.arguments.join(' ').toStdString();
    }
}

TEST(Switches, AFailingActionStopsTheLineButQuitIsHonoured)
{
    CommandLine cl;
    cl.grab->InternalApply = [] { throw std::runtime_error("boom"); };
    cl.run({"/g", "/o=never", "/quit"});
    EXPECT_TRUE(cl.trace.isEmpty());
    EXPECT_EQ(cl.closed, 1);
    EXPECT_FALSE(cl.processor.Executing());
}
